// HID interfaces: enumeration, opening, USB presence, interface names.
//
// The programs see every HID interface the way Windows lists them: one entry
// per top-level collection, with an interface path of the Windows form
//   \\?\HID#VID_24AE&PID_4018&MI_01#<node>#{4d1e55b2-f16f-11cf-88cb-001111000030}
// so that their substring tests on paths work unchanged. Real devices come
// from hidraw (sysfs and udev for the list, hidapi for the transfers);
// simulated keyboards come from a running kbsim (see sim_link.h) and carry
// a node part that names the simulator ("kbsim&<index>&<interface>").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hid/handle.h"

namespace platform {

struct HidInterfaceInfo {
  std::string path;       // the Windows-form interface path
  std::string node;       // /dev/hidrawN, or the simulator's "kbsim&K&M"
  std::string deviceKey;  // the same for every interface of one USB device
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;
  std::u16string productString;
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  int interfaceNumber = -1;  // -1 when the bus has no interface numbers
  std::uint16_t inputReportLength = 0;
  std::uint16_t outputReportLength = 0;
  std::uint16_t featureReportLength = 0;
  bool usesReportIds = false;
  bool simulated = false;
  bool accessible = true;  // the node can be opened for reading and writing
  int simKeyboard = -1;    // simulated: the simulator's keyboard index
};

// Every present HID interface: the real ones, then the simulator's. Real
// devices are left out when KAVRO_HID_REAL is "0" (tests use this to see
// only their simulator).
std::vector<HidInterfaceInfo> enumerateHidInterfaces();
bool realDevicesEnabled();

// Time-outs a new handle starts with (both changeable on the handle).
struct HidOpenOptions {
  unsigned readTimeoutMs = 1000;
  unsigned transferTimeoutMs = 5000;
};

// Opens one interface for reading and writing; null with errno on failure
// (EACCES when the hidraw node's permissions forbid it, ENODEV when gone).
Handle openHidInterface(const HidInterfaceInfo& info, const HidOpenOptions& options = {});
// The same by interface path (looked up among the present interfaces).
Handle openHidPath(const std::string& path, const HidOpenOptions& options = {});

// The Windows device-interface class GUIDs, as they appear in names.
extern const char* const kHidInterfaceGuid;        // {4d1e55b2-...}
extern const char* const kUsbDeviceInterfaceGuid;  // {a5dcbf10-...}

// "\\?\HID#VID_xxxx&PID_xxxx[&MI_xx][&Colxx]#<node>#{hid guid}".
// interfaceNumber < 0 leaves MI out; collection < 0 leaves Col out
// (Windows adds it only to interfaces with several top-level collections).
std::string hidInterfacePath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber, int collection,
                             std::string_view node);
// "\\?\USB#VID_xxxx&PID_xxxx#<instance>#{usb device guid}".
std::string usbDeviceInterfaceName(std::uint16_t vendorId, std::uint16_t productId, std::string_view instance);
// "USB\VID_xxxx&PID_xxxx&REV_xxxx", the first hardware id of a USB device.
std::string usbHardwareId(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t revision);

// The node part for a simulated interface.
std::string simNode(int keyboard, int interfaceNumber);

// The hardware ids of every present USB device, real and simulated.
std::vector<std::string> usbHardwareIds();
// True when `text` occurs in one of them, without regard to case (what a
// presence check by "VID_24AE&PID_4011" needs).
bool usbHardwareIdPresent(std::string_view text);

}  // namespace platform
