// A hidden widget that reports HID interface arrival and removal.
//
// The platform's device notifications arrive on the GUI thread's event loop;
// the watcher keeps those of the HID interface class and turns each into one
// sigHIDDeviceChange. It is never shown.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

namespace platform {
class QtDeviceWatcher;
}

namespace KHID {

class KHIDWatcher : public QWidget {
  Q_OBJECT
 public:
  explicit KHIDWatcher(QWidget* parent = nullptr);
  ~KHIDWatcher() override;

  // Starts listening for HID interface notifications; true on success.
  // Before this call the watcher emits nothing. A second call changes
  // nothing and succeeds.
  bool registerNotification();

 signals:
  // status: true for an arrival, false for a removal; devicePath: the
  // interface path from the notification.
  void sigHIDDeviceChange(bool status, QString devicePath);

 private:
  void onDeviceNotification(bool arrival, const QString& name, unsigned interfaceClass);

  std::unique_ptr<platform::QtDeviceWatcher> notifications_;
};

}  // namespace KHID
