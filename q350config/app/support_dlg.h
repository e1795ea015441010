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
#include "q350config/app/update_fetch.h"

class QProcess;

namespace q350app {

class CInfoDlg;

inline constexpr char kWebSiteAddress[] = "https://www.kavro.example/";

class CDlgSupport : public CQ350Page {
 public:
  enum ButtonId { kIdProgramUpdate = 1300, kIdFirmwareUpdate, kIdWebSite, kIdRestore, kIdImport, kIdExport };
  static constexpr unsigned kMsgUpdateSucceeded = 1324;
  static constexpr unsigned kWatchTimer = 1;

  explicit CDlgSupport(QWidget* parent);
  ~CDlgSupport() override;

  void SetFirmwareVersion(const QString& text) override;
  // Starts the firmware updater ("-KAVRO") and watches its windows: true
  // when it started. Success is reported only once the updater's window was
  // seen and has gone again, and the updater did not end with an error
  // status (ours ends with one when it has no firmware for the keyboard).
  bool StartFirmwareUpdater() override;
  // How the watch tells whether a top-level window with a title exists:
  // by default a window of this process or one of another process listening
  // on the window server under that title.
  using WindowFinder = std::function<bool(const QString& title)>;
  static void setWindowFinder(WindowFinder finder);
  // Watch ticks without the updater's window before the start counts as
  // failed (120 ticks of 500 ms).
  static constexpr int kStartTicks = 120;
  // Watch ticks, once the updater's window has gone, in which the updater
  // started by this page may still end and give its exit status.
  static constexpr int kExitTicks = 4;
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
  CInfoDlg* updatingDialog() const { return updating_; }
  bool isWatching() const { return watching_; }
  bool hasSeenUpdater() const { return seen_; }
  int watchTicks() const { return ticks_; }
  // The "update" folder the manifest and the updater are kept in.
  static std::string updateFolder();

 protected:
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTimer(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnUpdateSucceeded(platform::WPARAM w, platform::LPARAM l);
  void endWatch();
  void watchFailed(const QString& message);
  bool updaterFailed() const;

  void exportProfile();
  void importProfile();
  void restoreFactory();
  void postToMain(unsigned message);

  q350ui::FaceSet faces_;
  std::array<q350ui::CSkinButton*, 6> buttons_{};
  QString firmware_;
  QString updaterAddress_;
  CInfoDlg* updating_ = nullptr;
  bool watching_ = false;
  bool seen_ = false;
  int ticks_ = 0;
  int goneTicks_ = 0;
  // The updater this page started. It is never deleted while it runs: it
  // outlives this program when it takes the keyboard over.
  QProcess* updater_ = nullptr;
};

}  // namespace q350app
