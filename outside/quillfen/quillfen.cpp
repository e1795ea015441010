// libQuillfen.so: opens the Q350's configuration interface (see quillfen.h).
#include "outside/quillfen/quillfen.h"

#include <cerrno>
#include <string>

#include "platform/hid/hid.h"
#include "platform/text.h"

#define QUILLFEN_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
constexpr unsigned kDefaultReadTimeoutMs = 1000;
}  // namespace

QUILLFEN_EXPORT void* OpenHidDevice(int usagePage, int usage, const uint16_t* match, int index, int readTimeoutMs,
                                    int reserved1, int reserved2, int reserved3) {
  if (reserved1 || reserved2 || reserved3 || index < 0) {
    errno = EINVAL;
    return nullptr;
  }
  std::u16string wanted;
  if (match)
    for (const uint16_t* p = match; *p; ++p) wanted.push_back(static_cast<char16_t>(*p));
  const std::string needle = platform::toLowerAscii(platform::toUtf8(wanted));
  int seen = 0;
  int lastError = ENODEV;
  for (const platform::HidInterfaceInfo& info : platform::enumerateHidInterfaces()) {
    if (info.usagePage != static_cast<std::uint16_t>(usagePage) || info.usage != static_cast<std::uint16_t>(usage) ||
        platform::toLowerAscii(info.path).find(needle) == std::string::npos)
      continue;
    if (seen++ < index) continue;
    platform::HidOpenOptions options;
    options.readTimeoutMs = readTimeoutMs > 0 ? static_cast<unsigned>(readTimeoutMs) : kDefaultReadTimeoutMs;
    if (platform::Handle h = platform::openHidInterface(info, options)) return h;
    lastError = errno;
  }
  errno = lastError;
  return nullptr;
}
