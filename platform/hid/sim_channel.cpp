// Simulated interfaces: listing and transfers forwarded to kbsim.
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/hid/channel.h"
#include "platform/hid/sim_link.h"
#include "platform/text.h"

namespace platform::detail {

namespace {

constexpr unsigned kListTimeoutMs = 2000;

long fieldNumber(const std::map<std::string, std::string>& f, const char* key, int base, long def = 0) {
  const auto it = f.find(key);
  if (it == f.end() || it->second.empty()) return def;
  char* end = nullptr;
  const long v = std::strtol(it->second.c_str(), &end, base);
  return end && *end == 0 ? v : def;
}

class SimChannel final : public Channel {
 public:
  SimChannel(std::string socket, int keyboard, int interfaceNumber)
      : socket_(std::move(socket)), keyboard_(keyboard), interface_(interfaceNumber) {}

  // Connects and binds the session to the interface. Later reconnects (after
  // a time-out left the stream out of step) bind to the same plug-in of the
  // keyboard only: a keyboard unplugged and plugged back is a new device.
  bool open() {
    std::lock_guard<std::mutex> lock(io_);
    return reopen();
  }

  bool write(const std::uint8_t* data, std::size_t size, std::size_t* written, unsigned timeoutMs) override {
    std::string rest;
    if (!transact("write " + hexEncode(data, size), rest, timeoutMs)) return false;
    *written = static_cast<std::size_t>(std::strtoul(rest.c_str(), nullptr, 10));
    return true;
  }

  bool read(std::uint8_t* data, std::size_t size, std::size_t* got, unsigned timeoutMs) override {
    std::string rest;
    const std::string req = "read " + std::to_string(size) + " " + std::to_string(timeoutMs);
    if (!transact(req, rest, timeoutMs + kReplyMarginMs)) return false;
    *got = copyOut(rest, data, size);
    return true;
  }

  bool setFeature(const std::uint8_t* data, std::size_t size, unsigned timeoutMs) override {
    std::string rest;
    return transact("setfeature " + hexEncode(data, size), rest, timeoutMs);
  }

  bool getFeature(std::uint8_t* data, std::size_t size, unsigned timeoutMs) override {
    return getReport("getfeature ", data, size, timeoutMs);
  }

  bool getInputReport(std::uint8_t* data, std::size_t size, unsigned timeoutMs) override {
    return getReport("getinput ", data, size, timeoutMs);
  }

  void cancel() override {
    std::lock_guard<std::mutex> lock(fdMutex_);
    cancelled_ = true;
    link_.shutdown();
  }

 private:
  // A read's reply may come as late as its own time-out; the margin covers
  // the trip through the simulator.
  static constexpr unsigned kReplyMarginMs = 2000;

  static std::size_t copyOut(const std::string& hex, std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes;
    hexDecode(hex, bytes);
    const std::size_t n = bytes.size() < size ? bytes.size() : size;
    if (n) std::memcpy(data, bytes.data(), n);
    if (n < size) std::memset(data + n, 0, size - n);
    return n;
  }

  // A report asked for by id (data[0]) that lands in data.
  bool getReport(const char* verb, std::uint8_t* data, std::size_t size, unsigned timeoutMs) {
    std::string rest;
    if (!transact(verb + std::to_string(data[0]) + " " + std::to_string(size), rest, timeoutMs)) return false;
    copyOut(rest, data, size);
    return true;
  }

  // Called with io_ held.
  bool reopen() {
    {
      std::lock_guard<std::mutex> lock(fdMutex_);
      if (cancelled_) {
        errno = EBADF;
        return false;
      }
      if (!link_.connect(socket_)) {
        errno = ENODEV;  // no simulator, no device
        return false;
      }
    }
    std::string req = "open " + std::to_string(keyboard_) + " " + std::to_string(interface_);
    if (generation_ >= 0) req += " " + std::to_string(generation_);
    std::string rest;
    if (!link_.request(req, rest, kListTimeoutMs)) {
      const int e = errno;
      dropLink();
      errno = e == ETIMEDOUT || e == ECONNRESET ? ENODEV : e;
      return false;
    }
    generation_ = static_cast<int>(fieldNumber(parseFields(rest), "gen", 10, generation_));
    return true;
  }

