// The handle object behind every open HID interface, and its shell pool.
#include <cerrno>
#include <deque>
#include <mutex>

#include "platform/hid/channel.h"

namespace platform::detail {

namespace {

class HidHandle;

// Closed shells wait here; only the older ones are handed out again.
constexpr std::size_t kKeepBack = 16;

std::mutex& poolMutex() {
  static std::mutex m;
  return m;
}

// Deliberately never destroyed: shells live as long as the process.
std::deque<HidHandle*>& pool() {
  static auto* p = new std::deque<HidHandle*>;
  return *p;
}

class HidHandle final : public KernelObject {
 public:
  void reset(std::shared_ptr<Channel> channel, const HidInterfaceInfo& info, const HidOpenOptions& options) {
    std::lock_guard<std::mutex> lock(mutex_);
    channel_ = std::move(channel);
    info_ = info;
    readMs_ = options.readTimeoutMs;
    transferMs_ = options.transferTimeoutMs;
  }

  bool close() override {
    std::shared_ptr<Channel> channel;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      channel.swap(channel_);
    }
    if (!channel) {
      errno = EBADF;
      return false;
    }
    channel->cancel();
    channel.reset();
    std::lock_guard<std::mutex> lock(poolMutex());
    pool().push_back(this);
    return true;
  }

  bool write(const void* data, std::size_t size, std::size_t* written) override {
    if (written) *written = 0;
    return with(data, size, [&](Channel& c, unsigned, unsigned transferMs) {
      std::size_t n = 0;
      const bool ok = c.write(static_cast<const std::uint8_t*>(data), size, &n, transferMs);
      if (written) *written = n;
      return ok;
    });
  }

  bool read(void* data, std::size_t size, std::size_t* got) override {
    if (got) *got = 0;
    return with(data, size, [&](Channel& c, unsigned readMs, unsigned) {
      std::size_t n = 0;
      const bool ok = c.read(static_cast<std::uint8_t*>(data), size, &n, readMs);
      if (got) *got = n;
      return ok;
    });
  }

  bool setFeature(const void* data, std::size_t size) override {
    return with(data, size, [&](Channel& c, unsigned, unsigned transferMs) {
      return c.setFeature(static_cast<const std::uint8_t*>(data), size, transferMs);
    });
  }

  bool getFeature(void* data, std::size_t size) override {
    return with(data, size, [&](Channel& c, unsigned, unsigned transferMs) {
      return c.getFeature(static_cast<std::uint8_t*>(data), size, transferMs);
    });
  }

  bool getInputReport(void* data, std::size_t size) override {
    return with(data, size, [&](Channel& c, unsigned, unsigned transferMs) {
      return c.getInputReport(static_cast<std::uint8_t*>(data), size, transferMs);
    });
  }

  bool describe(HidInterfaceInfo& info) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!channel_) {
      errno = EBADF;
      return false;
    }
    info = info_;
    return true;
  }

  void setTimeouts(unsigned readMs, unsigned transferMs) override {
    std::lock_guard<std::mutex> lock(mutex_);
    readMs_ = readMs;
    transferMs_ = transferMs;
  }

 private:
  // Runs one transfer on the channel as it is now. The lock is held only to
  // take a reference, so a close on another thread never waits for a slow
  // device and never frees the channel under a running transfer.
  template <typename F>
  bool with(const void* data, std::size_t size, F&& f) {
    std::shared_ptr<Channel> channel;
    unsigned readMs = 0, transferMs = 0;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      channel = channel_;
      readMs = readMs_;
      transferMs = transferMs_;
    }
    if (!channel) {
      errno = EBADF;
      return false;
    }
    if (!data || size == 0) {
      errno = EINVAL;
      return false;
    }
    return f(*channel, readMs, transferMs);
  }

  std::mutex mutex_;
  std::shared_ptr<Channel> channel_;
  HidInterfaceInfo info_;
  unsigned readMs_ = 1000;
  unsigned transferMs_ = 5000;
};

}  // namespace

Handle makeHidHandle(std::shared_ptr<Channel> channel, const HidInterfaceInfo& info, const HidOpenOptions& options) {
  HidHandle* h = nullptr;
  {
    std::lock_guard<std::mutex> lock(poolMutex());
    if (pool().size() > kKeepBack) {
      h = pool().front();
      pool().pop_front();
    }
  }
  if (!h) h = new HidHandle;
  h->reset(std::move(channel), info, options);
  return h;
}

}  // namespace platform::detail
