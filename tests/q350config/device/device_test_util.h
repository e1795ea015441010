// Shared pieces of the Q350 device tests: hex literals, a message recorder
// standing in for the windows, and a kbsim with a Q350 behind the driver.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/ui/window_messages.h"

namespace q350test {

// "04 11 00" -> bytes, zero-padded to `size` when given.
inline std::vector<std::uint8_t> hexBytes(const std::string& text, std::size_t size = 0) {
  std::vector<std::uint8_t> out;
  std::istringstream in(text);
  std::string pair;
  while (in >> pair) out.push_back(static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16)));
  if (out.size() < size) out.resize(size, 0);
  return out;
}

struct Posted {
  platform::WindowHandle window;
  unsigned message;
  platform::WPARAM wParam;
  bool operator==(const Posted& o) const {
    return window == o.window && message == o.message && wParam == o.wParam;
  }
};

inline std::ostream& operator<<(std::ostream& os, const Posted& p) {
  return os << "{" << p.window << ", " << p.message << ", " << p.wParam << "}";
}

// Records what the write thread posts; windows 1 (main) and 2 (progress)
// exist unless told otherwise.
class RecordingMessenger final : public platform::WindowMessenger {
 public:
  static constexpr platform::WindowHandle kMain = 1;
  static constexpr platform::WindowHandle kProgress = 2;

  platform::WindowHandle findWindow(std::u16string_view) override { return 0; }
  bool postMessage(platform::WindowHandle window, unsigned message, platform::WPARAM w, platform::LPARAM) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back({window, message, w});
    changed_.notify_all();
    return true;
  }
  bool isWindow(platform::WindowHandle window) override { return window == kProgress || (window == kMain && mainExists); }

  std::vector<Posted> posted() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
  }
  // Waits until `message` has been posted to `window` (false after 20 s).
  bool waitFor(platform::WindowHandle window, unsigned message) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] {
      for (const Posted& p : posted_)
        if (p.window == window && p.message == message) return true;
      return false;
    });
  }

  bool mainExists = true;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Posted> posted_;
};

}  // namespace q350test
