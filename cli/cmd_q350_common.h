// Pieces the Q350 commands of kavroctl share: the Q350Config program folder,
// its language texts, and how macros, colours and key entries are printed.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <cstdint>
#include <string>

#include "q350config/settings/messages.h"
#include "q350config/settings/records.h"
#include "shared/text_table.h"

namespace cli::q350 {

// The installed Q350Config folder beside kavroctl (<prefix>/Q350), or empty
// when there is none.
std::string installedProgramFolder();

// Language texts read from a language file of the program folder.
class LanguageTexts final : public ::q350::TextLookup {
 public:
  // Loads "Language/en.xml" of the folder; false (every text empty) when
  // the folder or the file is missing.
  bool load(const std::string& programFolder);
  std::u16string text(std::string_view key) const override { return table_.Text(key); }

 private:
  shared::TextTable table_;
};

// "#RRGGBB" of a 0x00BBGGRR colour.
std::string colourText(std::uint32_t colour);

// One macro event as the macro page lists it: "press A", "release A",
// "delay 100 ms", or "invalid 0x12345678".
std::string eventText(std::uint32_t event);
QJsonObject eventJson(std::uint32_t event);
// "count 3", "toggle" (0xFFFE) or "while pressed" (0xFFFF).
std::string repeatText(std::uint32_t repeat);

}  // namespace cli::q350
