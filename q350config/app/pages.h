// The four pages of the main window and what the main window asks of them.
//
// Every page is a child CSkinDialog placed at 17,128 in the main window,
// sized to its background picture. A page overrides the calls that concern
// it; the others do nothing. The pages are made by the factories of
// pageFactories(); a page that is not written yet is a stand-in that shows
// its page picture and nothing more. Replacing a stand-in is one line in
// pages.cpp.
#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "q350config/controls/skin_dialog.h"

namespace q350app {

class CQ350Page : public q350ui::CSkinDialog {
 public:
  // `picture`: the page's background in the skin folder.
  CQ350Page(QWidget* parent, const std::string& picture);

  // Lighting page: re-read ProfileSettings.
  virtual void RefreshFromSettings() {}
  // Key assignment page: re-read KeyMap (captions and marked looks).
  virtual void RefreshKeyCaptions() {}
  // Key assignment page: the profile (0..4) whose macro ids it edits.
  virtual void SetProfileIndex(int) {}
  // Macro page: list the macros of a category and remember the selection.
  virtual void FillMacroList(int) {}
  // Support page: the keyboard's firmware version ("V300").
  virtual void SetFirmwareVersion(const QString&) {}
  // Support page: start the firmware updater; true when it started.
  virtual bool StartFirmwareUpdater() { return false; }
  // Lighting page: the zone choice the full write needs (0..6, or 7 for
  // all zones); no value without a lighting page.
  virtual std::optional<int> ZoneSelection() const { return std::nullopt; }
};

struct PageFactories {
  std::function<CQ350Page*(QWidget* parent)> keys, macros, lighting, support;
};
// The factories the main window uses (the program's pages by default).
PageFactories& pageFactories();

}  // namespace q350app
