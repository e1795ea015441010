// CUSBDriver and the command set against a simulated Q350: every frame as
// the keyboard's transcript shows it, and what lands in its memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/text.h"
#include "q350config/device/usb_driver.h"
#include "tests/q350config/device/device_test_util.h"
#include "tests/q350config/device/q350_sim_fixture.h"

using namespace q350;
using q350test::hexBytes;
using Bytes = std::vector<std::uint8_t>;

namespace {

using Q350Driver = q350test::Q350SimTest;

TEST_F(Q350Driver, SingleFrameCommands) {
  struct Case {
    const char* what;
    std::function<bool(CUSBDriver&)> run;
    std::string frame;
  };
  const Case cases[] = {
      {"write start", [](CUSBDriver& d) { return d.BeginWrite(); }, "04 01 00 01"},
      {"write end", [](CUSBDriver& d) { return d.EndWrite(); }, "04 02 00 02"},
      {"control byte", [](CUSBDriver& d) { return d.WriteControlByte(); }, "04 06 00 04 01 00 00 00 01"},
      {"lighting switch", [](CUSBDriver& d) { return d.WriteByte(0x00C9, 255); }, "04 cd 01 04 01 c9 00 00 ff"},
      {"zone 6", [](CUSBDriver& d) { return d.WriteZoneColour(6, rgb(0x00, 0x80, 0xFF)); },
       "04 61 01 04 03 c4 00 00 00 32 64"},
      {"common colour", [](CUSBDriver& d) { return d.WriteCommonColour(rgb(255, 128, 1)); },
       "04 4c 01 04 03 af 00 00 64 32"},
      {"macro slot addresses", [](CUSBDriver& d) { return d.WriteMacroTable(); },
       "04 9b 03 04 38 90 09 00 10 0a 10 0b 10 0c 10 0d 10 0e 10 0f 10 10 10 11 10 12 10 13 10 14 10 15 10 16 10 "
       "17 10 18 10 19 10 1a 10 1b 10 1c 10 1d"},
  };
  for (const Case& c : cases) {
    const std::size_t mark = sim.transcriptSize();
    EXPECT_TRUE(c.run(driver)) << c.what;
    const auto frames = framesSince(mark);
    ASSERT_EQ(frames.size(), 1u) << c.what;
    EXPECT_EQ(frames[0], hexBytes(c.frame, 64)) << c.what;
  }
  EXPECT_EQ(memory(0x00C4, 3), (Bytes{0x00, 0x32, 0x64}));
  EXPECT_EQ(memory(0x00AF, 3), (Bytes{100, 50, 0}));
  EXPECT_EQ(memory(0x0990, 4), (Bytes{0x10, 0x0A, 0x10, 0x0B}));
  EXPECT_TRUE(pauses.empty()) << "single frames are not paced by the driver";
}

TEST_F(Q350Driver, FirmwareVersionSkipsStaleReports) {
  const std::size_t mark = sim.transcriptSize();
  EXPECT_EQ(driver.ReadFirmwareVersion(), 107u);
  EXPECT_EQ(framesSince(mark).front(), hexBytes("04 11 00 03 02 0c 00 00", 64));
  ASSERT_TRUE(sim.control().setFirmware(0, 123));
  // An answer that came too late for an earlier request waits in the queue;
  // the version must come from the answer to its own request.
  ASSERT_TRUE(sim.control().inject(0, 1, hexBytes("04 00 00 03 02 0c 00 00 09 09", 64)));
  ASSERT_TRUE(testsupport::eventually([&] { return sim.transcript(mark).size() >= 3; }));
  EXPECT_EQ(driver.ReadFirmwareVersion(), 123u);
}

TEST_F(Q350Driver, MacroSlotAndKeyTable) {
  // A macro slot: write start, 56 bytes at 0x0A10 + 0x100 x slot, 56 more,
  // write end, a 30 ms pause after each data frame.
  Bytes data(112);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i + 1);
  std::size_t mark = sim.transcriptSize();
  EXPECT_EQ(driver.WriteMacroSlot(3, data.data()), 1);
  auto frames = framesSince(mark);
  ASSERT_EQ(frames.size(), 4u);
  EXPECT_EQ(frames[0], hexBytes("04 01 00 01", 64));
  EXPECT_EQ(Bytes(frames[1].begin() + 3, frames[1].begin() + 9), hexBytes("04 38 10 0d 00 01"));
  EXPECT_EQ(Bytes(frames[2].begin() + 3, frames[2].begin() + 9), hexBytes("04 38 48 0d 00 39"));
  EXPECT_EQ(frames[3], hexBytes("04 02 00 02", 64));
  EXPECT_EQ(memory(0x0D10, 112), data);
  EXPECT_EQ(pauses, (std::vector<unsigned>{30, 30}));

