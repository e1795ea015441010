#include "platform/hid/qt_device_watcher.h"

#include <QSocketNotifier>

namespace platform {

QtDeviceWatcher::QtDeviceWatcher(unsigned classes, QObject* parent) : QObject(parent), watcher_(classes) {
  watcher_.setHandler([this](const DeviceNotification& n) {
    emit deviceChanged(n.arrival, QString::fromStdString(n.name), n.interfaceClass);
  });
}

QtDeviceWatcher::~QtDeviceWatcher() = default;

bool QtDeviceWatcher::start() {
  if (notifier_) return true;
  if (!watcher_.start()) return false;
  notifier_ = std::make_unique<QSocketNotifier>(watcher_.fd(), QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, [this] { watcher_.dispatch(); });
  return true;
}

}  // namespace platform
