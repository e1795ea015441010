// The launcher's logic: find a keyboard of the family among the HID
// interfaces, at start and on every arrival, and start the configuration
// program that fits it from its sub-folder beside the launcher.
//
//   Q350RGB  24AE:4018  <launcher folder>/Q350RGB/Lumera
//   Q350     24AE:4011  <launcher folder>/Q350/Q350Config
//
// After a start has been tried the application quits 500 ms later; once a
// program has started, no further start is tried.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "launcher/kble_tools.h"
#include "launcher/khid_watcher.h"

class MainWindow;

class KAppLauncher : public QObject {
  Q_OBJECT
 public:
  // Lists interfaces the way KBLETools::enumHidDevices does.
  using Enumerator = std::function<void(const KHID::KBLETools::Visitor&)>;

  // Decides at once: starts the program of the first matching interface,
  // or shows the "no keyboard" window when there is none.
  explicit KAppLauncher(QObject* parent = nullptr);
  // The same over the interfaces `enumerate` lists.
  explicit KAppLauncher(const Enumerator& enumerate, QObject* parent = nullptr);
  ~KAppLauncher() override;

  // Tries to start Lumera (rgb) or Q350Config, unless a program was already
  // started, and then arms the quit timer. Returns true.
  bool openSoftware(bool rgb);

  bool launched() const { return launched_; }
  KHID::KHIDWatcher& watcher() { return watcher_; }
  // The "no keyboard" window, or null when none was shown.
  MainWindow* window() const { return window_.get(); }

  // Half a second between a start and the end of the launcher: time for the
  // detached program to get going before our window disappears.
  static constexpr int kQuitDelayMs = 500;

 public slots:
  void onHidDeviceChange(bool status, QString devicePath);

 private:
  KHID::KHIDWatcher watcher_;
  bool launched_ = false;
  std::unique_ptr<MainWindow> window_;
};
