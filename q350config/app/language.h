// Q350Config's interface language: the process-wide language flag, the
// twelve languages of the language pop-up, the language file texts and the
// choice the user made (stored in the registry, never read back).
#pragma once

#include <QString>
#include <array>
#include <string>

#include "q350config/settings/messages.h"

namespace q350app {

struct Language {
  const char16_t* name;   // shown in the pop-up
  const char* file;       // under the program folder
  int flagPicture;        // bitmap of the main window's flag (control 1002)
  int menuIcon;           // bitmap beside the pop-up row
  int languageFlag;       // 1 Chinese, 0 any other
};
constexpr int kLanguageCount = 12;
// Rows 1..12 of the pop-up, in menu order (index = row - 1).
const std::array<Language, kLanguageCount>& languages();

// 1 Chinese, 0 any other language; 1 until the start chooses.
int languageFlag();
void setLanguageFlag(int flag);
// One of the built-in bilingual messages, by the flag.
std::u16string builtIn(std::u16string_view english, std::u16string_view chinese);
QString builtInQ(std::u16string_view english, std::u16string_view chinese);

// The language file the skin folder asks for, updating the flag: a skin
// folder named with "sc" is Chinese ("Language/sc.xml", flag 1), one named
// with "en" English ("Language/en.xml", flag 0); any other name keeps the
// flag and takes its file. Only the folder's own name counts, so a program
// folder under "/home/scott" does not make the program Chinese.
std::string chooseLanguageFile(const std::string& skinEntryName);

// The language texts (the process-wide table) as the settings' lookup.
const q350::TextLookup& languageLookup();
// Reads a language file into the process-wide table; a missing file leaves
// every text empty.
void LoadLanguageTexts(const std::string& path);
// The status-line text of hint n (empty for 99 and numbers without a key).
QString hintText(int n);

// Registry place of the user's choice.
constexpr const char* kLanguageKey = "Software\\KAVRO\\Q350Config\\LANGUAGE";
constexpr const char* kLanguageValue = "Language";
// Stores row n (1..12) as 4 bytes, REG_BINARY; other values are not stored.
bool StoreLanguageChoice(int n);

}  // namespace q350app
