// DeviceWatcher on a Qt event loop: a socket notifier on the watcher's
// descriptor turns its notifications into a signal.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "platform/hid/device_watcher.h"

class QSocketNotifier;

namespace platform {

class QtDeviceWatcher : public QObject {
  Q_OBJECT
 public:
  explicit QtDeviceWatcher(unsigned classes = kUsbDeviceInterfaceClass | kHidInterfaceClass,
                           QObject* parent = nullptr);
  ~QtDeviceWatcher() override;

  // Starts watching; false when nothing can be watched.
  bool start();
  DeviceWatcher& watcher() { return watcher_; }

 signals:
  // Emitted on the watcher's thread, once per notification.
  void deviceChanged(bool arrival, const QString& name, unsigned interfaceClass);

 private:
  DeviceWatcher watcher_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace platform
