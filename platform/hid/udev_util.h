// Inside the HID layer: what udev and sysfs tell about hidraw nodes and USB
// devices, shared by the enumeration and the notification watcher so that
// both give a device the same names.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/hid/hid.h"

struct udev_device;

namespace platform::detail {

struct HidrawNode {
  std::string sysname;    // "hidraw3"
  std::string devnode;    // "/dev/hidraw3"
  std::string deviceKey;  // sysfs path of the USB device (or the HID device)
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t version = 0;
  std::u16string product;
  int interfaceNumber = -1;
  std::vector<std::uint8_t> descriptor;
};

// Reads a hidraw device's ids, strings and report descriptor from its
// parents. False when it is no HID device udev knows.
bool describeHidraw(udev_device* hidraw, HidrawNode& node);
// One entry per top-level collection of the node's descriptor.
std::vector<HidInterfaceInfo> hidrawInterfaces(const HidrawNode& node);

struct UsbNode {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t revision = 0;
  std::string instance;  // serial number, else the sysfs name ("1-2")
};
// False when the device is no USB device (an interface, a hub port...).
bool describeUsbDevice(udev_device* device, UsbNode& node);

}  // namespace platform::detail
