#include "lumera/device/listener.h"

#include <cerrno>
#include <cstdint>

#include "lumera/device/usb_driver.h"
#include "lumera/model/log.h"
#include "platform/clock.h"
#include "platform/hid/hid.h"

namespace lumera {

namespace {
constexpr std::uint32_t kReportSize = 5;
}

InputReportListener::InputReportListener(CUSBDriver& driver, platform::WindowMessenger& messenger,
                                         platform::WindowHandle window)
    : driver_(driver), messenger_(messenger), window_(window) {}

InputReportListener::~InputReportListener() { Stop(); }

void InputReportListener::Start() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (thread_.joinable()) return;
  stop_ = false;
  thread_ = std::thread([this] { run(); });
}

void InputReportListener::Stop() {
  {
    std::lock_guard<std::mutex> guard(mutex_);
    stop_ = true;
  }
  stopEvent_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool InputReportListener::Running() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return thread_.joinable() && !stop_;
}

bool InputReportListener::waitForStop(unsigned ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return stopEvent_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_; });
}

bool InputReportListener::stopRequested() const {
  std::lock_guard<std::mutex> guard(mutex_);
  return stop_;
}

void InputReportListener::post(const unsigned char* report) {
  const platform::WPARAM data = static_cast<platform::WPARAM>(report[1]) |
                                static_cast<platform::WPARAM>(report[2]) << 8 |
                                static_cast<platform::WPARAM>(report[3]) << 16 |
                                static_cast<platform::WPARAM>(report[4]) << 24;
  if (messenger_.isWindow(window_)) messenger_.postMessage(window_, kMsgDeviceReport, data, 0);
}

void InputReportListener::run() {
  Log("Thread Start...");
  std::uint64_t nextOpen = 0;
  while (!stopRequested()) {
    if (waitForStop(kPollMs)) break;
    if (!input_ && platform::tickCount() >= nextOpen) {
      input_ = driver_.OpenInputInterface(kReadSliceMs);
      nextOpen = platform::tickCount() + kReopenMs;
    }
    if (!input_) continue;  // the read fails at once; try again

    unsigned char report[kReportSize] = {kListenerReportId, 0, 0, 0, 0};
    std::uint32_t got = 0;
    // A report already queued completes the read at once.
    platform::setHandleTimeouts(input_, 0, platform::HidOpenOptions{}.transferTimeoutMs);
    bool ok = platform::readFile(input_, report, kReportSize, &got);
    bool atOnce = ok;
    if (!ok && errno == ETIMEDOUT) {
      // Pending: wait for a report or the stop request.
      platform::setHandleTimeouts(input_, kReadSliceMs, platform::HidOpenOptions{}.transferTimeoutMs);
      while (!ok && errno == ETIMEDOUT && !stopRequested()) {
        report[0] = kListenerReportId;
        ok = platform::readFile(input_, report, kReportSize, &got);
      }
      if (!ok && stopRequested()) {
        Log("hObject[1] is signal");
        continue;
      }
    }
    if (!ok) {
      // The interface went away (unplugged, closed): open it again later.
      platform::closeHandle(input_);
      input_ = nullptr;
      continue;
    }
    if (got < kReportSize || report[0] != kListenerReportId) continue;
    Log(atOnce ? "2 Buffer= %x %x %x %x, NumberOfBytesRead=%d" : "Buffer= %x %x %x %x, NumberOfBytesRead=%d",
        report[1], report[2], report[3], report[4], got);
    post(report);
  }
  if (input_) platform::closeHandle(input_);
  input_ = nullptr;
  Log("Thread exit!\n");
}

}  // namespace lumera
