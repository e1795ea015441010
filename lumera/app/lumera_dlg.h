// CLumeraDlg, Lumera's one top-level window: the skinned main window with
// the keyboard view, the lighting page, the colour panel and (with "Gest")
// the gesture page, the profile and action buttons, the tray icon, the
// device link and the apply worker. Every user change goes into the current
// profile at once; OK and Apply write it to the keyboard with the progress
// dialog and then store the profiles.
#pragma once

#include <QIcon>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "lumera/app/kb_view.h"
#include "lumera/app/progress_dlg.h"
#include "lumera/app/skin_window.h"
#include "lumera/device/apply.h"
#include "lumera/device/device_change.h"
#include "lumera/device/usb_driver.h"
#include "lumera/model/profile.h"
#include "platform/processes.h"

namespace platform {
class QtDeviceWatcher;
}

namespace lumera {

class CKBColorDlg;
class CLightingPageBase;
class CColorPanelBase;
class CGestDlg;
class CPngBtn;
class Prompts;
class TrayIcon;

// Message numbers of the main window.
constexpr unsigned kMsgTrayCallback = 1132;
constexpr unsigned kMsgCloseRequest = 1045;
// Posted by the apply worker's observer after every apply (wParam: 1 when
// it succeeded); ends the progress dialog when the last request is over.
constexpr unsigned kMsgApplyOver = platform::WM_USER + 0x2F0;
constexpr unsigned kTimerAutoSwitch = 576;
constexpr int kAutoSwitchPeriodMs = 1300;
constexpr unsigned kTrayOpen = 24576;
constexpr unsigned kTrayExit = 24577;
// Profile button menu (our own commands).
constexpr unsigned kMenuLinkProgram = 1;
constexpr unsigned kMenuUnlinkProgram = 2;

class CLumeraDlg : public CSkinWnd {
 public:
  // Control ids.
  enum : int {
    kIdOk = platform::IDOK,
    kIdCancel = platform::IDCANCEL,
    kIdMin = 1000,
    kIdExit,
    kIdProfile1,
    kIdProfile2,
    kIdProfile3,
    kIdMacro,
    kIdReset,
    kIdApply,
    kIdKbView,
    kIdGestView,
  };

  // What the window uses from outside; tests replace parts.
  struct Services {
    platform::WindowMessenger* messenger = nullptr;  // the process's windows when null
    std::string hidLibrary = "Pallomar";
    platform::ProcessSource* processes = nullptr;    // /proc when null
    Prompts* prompts = nullptr;                      // the skinned message dialogs when null
    std::unique_ptr<TrayIcon> tray;                  // the desktop's tray when null
    bool watchDevices = true;                        // device notifications through QtDeviceWatcher
  };

  CLumeraDlg();
  explicit CLumeraDlg(Services services, QWidget* parent = nullptr);
  ~CLumeraDlg() override;

  // ---- What other windows call ----
  void SelectProfile(std::int32_t id);
  void RefreshViews();
  void CloseTopWindows();
  // Opens the window (tray command, tray click, start).
  void OpenWindow();

  // ---- State, for the program and its tests ----
  CUSBDriver& driver() { return driver_; }
  ApplyJob& applyJob() { return job_; }
  ApplyWorker& applyWorker() { return worker_; }
  ProfileList& profiles() { return profiles_; }
  ProfileRecord* currentProfile();
  const std::string& appDataFolder() const { return appData_; }
  CKBColorDlg* keyboardView() const { return view_; }
  CLightingPageBase* lightingPage() const { return led_; }
  CColorPanelBase* colourPanel() const { return panel_; }
  CGestDlg* gesturePage() const { return gest_; }
  CPngBtn* button(int id) const;
  // The profile id a profile button stands for (0: none).
  std::int32_t profileButtonId(int button) const { return buttonIds_[static_cast<std::size_t>(button)]; }
  TrayIcon* tray() const { return tray_.get(); }
  // The tray mode in effect: "TrayIcon" 1 or 3 when the desktop has a tray,
  // otherwise 2.
  int trayMode() const { return trayMode_; }
  bool mayShow() const { return mayShow_; }
  const QRegion& windowRegion() const { return region_; }
  QRect textLineRect() const;
  int pendingApplies() const { return pendingApplies_; }
  bool isApplying() const { return pendingApplies_ > 0 || progress_; }
  // The last outcome of the automatic switch's write (for the log and tests).
  bool lastSwitchFailed() const { return switchFailed_; }
  // One tick of the automatic profile switch (timer 576).
  void AutoSwitchTick();
  // Key assignment for key `k` with an already picked record, as after the
  // picker ended with OK; false when nothing was stored.
  bool AssignKeyFunction(int k, const KeyInfo& picked);
  // The in-use test the macro library gets before it deletes a macro.
  bool MacroInUseTest(int macroId);
  // The apply of OK, Apply and Reset: progress dialog, worker, store.
  // False when it stopped before the apply (no device, several keyboards).
  bool RunApply();

  void setVisible(bool visible) override;

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTimer(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTrayCallback(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnKeyClicked(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnViewMode(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnCloseRequest(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnDeviceReport(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnApplyOver(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnMenuChoice(platform::WPARAM w, platform::LPARAM l);

  bool layOut();
  // Whether a macro new to the current profile still gets a buffer (tells
  // the user when not).
  bool macroFits(std::int32_t macroId);
  void loadProfiles();
  void createButtons();
  void createChildren();
  void addTray();
  void showTrayMenu();
  void onExitOrCancel();
  void onOkOrApply(bool ok);
  void onReset();
  void onMacro();
  void onProfileButton(int button);
  void onDeviceChange(bool arrival, const QString& name, unsigned interfaceClass);
  void endProgram();
  bool livesInTray() const;
  void saveAll();
  void pausePreview(bool paused);
  bool requestApply(unsigned flags);
  void linkProgram(int button, bool link);
  QString text(const char* key) const;

  Services services_;
  platform::WindowMessenger& messenger_;
  Prompts& prompts_;
  std::unique_ptr<platform::ProcessSource> ownProcesses_;
  platform::ProcessSource* processes_;

  CUSBDriver driver_;
  ApplyJob job_;
  ApplyWorker worker_;
  DeviceChangeHandler deviceChange_;
  std::unique_ptr<platform::QtDeviceWatcher> watcher_;
  std::unique_ptr<TrayIcon> tray_;
  int trayMode_ = 2;
  bool mayShow_ = true;

  QImage main_;
  QIcon icon_;
  QRegion region_;
  std::string appData_;

  ProfileList profiles_;
  int current_ = -1;
  std::array<std::int32_t, 3> buttonIds_{};

  std::array<CPngBtn*, 3> profileButtons_{};
  CPngBtn* min_ = nullptr;
  CPngBtn* exit_ = nullptr;
  CPngBtn* macro_ = nullptr;
  CPngBtn* reset_ = nullptr;
  CPngBtn* ok_ = nullptr;
  CPngBtn* cancel_ = nullptr;
  CPngBtn* apply_ = nullptr;
  CPngBtn* kbView_ = nullptr;
  CPngBtn* gestView_ = nullptr;

  CKBColorDlg* view_ = nullptr;
  CLightingPageBase* led_ = nullptr;
  CColorPanelBase* panel_ = nullptr;
  CGestDlg* gest_ = nullptr;

  int pendingApplies_ = 0;
  QPointer<CProgressDlg> progress_;
  bool switchFailed_ = false;
  std::vector<int> failedSwitchPids_;
  std::int32_t failedSwitchProfile_ = 0;
  int pauseDepth_ = 0;
};

}  // namespace lumera
