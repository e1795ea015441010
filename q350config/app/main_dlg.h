// CQ350ConfigDlg, the main window of Q350Config: the shaped frame with its
// four tabs, five profile buttons, apply, minimise, hide and language
// buttons, the language flag and the status line; it owns the device link,
// the pages, the write thread and the tray icon, and ends the program when
// the keyboard goes away.
//
// While a full write runs (the progress dialog is modal), everything that
// could end the program or touch the settings the write thread reads and
// rewrites is held back: the tray menu's Config and Exit, a second start's
// wake-up, device removal, WM_CLOSE and further writes are queued and
// handled, in order, once the result (1795/1796) has been handled and the
// thread has ended.
#pragma once

#include <QPointer>
#include <QString>
#include <array>
#include <memory>
#include <mutex>
#include <vector>

#include "q350config/app/pages.h"
#include "q350config/controls/simple_controls.h"
#include "q350config/controls/skin_button.h"
#include "q350config/controls/skin_dialog.h"
#include "q350config/device/full_write.h"
#include "q350config/device/usb_driver.h"

class QSystemTrayIcon;
class QMenu;

namespace platform {
class QtDeviceWatcher;
}

namespace q350app {

inline constexpr char16_t kMainWindowTitle[] = u"Kavro Q350 Gaming Keyboard Driver";

// Messages of the main window.
constexpr unsigned kMsgLanguage = 1025;
constexpr unsigned kMsgTray = 1132;
constexpr unsigned kMsgWriteSucceeded = q350::kMsgWriteSucceeded;  // 1795
constexpr unsigned kMsgWriteFailed = q350::kMsgWriteFailed;        // 1796
constexpr unsigned kMsgStartWrite = 1797;
constexpr unsigned kMsgRefreshPages = 1799;
constexpr unsigned kMsgRestoreFactory = 2054;
constexpr unsigned WM_DEVICECHANGE = 0x0219;
constexpr unsigned DBT_DEVICEREMOVECOMPLETE = 0x8004;
constexpr unsigned kBringForwardTimer = 3;
// Tray icon callbacks (lParam of 1132) and the tray menu's commands.
constexpr int kTrayButtonUp = 514, kTrayDoubleClick = 515, kTrayRightButtonUp = 517;
constexpr unsigned kCmdTrayConfig = 24576, kCmdTrayExit = 24577;

// Control ids.
constexpr int kIdFlagPicture = 1002;
constexpr int kIdTabFirst = 1101;      // 1101..1104: keys, lighting, macros, support
constexpr int kIdProfileFirst = 1111;  // 1111..1115
constexpr int kIdApply = 1120, kIdMinimise = 1121, kIdHide = 1122, kIdLanguage = 1123;

enum PageIndex { kKeysPage = 0, kLightingPage = 1, kMacrosPage = 2, kSupportPage = 3 };

// "V000" for 0 and anything above 254, "V%d00" for 1..9, "V%d0" for
// 10..99, "V%d" for 100..254.
QString FirmwareVersionText(unsigned version);

class COrvaneA;

class CQ350ConfigDlg : public q350ui::CSkinDialog {
 public:
  CQ350ConfigDlg();
  ~CQ350ConfigDlg() override;

  // Starts a full write: the control byte, then the write thread while the
  // progress dialog runs modally. Returns when the write is over and its
  // result handled.
  void ApplySettingsToKeyboard();

