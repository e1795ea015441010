// Pieces the Lumera commands of kavroctl share: configuration messages on
// standard error, the installed program folder, JSON and hex of records.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <cstdint>
#include <string>
#include <vector>

#include "lumera/model/config.h"
#include "lumera/model/services.h"
#include "shared/text_table.h"

namespace cli::lumera {

// Prints every message as "Caption: text" on standard error and keeps them
// for a JSON answer. Installed for its lifetime.
class StderrMessages final : public ::lumera::MessageBoxes {
 public:
  StderrMessages();
  ~StderrMessages() override;
  void show(std::u16string_view caption, std::u16string_view text, ::lumera::MessageIcon icon) override;
  QJsonArray json() const { return shown_; }

 private:
  QJsonArray shown_;
};

// The program's texts ("tc_" keys) from the text file of its folder, or the
// keys themselves without one.
class ProgramTexts final : public ::lumera::TextLookup {
 public:
  explicit ProgramTexts(const std::string& folder);
  std::u16string text(std::string_view key) const override;

 private:
  shared::TextTable table_;
  bool loaded_ = false;
};

// The folder of the installed Lumera beside kavroctl (<prefix>/Q350RGB), or
// empty when there is none.
std::string installedProgramFolder();
// The --program-dir option or the installed folder; empty (after telling the
// user) when neither exists.
std::string programFolderOption(const std::string& given);

// Loads the configuration of --program-dir (or the installed Lumera)
// without touching the log; false after telling the user.
bool loadProgramConfig(const std::string& programDirOption, ::lumera::LumeraConfig& config);
// --appdata, or the application-data folder the program uses (which needs
// the program's configuration); empty after telling the user.
std::string appDataOption(const std::string& appDataGiven, const std::string& programDirOption);

QJsonObject functionJson(const ::lumera::KeyFunction& f);
// A key record: function A's fields, nFnIndex, and funB.
QJsonObject keyInfoJson(const ::lumera::KeyInfo& k);
std::string keyInfoText(const ::lumera::KeyInfo& k);

// Bytes as lower-case hex pairs, `perLine` per line (0: one line).
std::string hexLines(const std::uint8_t* bytes, std::size_t length, std::size_t perLine);

}  // namespace cli::lumera
