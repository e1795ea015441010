// libQuillfen.so loaded the way the Q350 program loads it, against kbsim.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "outside/quillfen/quillfen.h"
#include "platform/hid/hid.h"
#include "platform/hid/module.h"
#include "platform/paths.h"
#include "tests/sim/sim_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes frame(std::uint8_t command, std::uint16_t address, const Bytes& data, std::uint8_t length) {
  Bytes f(64, 0);
  f[0] = 4;
  f[3] = command;
  f[4] = length;
  f[5] = static_cast<std::uint8_t>(address & 0xFF);
  f[6] = static_cast<std::uint8_t>(address >> 8);
  std::copy(data.begin(), data.end(), f.begin() + 8);
  unsigned sum = 0;
  for (int i = 3; i < 64; ++i) sum += f[i];
  f[1] = static_cast<std::uint8_t>(sum & 0xFF);
  f[2] = static_cast<std::uint8_t>(sum >> 8);
  return f;
}

class Quillfen : public testsupport::SimFixture {
 protected:
  std::vector<std::string> keyboards() const override { return {"q350rgb", "q350"}; }
  void SetUp() override {
    SimFixture::SetUp();
    module = platform::loadModule(KAVRO_QUILLFEN_PATH);
    ASSERT_NE(module, nullptr) << platform::moduleError();
    open = reinterpret_cast<QuillfenOpenHidDevice>(platform::moduleSymbol(module, "OpenHidDevice"));
    ASSERT_NE(open, nullptr);
  }
  void TearDown() override {
    platform::freeModule(module);
    SimFixture::TearDown();
  }

  // The program's call: usage page 0xFF1C, usage 0x92, the ids, five zeros.
  platform::Handle openKeyboard(int readTimeoutMs = 0) {
    const std::u16string ids = u"VID_24AE&PID_4011";
    return static_cast<platform::Handle>(
        open(0xFF1C, 0x92, reinterpret_cast<const uint16_t*>(ids.c_str()), 0, readTimeoutMs, 0, 0, 0));
  }

  platform::ModuleHandle module = nullptr;
  QuillfenOpenHidDevice open = nullptr;
};

TEST_F(Quillfen, FramesAndReplies) {
  platform::Handle h = openKeyboard();
  ASSERT_NE(h, nullptr);
  platform::HidInterfaceInfo info;
  ASSERT_TRUE(platform::hidDescribe(h, info));
  EXPECT_EQ(info.simKeyboard, 1);
  EXPECT_EQ(info.interfaceNumber, 1);
  const std::size_t mark = sim.transcriptSize();

  // Firmware version: command 3, two bytes at 0x000C; the checksum is 0x11.
  Bytes f = frame(0x03, 0x000C, {}, 2);
  EXPECT_EQ(f[1], 0x11);
  std::uint32_t n = 0;
  ASSERT_TRUE(platform::writeFile(h, f.data(), 64, &n));
  std::uint8_t reply[64] = {};
  ASSERT_TRUE(platform::readFile(h, reply, 64, &n));
  EXPECT_EQ(n, 64u);
  EXPECT_EQ(reply[8] + 10 * reply[9], 107);
  // The control byte write answers with its echo.
  const Bytes control = frame(0x04, 0x0000, {1}, 1);
  ASSERT_TRUE(platform::writeFile(h, control.data(), 64, &n));
  ASSERT_TRUE(platform::readFile(h, reply, 64, &n));
  EXPECT_EQ(Bytes(reply, reply + 64), control);
  // A zone colour lands at its address.
  ASSERT_TRUE(platform::writeFile(h, frame(0x04, 0x00C4, {0, 50, 100}, 3).data(), 64, &n));
  std::vector<std::uint8_t> memory;
  ASSERT_TRUE(sim.control().dump(1, memory));
  EXPECT_EQ(Bytes(memory.begin() + 0xC4, memory.begin() + 0xC7), (Bytes{0, 50, 100}));

  const auto lines = transcriptText(mark);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].substr(0, 32), "1 1 out 04 11 00 03 02 0c 00 00 ");
  EXPECT_EQ(lines[1].substr(0, 37), "1 1 in 04 22 00 03 02 0c 00 00 07 0a ");
  EXPECT_EQ(lines[2].substr(0, 7), "1 1 out");
  EXPECT_EQ(lines[3].substr(0, 6), "1 1 in");
  EXPECT_TRUE(platform::closeHandle(h));
}

TEST_F(Quillfen, AKeyboardThatStopsAnsweringTimesOut) {
  platform::Handle h = openKeyboard(150);
  ASSERT_NE(h, nullptr);
  ASSERT_TRUE(sim.control().mute(1, true));
  const Bytes f = frame(0x03, 0x000C, {}, 2);
  std::uint32_t n = 0;
  ASSERT_TRUE(platform::writeFile(h, f.data(), 64, &n));
  std::uint8_t reply[64];
  EXPECT_FALSE(platform::readFile(h, reply, 64, &n));
  EXPECT_EQ(errno, ETIMEDOUT);
  platform::closeHandle(h);
}

TEST_F(Quillfen, UnplugMidWriteAndRefusals) {
  platform::Handle h = openKeyboard();
  ASSERT_NE(h, nullptr);
  ASSERT_TRUE(sim.control().unplugAfter(1, 1));
  std::uint32_t n = 0;
  const Bytes f = frame(0x04, 0x0100, Bytes(56, 0x11), 56);
  EXPECT_TRUE(platform::writeFile(h, f.data(), 64, &n));
  EXPECT_FALSE(platform::writeFile(h, f.data(), 64, &n));
  EXPECT_EQ(errno, ENODEV);
  EXPECT_EQ(n, 0u);
  platform::closeHandle(h);
  EXPECT_EQ(openKeyboard(), nullptr) << "unplugged";
  const std::u16string ids = u"VID_24AE&PID_4018";
  EXPECT_EQ(open(0xFF1C, 0x92, reinterpret_cast<const uint16_t*>(ids.c_str()), 0, 0, 0, 0, 0), nullptr)
      << "the Q350RGB has no such interface";
  EXPECT_EQ(open(0xFF1C, 0x92, nullptr, 0, 0, 1, 0, 0), nullptr) << "reserved arguments must be 0";
  EXPECT_EQ(errno, EINVAL);
}

}  // namespace
