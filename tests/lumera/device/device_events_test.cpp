// Device arrival and removal, the input-report listener, and handles closed
// and reopened while another thread transfers.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "lumera/device/device_change.h"
#include "lumera/device/listener.h"
#include "platform/hid/hid.h"
#include "tests/lumera/device/lumera_sim_fixture.h"

using namespace lumera;
using lumeratest::Bytes;
using lumeratest::hexBytes;
using lumeratest::Posted;
using lumeratest::WindowsStandIn;

namespace {

class LumeraDeviceEvents : public lumeratest::LumeraSimTest {
 protected:
  int countLines(const std::string& part) {
    int n = 0;
    for (const std::string& l : debug.lines()) n += l.find(part) != std::string::npos;
    return n;
  }
};

TEST_F(LumeraDeviceEvents, RemovalRunsItsStepsInOrderAndOnlyForTheKeyboard) {
  ASSERT_TRUE(loadAndFind());
  DeviceChangeHandler handler(driver);
  std::vector<std::string> steps;
  handler.SetRemovalSteps({[&] { steps.push_back(driver.IsOpen() ? "message (open)" : "message (closed)"); },
                           [&] { steps.push_back(driver.IsOpen() ? "pop-ups (open)" : "pop-ups (closed)"); },
                           [&] { steps.push_back("close main"); }});

  // Other devices, and the keyboard's HID interfaces, are not the keyboard's
  // USB device interface; unknown events do nothing either.
  const std::string mouse = platform::usbDeviceInterfaceName(0x046D, 0xC52B, "5&1");
  const std::string hid = platform::hidInterfacePath(0x24AE, 0x4018, 1, -1, "kbsim&0&1");
  EXPECT_EQ(handler.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, mouse), 0);
  EXPECT_EQ(handler.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, hid), 0);
  EXPECT_EQ(handler.OnDeviceChange(0x8001, platform::usbDeviceInterfaceName(0x24AE, 0x4018, "kbsim&0")), 0);
  EXPECT_TRUE(steps.empty());
  EXPECT_TRUE(driver.IsOpen());
  EXPECT_EQ(countLines("Device OUT"), 0);

  // Upper or lower case: the ids match either way.
  std::string name = platform::usbDeviceInterfaceName(0x24AE, 0x4018, "kbsim&0");
  for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  EXPECT_TRUE(handler.Matches(name));
  EXPECT_EQ(handler.OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, name), 0);
  EXPECT_EQ(steps, (std::vector<std::string>{"message (open)", "pop-ups (closed)", "close main"}));
  EXPECT_EQ(countLines("Device OUT"), 1);
  EXPECT_FALSE(driver.IsOpen());
}

TEST_F(LumeraDeviceEvents, ArrivalReopensTheKeyboard) {
  ASSERT_TRUE(loadAndFind());
  DeviceChangeHandler handler(driver);
  platform::DeviceNotification n;
  n.arrival = true;
  n.interfaceClass = platform::kUsbDeviceInterfaceClass;
  n.name = platform::usbDeviceInterfaceName(0x24AE, 0x4018, "kbsim&0");

  // Pulled out: three tries of FindDev, none succeeds, the device stays closed.
  ASSERT_TRUE(sim.control().unplug(0));
  const int searches = countLines("FindDev: looking for");
  handler.OnDeviceChange(n);
  EXPECT_EQ(countLines("Device IN"), 1);
  EXPECT_EQ(countLines("FindDev: looking for") - searches, kArrivalTries);
  EXPECT_FALSE(driver.IsOpen());
  EXPECT_FALSE(driver.SetConfigMode(true));

  // Back in: the first try opens both handles again, and they work.
  ASSERT_TRUE(sim.control().replug(0));
  handler.OnDeviceChange(n);
  EXPECT_EQ(countLines("FindDev: looking for") - searches, kArrivalTries + 1);
  EXPECT_TRUE(driver.IsOpen());
  const std::size_t mark = sim.transcriptSize();
  EXPECT_TRUE(driver.SetConfigMode(true));
  Bytes block(kProfileBlockSize);
  EXPECT_TRUE(driver.GetProfile(block.data()));
  EXPECT_EQ(framesSince(mark, 1).size(), 1u);
  EXPECT_EQ(framesSince(mark, 2).size(), 1u);
}

TEST_F(LumeraDeviceEvents, ListenerPostsKeyboardReportsWithPop) {
  config.options().Pop = 1;
  ASSERT_TRUE(loadAndFind());
  ASSERT_TRUE(driver.ListenerRunning());
  // The listener opens its interface on its own time; reports sent before
  // that are not its to see, so keep sending until one arrives. A report
  // with another id is never posted.
  ASSERT_TRUE(testsupport::eventually(
      [&] {
        sim.control().inject(0, 2, hexBytes("08 aa bb cc dd"));
        sim.control().inject(0, 2, hexBytes("07 11 22 33 44"));
        return !windows.posted().empty();
      },
      10000));
  const auto posted = windows.posted();
  for (const Posted& p : posted) EXPECT_EQ(p, (Posted{WindowsStandIn::kMain, kMsgDeviceReport, 0x44332211u}));
  EXPECT_TRUE(debug.contains("Thread Start..."));
  EXPECT_TRUE(debug.contains("Buffer= 11 22 33 44, NumberOfBytesRead=5"));

  driver.StopListener();
  EXPECT_FALSE(driver.ListenerRunning());
  EXPECT_TRUE(debug.contains("Thread exit!"));
}

TEST_F(LumeraDeviceEvents, NoListenerWithoutPop) {
  ASSERT_TRUE(loadAndFind());
  EXPECT_FALSE(driver.ListenerRunning());
  // Interface 2 is the one a listener would read.
  platform::Handle reader = driver.OpenInputInterface(1000);
  ASSERT_NE(reader, nullptr);
  ASSERT_TRUE(sim.control().inject(0, 2, hexBytes("07 11 22 33 44")));
  std::uint8_t report[5] = {7};
  std::uint32_t got = 0;
  ASSERT_TRUE(platform::readFile(reader, report, sizeof report, &got)) << "the report was sent";
  platform::closeHandle(reader);
  EXPECT_TRUE(windows.posted().empty());
  EXPECT_FALSE(debug.contains("Thread Start..."));
}

// A transfer thread against ClearHandle and FindDev on another: every
// transfer either reaches the keyboard whole or fails; the lock keeps a
// closed handle from being used (the thread sanitizer checks the rest).
TEST_F(LumeraDeviceEvents, TransfersRaceWithClosingAndReopening) {
  ASSERT_TRUE(loadAndFind());
  std::atomic<bool> done{false};
  std::atomic<int> sent{0}, failed{0};
  std::thread sender([&] {
    while (!done) (driver.SetConfigMode(true) ? sent : failed)++;
  });
  for (int i = 0; i < 5; ++i) {
    platform::sleepMs(30);
    driver.ClearHandle();
    platform::sleepMs(30);
    EXPECT_TRUE(driver.FindDev());
  }
  done = true;
  sender.join();
  EXPECT_GT(sent.load(), 0);
  const auto frames = framesSince(0);
  EXPECT_EQ(frames.size(), static_cast<std::size_t>(sent.load()));
  for (const auto& f : frames) EXPECT_EQ(f, hexBytes("06 05 77", 9));
}

}  // namespace
