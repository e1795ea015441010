// A kbsim with one Q350RGB (keyboard 0) and a CUSBDriver on it through the
// built libPallomar.so; the configuration comes from the shipped data files
// in a private program folder, the log goes to a capture, and windows are
// a recording stand-in.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "lumera/device/usb_driver.h"
#include "lumera/model/log.h"
#include "platform/paths.h"
#include "tests/lumera/model/model_test_util.h"
#include "tests/q350config/device/device_test_util.h"
#include "tests/sim/sim_fixture.h"
#include "tests/support/test_env.h"

namespace lumeratest {

using Bytes = std::vector<std::uint8_t>;

// Hex literals and the posted-message record of the Q350 device tests.
using q350test::hexBytes;
using q350test::Posted;

// The main window (1) and, once shown, the progress window (2) titled
// "MyProgressDlg..". Posts are recorded.
class WindowsStandIn final : public platform::WindowMessenger {
 public:
  static constexpr platform::WindowHandle kMain = 1;
  static constexpr platform::WindowHandle kProgress = 2;

  platform::WindowHandle findWindow(std::u16string_view title) override {
    std::lock_guard<std::mutex> lock(mutex_);
    ++searches_;
    return progressShown && platform::equalsNoCase(title, u"MyProgressDlg..") ? kProgress : 0;
  }
  bool postMessage(platform::WindowHandle window, unsigned message, platform::WPARAM w, platform::LPARAM) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!exists(window)) return false;
    posted_.push_back({window, message, w});
    changed_.notify_all();
    return true;
  }
  bool isWindow(platform::WindowHandle window) override {
    std::lock_guard<std::mutex> lock(mutex_);
    return exists(window);
  }

  std::vector<Posted> posted() {
    std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
  }
  std::vector<Posted> postedTo(platform::WindowHandle window) {
    std::vector<Posted> out;
    for (const Posted& p : posted())
      if (p.window == window) out.push_back(p);
    return out;
  }
  int searches() {
    std::lock_guard<std::mutex> lock(mutex_);
    return searches_;
  }
  // Waits until `count` messages have been posted to `window` (false after 20 s).
  bool waitFor(platform::WindowHandle window, std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(20), [&] {
      return static_cast<std::size_t>(std::count_if(posted_.begin(), posted_.end(), [&](const Posted& p) {
               return p.window == window;
             })) >= count;
    });
  }

  bool progressShown = true;  // set before the worker starts

 private:
  bool exists(platform::WindowHandle w) const { return w == kMain || (w == kProgress && progressShown); }
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Posted> posted_;
  int searches_ = 0;
};

class LumeraSimTest : public testsupport::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    for (const char* f : {"cfg.ini", "Led.ini", "LedUK.ini"})
      ASSERT_TRUE(platform::writeFileAtomic(programDir.file(f), testsupport::readAll(
                                                                     testsupport::sourceDir() + "/data/lumera/" + f)));
    config.load(programDir.path(), false);
    ASSERT_EQ(config.options().VID, 0x24AE);
    ASSERT_EQ(config.options().PID, 0x4018);
    lumera::theLog().setup(1);  // to the debugger output, which `debug` captures
  }
  void TearDown() override {
    lumera::theLog().setup(0);
    SimFixture::TearDown();
  }

  bool loadAndFind() { return driver.LoadDriver(WindowsStandIn::kMain, windows, KAVRO_PALLOMAR_PATH) && driver.FindDev(); }

  // Frames the host sent since transcript line `from`, on `interfaceNumber`
  // (-1: any).
  std::vector<Bytes> framesSince(std::size_t from, int interfaceNumber = -1) {
    std::vector<Bytes> out;
    for (const sim::TranscriptLine& l : sim.transcript(from))
      if (l.out && (interfaceNumber < 0 || l.interfaceNumber == interfaceNumber)) out.push_back(l.bytes);
    return out;
  }
  // `size` bytes of the keyboard's memory from `address`.
  Bytes memory(std::size_t address, std::size_t size) {
    Bytes all;
    EXPECT_TRUE(sim.control().dump(0, all));
    if (all.size() < address + size) return {};
    return Bytes(all.begin() + static_cast<std::ptrdiff_t>(address),
                 all.begin() + static_cast<std::ptrdiff_t>(address + size));
  }
  // A one-shot answer of the keyboard to the next get-feature of `reportId`.
  void forceReply(unsigned reportId, const std::string& hexSpaced) {
    std::string hex = hexSpaced;
    hex.erase(std::remove(hex.begin(), hex.end(), ' '), hex.end());
    ASSERT_TRUE(sim.control().command("fault 0 reply " + std::to_string(reportId) + " " + hex))
        << sim.control().lastError();
  }

  lumera::test::DebugCapture debug;
  lumera::test::MessageCapture messages;
  testsupport::TempDir programDir;
  lumera::LumeraConfig config;
  WindowsStandIn windows;
  lumera::CUSBDriver driver{config};
};

}  // namespace lumeratest
