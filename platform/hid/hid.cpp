#include "platform/hid/hid.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/hid/channel.h"
#include "platform/text.h"

namespace platform {

const char* const kHidInterfaceGuid = "{4d1e55b2-f16f-11cf-88cb-001111000030}";
const char* const kUsbDeviceInterfaceGuid = "{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

bool realDevicesEnabled() {
  const char* v = std::getenv("KAVRO_HID_REAL");
  return !(v && std::strcmp(v, "0") == 0);
}

std::string hidInterfacePath(std::uint16_t vendorId, std::uint16_t productId, int interfaceNumber, int collection,
                             std::string_view node) {
  char ids[64];
  std::snprintf(ids, sizeof(ids), "VID_%04X&PID_%04X", vendorId, productId);
  std::string path = std::string("\\\\?\\HID#") + ids;
  if (interfaceNumber >= 0) {
    std::snprintf(ids, sizeof(ids), "&MI_%02X", interfaceNumber & 0xFF);
    path += ids;
  }
  if (collection >= 0) {
    std::snprintf(ids, sizeof(ids), "&Col%02d", collection);
    path += ids;
  }
  path += "#";
  path += node;
  path += "#";
  path += kHidInterfaceGuid;
  return path;
}

std::string usbDeviceInterfaceName(std::uint16_t vendorId, std::uint16_t productId, std::string_view instance) {
  char ids[64];
  std::snprintf(ids, sizeof(ids), "VID_%04X&PID_%04X", vendorId, productId);
  return std::string("\\\\?\\USB#") + ids + "#" + std::string(instance) + "#" + kUsbDeviceInterfaceGuid;
}

std::string usbHardwareId(std::uint16_t vendorId, std::uint16_t productId, std::uint16_t revision) {
  char id[64];
  std::snprintf(id, sizeof(id), "USB\\VID_%04X&PID_%04X&REV_%04X", vendorId, productId, revision);
  return id;
}

std::string simNode(int keyboard, int interfaceNumber) {
  return "kbsim&" + std::to_string(keyboard) + "&" + std::to_string(interfaceNumber);
}

std::vector<HidInterfaceInfo> enumerateHidInterfaces() {
  std::vector<HidInterfaceInfo> list;
  if (realDevicesEnabled()) list = detail::enumerateHidraw();
  for (HidInterfaceInfo& info : detail::enumerateSim()) list.push_back(std::move(info));
  return list;
}

Handle openHidInterface(const HidInterfaceInfo& info, const HidOpenOptions& options) {
  std::shared_ptr<detail::Channel> channel =
      info.simulated ? detail::openSimChannel(info) : detail::openHidrawChannel(info);
  if (!channel) return nullptr;
  return detail::makeHidHandle(std::move(channel), info, options);
}

Handle openHidPath(const std::string& path, const HidOpenOptions& options) {
  for (const HidInterfaceInfo& info : enumerateHidInterfaces())
    if (equalsNoCase(info.path, path)) return openHidInterface(info, options);
  errno = ENOENT;
  return nullptr;
}

std::vector<std::string> usbHardwareIds() {
  std::vector<std::string> ids;
  if (realDevicesEnabled()) ids = detail::realUsbHardwareIds();
  for (std::string& id : detail::simUsbHardwareIds()) ids.push_back(std::move(id));
  return ids;
}

bool usbHardwareIdPresent(std::string_view text) {
  const std::string needle = toLowerAscii(text);
  for (const std::string& id : usbHardwareIds())
    if (toLowerAscii(id).find(needle) != std::string::npos) return true;
  return false;
}

}  // namespace platform
