// libPallomar.so: HID access for the Q350RGB program (see pallomar.h).
#include "outside/pallomar/pallomar.h"

#include <cerrno>
#include <cstring>
#include <set>
#include <string>

#include "platform/clock.h"
#include "platform/format.h"
#include "platform/hid/hid.h"
#include "platform/text.h"

#define PALLOMAR_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr unsigned kDefaultReadTimeoutMs = 1000;

std::u16string matchText(const uint16_t* match) {
  std::u16string text;
  if (match)
    for (const uint16_t* p = match; *p; ++p) text.push_back(static_cast<char16_t>(*p));
  return text;
}

bool containsNoCase(const std::string& haystack, const std::u16string& needle) {
  if (needle.empty()) return true;
  return platform::toLowerAscii(haystack).find(platform::toLowerAscii(platform::toUtf8(needle))) != std::string::npos;
}

platform::Handle handleOf(void* h) { return static_cast<platform::Handle>(h); }

}  // namespace

PALLOMAR_EXPORT void* OpenHidDevice(int usagePage, int usage, const uint16_t* match, PallomarPredicate predicate,
                                    int index, int readTimeoutMs, int debug, int /*reserved*/,
                                    unsigned /*openFlags*/, int* count) {
  const std::u16string wanted = matchText(match);
  std::set<std::string> devices;
  platform::Handle opened = nullptr;
  int accepted = 0;
  int lastError = ENODEV;
  for (const platform::HidInterfaceInfo& info : platform::enumerateHidInterfaces()) {
    if (info.usagePage != static_cast<std::uint16_t>(usagePage) || info.usage != static_cast<std::uint16_t>(usage) ||
        !containsNoCase(info.path, wanted))
      continue;
    const bool ok = !predicate || predicate(info.interfaceNumber, info.inputReportLength, info.outputReportLength,
                                            info.featureReportLength) != 0;
    if (debug)
      platform::debugOutput(platform::format("Pallomar: %s input %d output %d feature %d: %s", info.path,
                                             info.inputReportLength, info.outputReportLength,
                                             info.featureReportLength, ok ? "accepted" : "passed over"));
    if (!ok) continue;
    devices.insert(info.deviceKey);
    if (opened || accepted++ < index) continue;
    platform::HidOpenOptions options;
    options.readTimeoutMs = readTimeoutMs > 0 ? static_cast<unsigned>(readTimeoutMs) : kDefaultReadTimeoutMs;
    opened = platform::openHidInterface(info, options);
    if (!opened) {
      lastError = errno;
      if (debug) platform::debugOutput(platform::format("Pallomar: cannot open %s: %s", info.path, std::strerror(errno)));
      --accepted;  // the next accepted interface takes its place
    } else if (!count) {
      break;
    }
  }
  if (count) *count = static_cast<int>(devices.size());
  if (!opened) errno = lastError;
  return opened;
}

PALLOMAR_EXPORT int SetFeature(void* handle, const void* buffer, int length) {
  return length > 0 && platform::hidSetFeature(handleOf(handle), buffer, static_cast<std::size_t>(length)) ? 1 : 0;
}

PALLOMAR_EXPORT int GetFeature(void* handle, void* buffer, int length) {
  return length > 0 && platform::hidGetFeature(handleOf(handle), buffer, static_cast<std::size_t>(length)) ? 1 : 0;
}

PALLOMAR_EXPORT int GetInputReport(void* handle, void* buffer, int length) {
  return length > 0 && platform::hidGetInputReport(handleOf(handle), buffer, static_cast<std::size_t>(length)) ? 1
                                                                                                               : 0;
}

PALLOMAR_EXPORT int GetProductString(void* handle, uint16_t* buffer, int characters) {
  if (!buffer || characters <= 0) {
    errno = EINVAL;
    return 0;
  }
  buffer[0] = 0;
  platform::HidInterfaceInfo info;
  if (!platform::hidDescribe(handleOf(handle), info)) return 0;
  const std::size_t n = std::min<std::size_t>(info.productString.size(), static_cast<std::size_t>(characters) - 1);
  for (std::size_t i = 0; i < n; ++i) buffer[i] = info.productString[i];
  buffer[n] = 0;
  return 1;
}

PALLOMAR_EXPORT int GetVersionNumber(void* handle, uint16_t* version) {
  if (!version) {
    errno = EINVAL;
    return 0;
  }
  platform::HidInterfaceInfo info;
  if (!platform::hidDescribe(handleOf(handle), info)) return 0;
  *version = info.versionNumber;
  return 1;
}
