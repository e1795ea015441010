// CDlgSupport, the support page: the program's and the keyboard's versions,
// the program and firmware update checks, the maker's web site, restore of
// the factory settings, and import and export of a profile.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <string>

#include "q350config/app/pages.h"
#include "q350config/controls/skin_button.h"

namespace q350app {

class CInfoDlg;

inline constexpr char kProgramVersion[] = "1.0.7";
inline constexpr char kWebSiteAddress[] = "https://www.kavro.example/";
// The firmware updater's file in the "update" folder, and its windows.
inline constexpr char kFirmwareUpdaterFile[] = "卡沃Q350区彩RGB键盘USB静默下载版.exe";
inline constexpr char16_t kUpdaterWindowTitle[] = u"卡沃Q350区彩RGB键盘USB下载20151215V0114";
inline constexpr char16_t kUpdateWindowTitle[] = u"TORV_Q350 GAMEING KEYBOARD UPDATE";

class CDlgSupport : public CQ350Page {
 public:
  enum ButtonId { kIdProgramUpdate = 1300, kIdFirmwareUpdate, kIdWebSite, kIdRestore, kIdImport, kIdExport };
  static constexpr unsigned kMsgUpdateSucceeded = 1324;
  static constexpr unsigned kWatchTimer = 1;

  explicit CDlgSupport(QWidget* parent);

  void SetFirmwareVersion(const QString& text) override;
  // The firmware update button: true when an update was started or nothing
  // was to be done.
  bool CheckFirmwareUpdate();
  // Fetches the updater from the manifest's address; true when fetched.
  bool DownloadFirmwareUpdater();

  // The file dialogs of import (save false) and export (save true): the
  // chosen path, empty when cancelled. Tests put in their own choice;
  // nullptr restores the system's dialogs.
  using FileChooser = std::function<QString(QWidget* parent, bool save)>;
  static void setFileChooser(FileChooser chooser);

  // ---- For tests ----
  QString programVersionText() const;
  QString firmwareVersionText() const;
  q350ui::CSkinButton* button(ButtonId id) const { return buttons_[static_cast<std::size_t>(id - kIdProgramUpdate)]; }
  const QString& updaterAddress() const { return updaterAddress_; }
  // The "update" folder the manifest and the updater are kept in.
  static std::string updateFolder();

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);

  void exportProfile();
  void importProfile();
  void restoreFactory();
  void postToMain(unsigned message);

  q350ui::FaceSet faces_;
  std::array<q350ui::CSkinButton*, 6> buttons_{};
  QString firmware_;
  QString updaterAddress_;
};

}  // namespace q350app