  mark = sim.transcriptSize();
  EXPECT_EQ(driver.WriteMacroSlot(51, data.data()), 0);
  EXPECT_EQ(driver.WriteMacroSlot(50, nullptr), 0);
  EXPECT_EQ(driver.WriteKeyMap(3, KeyMap{}), 0);
  EXPECT_TRUE(framesSince(mark).empty()) << "refused before sending anything";

  // A macro: encoded, the first 112 bytes sent; the entry count returned.
  StoredMacro m;
  m.size = 116;
  m.count = 3;
  m.events[0] = makeEvent(kEventPress, 0x41);
  m.events[1] = makeEvent(kEventDelay, 100);
  m.events[2] = makeEvent(kEventRelease, 0x41);
  EXPECT_EQ(driver.WriteMacro(19, m), 2);
  EXPECT_EQ(memory(0x0A10 + 19 * 0x100, 112), hexBytes("02 00 00 00 05 a0 04 00 20 04", 112));
  m.events[2] = makeEvent(kEventRelease, 0x07);
  mark = sim.transcriptSize();
  EXPECT_EQ(driver.WriteMacro(19, m), 0);
  EXPECT_TRUE(framesSince(mark).empty()) << "an unusable macro is not sent";

  // The key table: nine frames at 0x0380 + 56 k; 480 bytes of entries and 24
  // zero bytes over whatever the rest of the bank held.
  ASSERT_TRUE(driver.WriteFrame(buildFrame(kCmdMemoryWrite, 24, 0x0380 + 480, Bytes(24, 0xEE).data(), 24)));
  KeyMap map{};
  for (std::size_t i = 0; i < map.size(); ++i) map[i] = 0x01000000u * static_cast<std::uint32_t>(i) + 0x00040201u;
  pauses.clear();
  mark = sim.transcriptSize();
  EXPECT_EQ(driver.WriteKeyMap(1, map), 1);
  frames = framesSince(mark);
  ASSERT_EQ(frames.size(), 11u);
  EXPECT_EQ(frames.front(), hexBytes("04 01 00 01", 64));
  EXPECT_EQ(frames.back(), hexBytes("04 02 00 02", 64));
  for (std::size_t k = 0; k < 9; ++k) {
    const unsigned address = 0x0380 + 56 * k;
    EXPECT_EQ(frames[1 + k][3], 0x04);
    EXPECT_EQ(frames[1 + k][4], 56);
    EXPECT_EQ(frames[1 + k][5] | frames[1 + k][6] << 8, static_cast<int>(address)) << k;
  }
  EXPECT_EQ(Bytes(frames[1].begin() + 8, frames[1].begin() + 16), hexBytes("01 02 04 00 01 02 04 01"));
  EXPECT_EQ(pauses, std::vector<unsigned>(9, 30));
  const Bytes bank = memory(0x0380, 504);
  EXPECT_EQ(Bytes(bank.begin() + 476, bank.begin() + 480), hexBytes("01 02 04 77"));
  EXPECT_EQ(Bytes(bank.begin() + 480, bank.end()), Bytes(24, 0));
  EXPECT_EQ(memory(0x0100, 4), Bytes(4, 0)) << "banks 0 and 2 stay untouched";
}

