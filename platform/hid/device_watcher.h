// Device arrival and removal notifications, in place of WM_DEVICECHANGE.
//
// Real devices come from a libudev monitor (subsystems usb and hidraw, the
// "udev" source, so rules and permissions are applied before we hear of a
// device); simulated keyboards from a running kbsim, which the watcher
// finds again by itself when the simulator starts later or restarts. Each
// notification carries the Windows-form interface name:
//   USB device interface: \\?\USB#VID_24AE&PID_4018#<instance>#{a5dcbf10-...}
//   HID interface:        \\?\HID#VID_24AE&PID_4018&MI_01#<node>#{4d1e55b2-...}
// A keyboard that arrives gives its USB device interface first, then one HID
// interface per top-level collection; a removal gives them in the opposite
// order.
//
// The watcher has one file descriptor to poll and a dispatch call that never
// blocks, so it serves a plain thread (wait + dispatch) and an event loop (a
// socket notifier on fd(); see qt_device_watcher.h) alike. It is used from
// one thread at a time.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform {

enum DeviceInterfaceClass : unsigned {
  kUsbDeviceInterfaceClass = 1,  // GUID_DEVINTERFACE_USB_DEVICE
  kHidInterfaceClass = 2,        // the HID class interface GUID
};

struct DeviceNotification {
  bool arrival = false;  // false: removal complete
  unsigned interfaceClass = 0;
  std::string name;
};

class DeviceWatcher {
 public:
  using Handler = std::function<void(const DeviceNotification&)>;

  explicit DeviceWatcher(unsigned classes = kUsbDeviceInterfaceClass | kHidInterfaceClass);
  ~DeviceWatcher();
  DeviceWatcher(const DeviceWatcher&) = delete;
  DeviceWatcher& operator=(const DeviceWatcher&) = delete;

  void setHandler(Handler handler);
  // Starts watching. Devices present now are not reported. False only when
  // nothing at all can be watched (no poll set could be made).
  bool start();
  // Readable whenever dispatch() has something to do.
  int fd() const;
  // Handles everything pending and calls the handler once per notification.
  void dispatch();
  // Waits up to timeoutMs for fd() to become readable.
  bool wait(int timeoutMs);

  bool udevActive() const;
  bool simulatorConnected() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

}  // namespace platform
