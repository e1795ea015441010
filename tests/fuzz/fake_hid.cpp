// The stand-in HID libraries (see fake_hid.h): built once as libFuzzPallomar
// (Pallomar's six entry points) and once as libFuzzQuillfen (Quillfen's
// one), both with the same scripted handle underneath.
#include "tests/fuzz/fake_hid.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/hid/handle.h"

#if defined(FAKE_PALLOMAR)
#include "outside/pallomar/pallomar.h"
#elif defined(FAKE_QUILLFEN)
#include "outside/quillfen/quillfen.h"
#else
#error "build as FAKE_PALLOMAR or FAKE_QUILLFEN"
#endif

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Script {
  std::vector<std::uint8_t> bytes;
  std::size_t pos = 0;
  int replies = 0;

  // One reply step into buffer[0..room); the number of bytes written, or
  // -1 for a failed call.
  int next(std::uint8_t* buffer, std::size_t room) {
    ++replies;
    if (pos >= bytes.size()) return -1;
    const std::uint8_t control = bytes[pos++];
    if ((control & 3) == 0) return -1;
    std::size_t n = pos < bytes.size() ? bytes[pos++] : 0;
    if (n == 0xFF) n = room;
    n = std::min({n, room, bytes.size() - pos});
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(pos), n, buffer);
    pos += n;
    return static_cast<int>(n);
  }
};

std::mutex gLock;
Script gScript;

class ScriptedDevice final : public platform::KernelObject {
 public:
  bool open = true;

  bool close() override {
    std::lock_guard<std::mutex> lock(gLock);
    if (!open) {
      errno = EBADF;
      return false;
    }
    open = false;
    return true;
  }
  bool write(const void*, std::size_t size, std::size_t* written) override {
    if (!usable()) return false;
    if (written) *written = size;
    return true;
  }
  bool read(void* data, std::size_t size, std::size_t* got) override {
    if (!usable()) return false;
    std::lock_guard<std::mutex> lock(gLock);
    const int n = gScript.next(static_cast<std::uint8_t*>(data), size);
    if (n < 0) {
      errno = ETIMEDOUT;
      return false;
    }
    if (got) *got = static_cast<std::size_t>(n);
    return true;
  }
  bool setFeature(const void*, std::size_t) override { return usable(); }
  bool getFeature(void* data, std::size_t size) override { return reply(data, size); }
  bool getInputReport(void* data, std::size_t size) override { return reply(data, size); }
  bool describe(platform::HidInterfaceInfo&) override {
    errno = ENOTSUP;
    return false;
  }
  void setTimeouts(unsigned, unsigned) override {}
  ~ScriptedDevice() override = default;

 private:
  bool usable() {
    std::lock_guard<std::mutex> lock(gLock);
    if (!open) errno = EBADF;
    return open;
  }
  // The report id stays in data[0]; the reply fills what follows.
  bool reply(void* data, std::size_t size) {
    if (!usable() || size < 1) return false;
    std::lock_guard<std::mutex> lock(gLock);
    if (gScript.next(static_cast<std::uint8_t*>(data) + 1, size - 1) < 0) {
      errno = EIO;
      return false;
    }
    return true;
  }
};

std::vector<std::unique_ptr<ScriptedDevice>> gDevices;

ScriptedDevice* openDevice() {
  std::lock_guard<std::mutex> lock(gLock);
  gDevices.push_back(std::make_unique<ScriptedDevice>());
  return gDevices.back().get();
}


}  // namespace

FAKE_EXPORT void FakeHidSetScript(const std::uint8_t* data, std::size_t size) {
  std::lock_guard<std::mutex> lock(gLock);
  gScript = Script{};
  gScript.bytes.assign(data, data + size);
  gDevices.erase(std::remove_if(gDevices.begin(), gDevices.end(), [](const auto& d) { return !d->open; }),
                 gDevices.end());
}

FAKE_EXPORT int FakeHidOpenHandles() {
  std::lock_guard<std::mutex> lock(gLock);
  return static_cast<int>(std::count_if(gDevices.begin(), gDevices.end(), [](const auto& d) { return d->open; }));
}

FAKE_EXPORT int FakeHidReplies() {
  std::lock_guard<std::mutex> lock(gLock);
  return gScript.replies;
}

#if defined(FAKE_PALLOMAR)

namespace {
ScriptedDevice* device(void* handle) { return static_cast<ScriptedDevice*>(static_cast<platform::Handle>(handle)); }
}  // namespace

// Three interfaces, as the Q350RGB has them: the data interface (feature
// reports of 1032 bytes), the command interface (6) and the one that sends
// the keyboard's 5-byte input reports.
FAKE_EXPORT void* OpenHidDevice(int, int, const std::uint16_t*, PallomarPredicate predicate, int index, int, int, int,
                                unsigned, int* count) {
  struct Interface {
    int number, input, output, feature;
  };
  static constexpr Interface kInterfaces[] = {{1, 0, 0, 1032}, {2, 0, 0, 6}, {0, 5, 0, 0}};
  int accepted = 0;
  bool any = false;
  for (const Interface& i : kInterfaces) {
    if (predicate && !predicate(i.number, i.input, i.output, i.feature)) continue;
    any = true;
    if (accepted++ == index) {
      if (count) *count = 1;
      return static_cast<platform::Handle>(openDevice());
    }
  }
  if (count) *count = any ? 1 : 0;
  errno = ENODEV;
  return nullptr;
}

FAKE_EXPORT int SetFeature(void* handle, const void* buffer, int length) {
  return handle && length > 0 && device(handle)->setFeature(buffer, static_cast<std::size_t>(length)) ? 1 : 0;
}

FAKE_EXPORT int GetFeature(void* handle, void* buffer, int length) {
  return handle && length > 0 && device(handle)->getFeature(buffer, static_cast<std::size_t>(length)) ? 1 : 0;
}

FAKE_EXPORT int GetInputReport(void* handle, void* buffer, int length) {
  return handle && length > 0 && device(handle)->getInputReport(buffer, static_cast<std::size_t>(length)) ? 1 : 0;
}

FAKE_EXPORT int GetProductString(void* handle, std::uint16_t* buffer, int characters) {
  if (!handle || !buffer || characters <= 0) return 0;
  static const char16_t kName[] = u"Varire Voror";
  const std::size_t n = std::min<std::size_t>(sizeof kName / 2, static_cast<std::size_t>(characters));
  std::copy_n(kName, n, buffer);
  buffer[n - 1] = 0;
  return 1;
}

FAKE_EXPORT int GetVersionNumber(void* handle, std::uint16_t* version) {
  if (!handle || !version) return 0;
  *version = 0x0100;
  return 1;
}

#else

FAKE_EXPORT void* OpenHidDevice(int, int, const std::uint16_t*, int, int, int, int, int) {
  return static_cast<platform::Handle>(openDevice());
}

#endif