TEST_F(Q350Driver, FailuresEndTheOperation) {
  // A keyboard that stops answering: the write goes through, the read times
  // out and the command fails.
  ASSERT_TRUE(sim.control().mute(0, true));
  EXPECT_FALSE(driver.WriteControlByte());
  EXPECT_EQ(driver.ReadFirmwareVersion(), 0u);
  ASSERT_TRUE(sim.control().mute(0, false));

  // A failed data frame ends a multi-frame write without the write end.
  KeyMap map{};
  map.fill(0x11);
  ASSERT_TRUE(sim.control().unplugAfter(0, 3));  // start and two frames get through
  std::size_t mark = sim.transcriptSize();
  EXPECT_EQ(driver.WriteKeyMap(1, map), 0);
  auto frames = framesSince(mark);
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(frames[0][3], kCmdWriteStart);
  EXPECT_EQ(frames[2][3], kCmdMemoryWrite);
  EXPECT_FALSE(driver.BeginWrite()) << "the handle died with the unplug";

  ASSERT_TRUE(sim.control().replug(0));
  ASSERT_TRUE(driver.OpenDevice()) << "a second open replaces the dead handle";
  ASSERT_TRUE(sim.control().failNext(0, 2));  // write start and the first data frame
  const Bytes data(112, 0x5A);
  mark = sim.transcriptSize();
  EXPECT_EQ(driver.WriteMacroSlot(0, data.data()), 0);
  EXPECT_TRUE(framesSince(mark).empty());
  EXPECT_EQ(driver.WriteMacroSlot(0, data.data()), 1);
}

TEST_F(Q350Driver, PresenceAndProbe) {
  struct Case {
    const char16_t* id;
    bool present;
  };
  const Case cases[] = {
      {u"VID_24AE&PID_4011", true},
      {u"vid_24ae&pid_4011", true},             // any letter case
      {u"USB\\VID_24AE&PID_4011&REV_0100", true},  // the whole first hardware id
      {u"VID_24AE&PID_4018", false},
      {u"VID_24AE&PID_4011&REV_0200", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CUSBDriver::IsDevicePresent(c.id), c.present) << platform::toUtf8(c.id);

  std::vector<std::string> lines;
  platform::setDebugSink([](std::string_view l, void* ctx) { static_cast<std::vector<std::string>*>(ctx)->emplace_back(l); },
                         &lines);
  HidCapabilities caps;
  const bool found = CUSBDriver::ProbeHidInterface(&caps);
  ASSERT_TRUE(sim.control().unplug(0));
  ASSERT_TRUE(testsupport::eventually([] { return !CUSBDriver::IsDevicePresent(kQ350DeviceId); }));
  std::vector<std::string> afterUnplug;
  std::swap(lines, afterUnplug);
  const bool foundWithout = CUSBDriver::ProbeHidInterface(nullptr);
  platform::setDebugSink(nullptr, nullptr);

  EXPECT_TRUE(found);
  EXPECT_EQ(caps.usagePage, 0xFF1C);
  EXPECT_EQ(caps.usage, 0x92);
  // The typing interface comes first and is listed too; the search stops at
  // the configuration interface.
  ASSERT_EQ(afterUnplug.size(), 30u);
  EXPECT_EQ(afterUnplug[0], "Usage ID:                      0x06");
  EXPECT_EQ(afterUnplug[15], "Usage ID:                      0x92");
  EXPECT_EQ(afterUnplug[16], "Usage Page:                      0xFF1C");
  EXPECT_EQ(afterUnplug[17], "Input Report Byte Length:        64");
  EXPECT_EQ(afterUnplug[18], "Output Report Byte Length:       64");
  EXPECT_EQ(afterUnplug[19], "Feature Report Byte Length:      0");
  EXPECT_EQ(afterUnplug[20], "Number of Link Collection Nodes: 1");
  EXPECT_EQ(afterUnplug[29], "Number of Feature Data Indices:  0");

  EXPECT_FALSE(foundWithout);
  EXPECT_TRUE(lines.empty()) << "nothing is listed without a keyboard";
}

TEST(Q350DriverWithoutLibrary, EveryCommandFails) {
  CUSBDriver driver;
  EXPECT_EQ(driver.Init("/nonexistent/libQuillfen.so"), 0);
  EXPECT_FALSE(driver.OpenDevice());
  const Bytes data(112, 1);
  EXPECT_FALSE(driver.BeginWrite());
  EXPECT_FALSE(driver.WriteControlByte());
  EXPECT_FALSE(driver.WriteMacroTable());
  EXPECT_EQ(driver.ReadFirmwareVersion(), 0u);
  EXPECT_EQ(driver.WriteMacroSlot(0, data.data()), 0);
  EXPECT_EQ(driver.WriteKeyMap(1, KeyMap{}), 0);
}

}  // namespace
