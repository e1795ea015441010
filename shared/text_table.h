// The programs' text tables: Lumera's "tc_" texts from text.xml and
// Q350Config's "str_" language texts, both read with the XML reader, plus
// the check that Lumera's skin package belongs to its texts.
//
// A TextTable holds one loaded file; the programs use the process-wide
// instances below (filled once at start, or on a language change, on the
// user-interface thread), while tools and tests make their own.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shared/xml_reader.h"

namespace shared {

class TextKeyIndex;

class TextTable {
 public:
  // Lumera: every "tc_" key, looked up in the "config" element under the
  // root, then in a "config" nested inside it, and so on. True when the file
  // could be read; a missing file leaves every text empty.
  bool LoadTexts(const std::string& path);
  void FillTexts(const XmlDocument& document);

  // Q350Config: every "str_" key, from the first "config" element (in
  // document order) that has a child of that name.
  bool LoadLanguageTexts(const std::string& path);
  void FillLanguageTexts(const XmlDocument& document);

  // The loaded text, or the empty text for a key the file lacks.
  std::u16string Text(std::string_view key) const;
  std::string TextUtf8(std::string_view key) const;
  // Q350Config's status-line hint: the text of the hint number's key.
  std::u16string HintText(int number) const;
  // Replaces one text (Lumera's configured title replaces "tc_title").
  void SetText(std::string_view key, std::u16string text);
  void Clear();

 private:
  // The texts of the loaded key list by key number (the list's index finds
  // the number of a name), and the texts SetText gave to any other key.
  const TextKeyIndex* keys_ = nullptr;
  std::vector<std::u16string> byKey_;
  std::map<std::string, std::u16string, std::less<>> others_;
};

// One lookup of each kind, on a loaded document.
std::u16string lookupLumeraText(XmlDocument& document, std::u16string_view key);
std::u16string lookupLanguageText(const XmlDocument& document, std::u16string_view key);

// The process-wide tables.
TextTable& lumeraTexts();
TextTable& languageTexts();

// Lumera's calls: fill the process-wide text table / read one text.
bool LoadTexts(const std::string& path);
std::u16string Text(std::string_view key);
// Q350Config's call: (re)fill the process-wide language table.
bool LoadLanguageTexts(const std::string& path);

// Receives one formatted line for the program's log.
using LogLine = std::function<void(const std::u16string& line)>;

// True when "skins/mak.skn" in the program folder (a folder path ending in
// '/') carries `title` at byte offset 192 (UTF-16, letter case ignored; only
// the first 520 bytes of the file count). Logs why when it does not.
bool CheckSkinMarker(const std::string& programFolder, std::u16string_view title, const LogLine& log);

}  // namespace shared
