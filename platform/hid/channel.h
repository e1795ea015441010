// Inside the HID layer: an open interface ("channel") behind a handle.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/hid/hid.h"

namespace platform::detail {

// One open interface. Calls on one channel may come from several threads;
// each implementation serialises its own transfers. cancel() comes from the
// thread that closes the handle: calls waiting for a report return at once,
// and every later call fails with EBADF. The channel itself is destroyed
// when the last call that holds it returns.
class Channel {
 public:
  virtual ~Channel() = default;
  virtual bool write(const std::uint8_t* data, std::size_t size, std::size_t* written, unsigned timeoutMs) = 0;
  virtual bool read(std::uint8_t* data, std::size_t size, std::size_t* got, unsigned timeoutMs) = 0;
  virtual bool setFeature(const std::uint8_t* data, std::size_t size, unsigned timeoutMs) = 0;
  virtual bool getFeature(std::uint8_t* data, std::size_t size, unsigned timeoutMs) = 0;
  virtual bool getInputReport(std::uint8_t* data, std::size_t size, unsigned timeoutMs) = 0;
  virtual void cancel() = 0;
};

Handle makeHidHandle(std::shared_ptr<Channel> channel, const HidInterfaceInfo& info, const HidOpenOptions& options);

// Null with errno set when the interface cannot be opened.
std::shared_ptr<Channel> openHidrawChannel(const HidInterfaceInfo& info);
std::shared_ptr<Channel> openSimChannel(const HidInterfaceInfo& info);

// Real interfaces and USB hardware ids, read from udev and sysfs.
std::vector<HidInterfaceInfo> enumerateHidraw();
std::vector<std::string> realUsbHardwareIds();
// Simulated interfaces and hardware ids, asked of a running kbsim.
std::vector<HidInterfaceInfo> enumerateSim();
std::vector<std::string> simUsbHardwareIds();

}  // namespace platform::detail
