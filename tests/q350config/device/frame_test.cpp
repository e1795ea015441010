// Frames, colour percentages and the macro encoder, byte for byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "q350config/device/frame.h"
#include "q350config/device/macro_encoder.h"
#include "tests/q350config/device/device_test_util.h"

using namespace q350;
using q350test::hexBytes;

namespace {

TEST(Q350Frame, HeaderChecksumAndPadding) {
  // A read of the firmware version: 3 + 2 + 12 = 17.
  const Frame version = buildFrame(kCmdMemoryRead, 2, 0x000C);
  EXPECT_EQ(std::vector<std::uint8_t>(version.begin(), version.end()),
            hexBytes("04 11 00 03 02 0c 00 00", 64));

  // 61 bytes of 0xFF from offset 3 on: 61 x 255 = 0x3CC3, which no frame
  // can exceed; offsets 0..2 are not summed.
  Frame full;
  full.fill(0xFF);
  EXPECT_EQ(frameChecksum(full), 0x3CC3);

  // Data longer than a frame is cut at 56 bytes, never written past it.
  const std::vector<std::uint8_t> long_(100, 0x01);
  const Frame cut = buildFrame(kCmdMemoryWrite, 56, 0x0380, long_.data(), long_.size());
  EXPECT_EQ(cut[63], 0x01);
  EXPECT_EQ(frameChecksum(cut), 4 + 56 + 0x80 + 0x03 + 56);
}

TEST(Q350Frame, ColourPercentages) {
  struct Case {
    std::uint32_t colour;
    std::vector<std::uint8_t> bytes;  // red, green, blue
  };
  const Case cases[] = {
      {rgb(0x00, 0x80, 0xFF), {0x00, 0x32, 0x64}},
      {rgb(255, 128, 1), {100, 50, 0}},
      {rgb(3, 254, 0), {1, 99, 0}},   // 3/255 = 1.18 %, 254/255 = 99.6 %: truncated
      {0xFF000000u, {0, 0, 0}},       // the top byte is not a channel
  };
  for (const Case& c : cases) {
    const auto p = colourPercentages(c.colour);
    EXPECT_EQ(std::vector<std::uint8_t>(p.begin(), p.end()), c.bytes) << std::hex << c.colour;
  }
}

StoredMacro macroOf(std::vector<std::uint32_t> events) {
  StoredMacro m;
  m.size = static_cast<std::uint32_t>(104 + 4 * events.size());
  m.count = static_cast<std::uint32_t>(events.size());
  for (std::size_t i = 0; i < events.size() && i < m.events.size(); ++i) m.events[i] = events[i];
  return m;
}

std::vector<std::uint8_t> head(const DeviceMacro& d, std::size_t n) { return {d.bytes.begin(), d.bytes.begin() + n}; }

TEST(Q350MacroEncoder, Examples) {
  struct Case {
    const char* what;
    std::vector<std::uint32_t> events;
    std::string bytes;  // the start of the buffer
    std::size_t entries;
  };
  const std::uint32_t pressA = makeEvent(kEventPress, 0x41), releaseA = makeEvent(kEventRelease, 0x41);
  const Case cases[] = {
      {"press, 100 ms, release", {pressA, makeEvent(kEventDelay, 100), releaseA}, "02 00 00 00 05 a0 04 00 20 04", 2},
      {"81,900 ms: the longest delay, 0xFFF units", {pressA, makeEvent(kEventDelay, 81900)}, "01 00 00 00 ff af 04", 1},
      {"82,000 ms is sent as the longest delay, not wrapped to 80 ms", {pressA, makeEvent(kEventDelay, 82000)},
       "01 00 00 00 ff af 04", 1},
      {"327,670 ms, the editor's longest, likewise", {pressA, makeEvent(kEventDelay, 327670)}, "01 00 00 00 ff af 04", 1},
      {"a delay's bits 8..11 join the flags", {releaseA, makeEvent(kEventDelay, 20 * 0x345)}, "01 00 00 00 45 23 04", 1},
      // Modifiers are bits in HID order: left Control bit 0, left Shift bit 1.
      {"left Ctrl press and release", {makeEvent(kEventPress, 0xA2), makeEvent(kEventRelease, 0xA2)},
       "02 00 00 00 00 90 01 00 10 01", 2},
      {"left Shift press", {makeEvent(kEventPress, 0xA0)}, "01 00 00 00 00 90 02", 1},
      {"right GUI is bit 7", {makeEvent(kEventPress, 0x5C)}, "01 00 00 00 00 90 80", 1},
      {"Enter is 0x28, never numeric Enter", {makeEvent(kEventPress, 0x0D)}, "01 00 00 00 00 a0 28", 1},
      {"mouse button", {makeEvent(kEventPress, 0x01)}, "01 00 00 00 00 a0 f0", 1},
      {"a leading delay has no entry to go to", {makeEvent(kEventDelay, 500), pressA}, "01 00 00 00 00 a0 04", 1},
      {"a second delay in a row replaces the first",
       {pressA, makeEvent(kEventDelay, 20 * 0x100), makeEvent(kEventDelay, 20 * 0x207)}, "01 00 00 00 07 a2 04", 1},
      {"a short second delay clears the first one's high bits",
       {pressA, makeEvent(kEventDelay, 20 * 0x3FF), makeEvent(kEventDelay, 40)}, "01 00 00 00 02 a0 04", 1},
      {"an unknown kind takes an empty entry that does not count",
       {0x12345678, pressA, makeEvent(kEventDelay, 40)}, "01 00 00 00 00 00 00 02 a0 04", 2},
      {"a delay after an empty entry sets only its delay byte", {0x12345678, makeEvent(kEventDelay, 20 * 0x310)},
       "00 00 00 00 10 00 00", 1},
  };
  for (const Case& c : cases) {
    DeviceMacro d;
    ASSERT_TRUE(EncodeMacro(macroOf(c.events), d)) << c.what;
    const std::vector<std::uint8_t> want = hexBytes(c.bytes);
    EXPECT_EQ(head(d, want.size()), want) << c.what;
    EXPECT_EQ(d.entries, c.entries) << c.what;
  }
}

TEST(Q350MacroEncoder, UnusableMacros) {
  DeviceMacro d;
  StoredMacro empty = macroOf({makeEvent(kEventPress, 0x41)});
  empty.size = 0;
  EXPECT_FALSE(EncodeMacro(empty, d)) << "size 0 means no macro";
  // Print Screen's virtual key 0x2C is in the table, 0x07 and 0xFF are not;
  // a key outside the table spoils the whole macro.
  EXPECT_TRUE(EncodeMacro(macroOf({makeEvent(kEventPress, 0x2C)}), d));
  EXPECT_FALSE(EncodeMacro(macroOf({makeEvent(kEventPress, 0x41), makeEvent(kEventRelease, 0x07)}), d));
  EXPECT_EQ(d.entries, 0u);
  EXPECT_EQ(head(d, 8), std::vector<std::uint8_t>(8, 0)) << "nothing of the half-encoded macro is left";
  EXPECT_FALSE(EncodeMacro(macroOf({makeEvent(kEventPress, 0x141)}), d)) << "only the full value matches";
}

TEST(Q350MacroEncoder, StopsAtTheEndOfTheBuffer) {
  // 1000 events (and a count that claims more) fill 84 entries and stop
  // there; the last byte of the buffer is the last entry's code.
  StoredMacro m;
  m.size = 4104;
  m.count = 0xFFFFFFFF;
  for (std::size_t i = 0; i < m.events.size(); ++i) m.events[i] = makeEvent(i % 2 ? kEventRelease : kEventPress, 0x42);
  DeviceMacro d;
  ASSERT_TRUE(EncodeMacro(m, d));
  EXPECT_EQ(d.entries, DeviceMacro::kMaxEntries);
  EXPECT_EQ(d.keys, 84u);
  EXPECT_EQ(head(d, 2), hexBytes("54 00"));
  EXPECT_EQ(d.bytes[255], 0x05);
  EXPECT_EQ(d.bytes[254], kFlagsRelease);

  // An unknown key after the 84th entry is never looked at.
  m.events[84] = makeEvent(kEventPress, 0x07);
  EXPECT_TRUE(EncodeMacro(m, d));
  m.events[83] = makeEvent(kEventPress, 0x07);
  EXPECT_FALSE(EncodeMacro(m, d));
}

}  // namespace