  // ---- For the pages and for tests ----
  q350ui::CSkinButton* tab(int i) const { return tabs_[static_cast<std::size_t>(i)]; }
  q350ui::CSkinButton* profileButton(int i) const { return profiles_[static_cast<std::size_t>(i)]; }
  q350ui::CSkinButton* applyButton() const { return apply_; }
  q350ui::CSkinButton* minimiseButton() const { return minimise_; }
  q350ui::CSkinButton* hideButton() const { return hide_; }
  q350ui::CSkinButton* languageButton() const { return language_; }
  q350ui::CSkinPicture* flagPicture() const { return flag_; }
  CQ350Page* page(int i) const { return pages_[static_cast<std::size_t>(i)]; }
  const QString& statusText() const { return status_; }
  int currentProfile() const { return current_; }
  COrvaneA* languagePopup() const;
  bool isWriting() const { return writing_; }
  bool hasTray() const { return tray_ != nullptr; }
  q350::CUSBDriver& driver() { return driver_; }
  static QRect statusRect();
  // The keyboard-removal watch, dropped while the firmware updater has the
  // keyboard and taken up again when its start fails.
  void StopRemovalWatch();
  void StartRemovalWatch();
  bool isWatchingRemoval() const { return watcher_ != nullptr; }

 protected:
  void onInitDialog() override;
  bool onMessage(unsigned message, platform::WPARAM w, platform::LPARAM l, platform::LRESULT& result) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  struct Held {
    unsigned message;
    platform::WPARAM w;
    platform::LPARAM l;
  };

  // Message map handlers.
  platform::LRESULT OnLanguage(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTray(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnWriteSucceeded(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnWriteFailed(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnStartWrite(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnRefreshPages(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnShowHint(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnRestoreFactory(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnDeviceChange(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnTimer(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnCommand(platform::WPARAM w, platform::LPARAM l);
  platform::LRESULT OnClose(platform::WPARAM w, platform::LPARAM l);

  void buildWindow();
  void buildTray();
  void startUpdater();
  void showTab(int tab);
  void switchProfile(int n);
  void markProfiles();
  void refreshPages();
  void changeLanguage(int n);
  void openLanguagePopup();
  void closeLanguagePopup();
  void showTrayMenu();
  void showWindowNormally();
  void hookOff();
  void handleWriteResult(unsigned message);
  bool isHeldDuringWrite(unsigned message, platform::WPARAM w) const;
  void trayActivated(int reason);
  void deviceChanged(bool arrival, const QString& name);

  q350ui::FaceSet faces_;
  std::array<q350ui::CSkinButton*, 4> tabs_{};
  std::array<q350ui::CSkinButton*, 5> profiles_{};
  q350ui::CSkinButton* apply_ = nullptr;
  q350ui::CSkinButton* minimise_ = nullptr;
  q350ui::CSkinButton* hide_ = nullptr;
  q350ui::CSkinButton* language_ = nullptr;
  q350ui::CSkinPicture* flag_ = nullptr;
  std::array<CQ350Page*, 4> pages_{};
  QString status_;
  int hint_ = 99;
  int current_ = 0;

  q350::CUSBDriver driver_;
  std::mutex writeMutex_;
  q350::WriteThread writeThread_;
  bool writing_ = false;
  unsigned writeResult_ = 0;
  std::vector<Held> held_;
  bool removalShown_ = false;

  QSystemTrayIcon* tray_ = nullptr;
  QPointer<QMenu> trayMenu_;
  platform::QtDeviceWatcher* watcher_ = nullptr;
  QPointer<COrvaneA> popup_;
};

// The language pop-up: a borderless list 116 pixels wide with 22-pixel rows
// from 6 pixels below its top, one per language with its menu icon.
// Choosing row n sends message 1025 (wParam 0, lParam n) to the owner;
// closing sends 1025 with lParam 0.
class COrvaneA : public q350ui::CSkinDialog {
 public:
  static constexpr int kWidth = 116, kRowHeight = 22, kTop = 6;
  explicit COrvaneA(QWidget* owner);
  ~COrvaneA() override;
  // The row (1..12) at a point, 0 for none.
  int rowAt(QPoint local) const;
  void choose(int row);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void hideEvent(QHideEvent* e) override;

 private:
  void tellClosed();
  QPointer<QWidget> owner_;
  int hover_ = 0;
  bool told_ = false;
};

// The main window while it exists (the write thread's target).
CQ350ConfigDlg* mainWindow();

}  // namespace q350app