  void dropLink() {
    std::lock_guard<std::mutex> lock(fdMutex_);
    link_.close();
  }

  bool transact(const std::string& req, std::string& rest, unsigned waitMs) {
    std::lock_guard<std::mutex> lock(io_);
    if (cancelled_) {
      errno = EBADF;
      return false;
    }
    if (!link_.connected() && !reopen()) return false;
    if (link_.request(req, rest, waitMs)) return true;
    int e = errno;
    if (e != ENODEV && e != EIO && e != EINVAL && e != EBADF) {
      // Time-out or a broken stream: the reply may still come, so this
      // connection is out of step; the next call starts a fresh one.
      dropLink();
      if (e != ETIMEDOUT) e = ENODEV;
    }
    if (cancelled_) e = EBADF;
    errno = e;
    return false;
  }

  std::mutex io_;       // one transfer at a time
  std::mutex fdMutex_;  // the socket's life versus cancel()
  std::atomic<bool> cancelled_{false};
  SimLink link_;
  const std::string socket_;
  const int keyboard_;
  const int interface_;
  int generation_ = -1;
};

bool simListing(const char* request, std::vector<std::string>& lines) {
  SimLink link;
  if (!link.connect(simSocketPath())) return false;
  return link.requestList(request, lines, kListTimeoutMs);
}

}  // namespace

std::shared_ptr<Channel> openSimChannel(const HidInterfaceInfo& info) {
  auto channel = std::make_shared<SimChannel>(simSocketPath(), info.simKeyboard, info.interfaceNumber);
  if (!channel->open()) return nullptr;
  return channel;
}

std::vector<HidInterfaceInfo> enumerateSim() {
  std::vector<HidInterfaceInfo> list;
  std::vector<std::string> lines;
  if (!simListing("interfaces", lines)) return list;
  for (const std::string& line : lines) {
    const auto f = parseFields(line);
    HidInterfaceInfo info;
    info.simulated = true;
    info.simKeyboard = static_cast<int>(fieldNumber(f, "kb", 10, -1));
    info.interfaceNumber = static_cast<int>(fieldNumber(f, "mi", 10, -1));
    if (info.simKeyboard < 0 || info.interfaceNumber < 0) continue;
    info.vendorId = static_cast<std::uint16_t>(fieldNumber(f, "vid", 16));
    info.productId = static_cast<std::uint16_t>(fieldNumber(f, "pid", 16));
    info.versionNumber = static_cast<std::uint16_t>(fieldNumber(f, "version", 16));
    info.usagePage = static_cast<std::uint16_t>(fieldNumber(f, "page", 16));
    info.usage = static_cast<std::uint16_t>(fieldNumber(f, "usage", 16));
    info.inputReportLength = static_cast<std::uint16_t>(fieldNumber(f, "in", 10));
    info.outputReportLength = static_cast<std::uint16_t>(fieldNumber(f, "out", 10));
    info.featureReportLength = static_cast<std::uint16_t>(fieldNumber(f, "feature", 10));
    info.usesReportIds = true;
    std::vector<std::uint8_t> product;
    const auto p = f.find("product");
    if (p != f.end() && hexDecode(p->second, product))
      info.productString = toUtf16(std::string(product.begin(), product.end()));
    info.node = simNode(info.simKeyboard, info.interfaceNumber);
    info.deviceKey = "kbsim&" + std::to_string(info.simKeyboard);
    info.path = hidInterfacePath(info.vendorId, info.productId, info.interfaceNumber, -1, info.node);
    list.push_back(std::move(info));
  }
  return list;
}

std::vector<std::string> simUsbHardwareIds() {
  std::vector<std::string> ids;
  std::vector<std::string> lines;
  if (!simListing("list", lines)) return ids;
  for (const std::string& line : lines) {
    const auto f = parseFields(line);
    if (fieldNumber(f, "plugged", 10) != 1) continue;
    ids.push_back(usbHardwareId(static_cast<std::uint16_t>(fieldNumber(f, "vid", 16)),
                                static_cast<std::uint16_t>(fieldNumber(f, "pid", 16)),
                                static_cast<std::uint16_t>(fieldNumber(f, "version", 16))));
  }
  return ids;
}

}  // namespace platform::detail
