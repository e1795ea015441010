// Device arrival and removal of the Q350RGB while Lumera runs.
//
// The main window hands every device notification to OnDeviceChange with
// the event code and the interface name. Only names that contain
// "USB#VID_xxxx&PID_xxxx" with the configured ids (any letter case) count,
// which is the keyboard's USB device interface:
//   arrival  (0x8000): "Device IN", then up to 3 times: wait 100 ms and
//                      FindDev, until one succeeds;
//   removal  (0x8004): "Device OUT", the removal message (shown until the
//                      user closes it), ClearHandle, the pop-up windows
//                      closed, the main window asked to close.
// The message and window steps are callbacks the main window fills in.
#pragma once

#include <functional>
#include <string_view>

#include "platform/hid/device_watcher.h"
#include "platform/ui/window_messages.h"

namespace lumera {

class CUSBDriver;

constexpr unsigned DBT_DEVICEARRIVAL = 0x8000;
constexpr unsigned DBT_DEVICEREMOVECOMPLETE = 0x8004;

constexpr int kArrivalTries = 3;
constexpr unsigned kArrivalPauseMs = 100;

struct RemovalSteps {
  // Shows "tc_msg15" in the program's message window and returns when the
  // user has closed it.
  std::function<void()> showRemovedMessage;
  // CloseTopWindows() of the main window.
  std::function<void()> closeTopWindows;
  // Posts WM_CLOSE to the main window.
  std::function<void()> closeMainWindow;
};

class DeviceChangeHandler {
 public:
  explicit DeviceChangeHandler(CUSBDriver& driver) : driver_(driver) {}

  void SetRemovalSteps(RemovalSteps steps) { steps_ = std::move(steps); }

  // Answers 0 in every case, as the window procedure does.
  platform::LRESULT OnDeviceChange(unsigned event, std::string_view interfaceName);
  platform::LRESULT OnDeviceChange(const platform::DeviceNotification& n) {
    return OnDeviceChange(n.arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE, n.name);
  }

  // Whether `interfaceName` names the configured keyboard.
  bool Matches(std::string_view interfaceName) const;

 private:
  CUSBDriver& driver_;
  RemovalSteps steps_;
};

}  // namespace lumera
