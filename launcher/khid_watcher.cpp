#include "launcher/khid_watcher.h"

#include <QDebug>
#include <cerrno>

#include "platform/hid/qt_device_watcher.h"

namespace KHID {

KHIDWatcher::KHIDWatcher(QWidget* parent) : QWidget(parent) {}

KHIDWatcher::~KHIDWatcher() = default;

bool KHIDWatcher::registerNotification() {
  if (notifications_) return true;
  // Only the HID interface class: the USB device interface of a keyboard
  // arrives too, but it is not a HID interface and names no collection.
  auto notifications = std::make_unique<platform::QtDeviceWatcher>(platform::kHidInterfaceClass);
  errno = 0;
  if (!notifications->start()) {
    qDebug() << "error: RegisterDeviceNotification, code:" << errno;
    return false;
  }
  connect(notifications.get(), &platform::QtDeviceWatcher::deviceChanged, this,
          &KHIDWatcher::onDeviceNotification, Qt::DirectConnection);
  notifications_ = std::move(notifications);
  return true;
}

void KHIDWatcher::onDeviceNotification(bool arrival, const QString& name, unsigned interfaceClass) {
  if (interfaceClass != platform::kHidInterfaceClass) return;
  emit sigHIDDeviceChange(arrival, name);
}

}  // namespace KHID
