// The HID layer against a kbsim child process: listing, handles, transfers,
// closing under load, unplugging and the simulator's faults.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/hid/hid.h"
#include "platform/text.h"
#include "tests/sim/sim_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class HidSim : public testsupport::SimFixture {
 protected:
  // The interface `mi` of simulated keyboard `kb`.
  platform::HidInterfaceInfo find(int kb, int mi) {
    for (const auto& i : platform::enumerateHidInterfaces())
      if (i.simKeyboard == kb && i.interfaceNumber == mi) return i;
    ADD_FAILURE() << "no interface " << kb << "/" << mi;
    return {};
  }
  platform::Handle open(int kb, int mi, unsigned readMs = 1000) {
    platform::HidOpenOptions o;
    o.readTimeoutMs = readMs;
    return platform::openHidInterface(find(kb, mi), o);
  }
};

Bytes shortFrame(std::uint8_t a, std::uint8_t b, const Bytes& tail = {}) {
  Bytes f(9, 0);
  f[0] = 6;
  f[1] = a;
  f[2] = b;
  for (std::size_t i = 0; i < tail.size() && i < 6; ++i) f[3 + i] = tail[i];
  return f;
}

// A Q350 read frame for `length` bytes at `address`, with its checksum.
Bytes readFrame(std::uint16_t address, std::uint8_t length) {
  Bytes f(64, 0);
  f[0] = 4;
  f[3] = 0x03;
  f[4] = length;
  f[5] = static_cast<std::uint8_t>(address & 0xFF);
  f[6] = static_cast<std::uint8_t>(address >> 8);
  unsigned sum = 0;
  for (int i = 3; i < 64; ++i) sum += f[i];
  f[1] = static_cast<std::uint8_t>(sum & 0xFF);
  f[2] = static_cast<std::uint8_t>(sum >> 8);
  return f;
}

TEST_F(HidSim, ListsEveryInterfaceOfTheKeyboardTheWindowsWay) {
  const auto list = platform::enumerateHidInterfaces();
  ASSERT_EQ(list.size(), 3u);
  struct Want {
    const char* path;
    std::uint16_t page, usage, in, out, feature;
  } want[] = {
      {"\\\\?\\HID#VID_24AE&PID_4018&MI_00#kbsim&0&0#{4d1e55b2-f16f-11cf-88cb-001111000030}", 0x0001, 0x0006, 9, 2, 0},
      {"\\\\?\\HID#VID_24AE&PID_4018&MI_01#kbsim&0&1#{4d1e55b2-f16f-11cf-88cb-001111000030}", 0xFF00, 0x0001, 0, 0,
       1032},
      {"\\\\?\\HID#VID_24AE&PID_4018&MI_02#kbsim&0&2#{4d1e55b2-f16f-11cf-88cb-001111000030}", 0xFF00, 0x0001, 5, 0, 6},
  };
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& got = list[i];
    EXPECT_EQ(got.path, want[i].path);
    EXPECT_EQ(got.vendorId, 0x24AE);
    EXPECT_EQ(got.productId, 0x4018);
    EXPECT_EQ(got.versionNumber, 0x0100);
    EXPECT_EQ(platform::toUtf8(got.productString), "Varire Voror");
    EXPECT_EQ(got.usagePage, want[i].page);
    EXPECT_EQ(got.usage, want[i].usage);
    EXPECT_EQ(got.inputReportLength, want[i].in);
    EXPECT_EQ(got.outputReportLength, want[i].out);
    EXPECT_EQ(got.featureReportLength, want[i].feature);
    EXPECT_EQ(got.deviceKey, list[0].deviceKey);
  }
  ASSERT_TRUE(sim.control().setVersion(0, 0x0201));
  ASSERT_TRUE(sim.control().setProduct(0, "Другое имя"));
  const auto info = find(0, 1);
  EXPECT_EQ(info.versionNumber, 0x0201);
  EXPECT_EQ(info.productString, u"Другое имя");
}

TEST_F(HidSim, FeatureRoundTripAndTranscript) {
  platform::Handle h = open(0, 1);
  ASSERT_NE(h, nullptr);
  const std::size_t mark = sim.transcriptSize();
  const Bytes good = shortFrame(0x05, 0x01);
  ASSERT_TRUE(platform::hidSetFeature(h, good.data(), good.size()));
  Bytes reply(9, 0xEE);
  reply[0] = 0;
  ASSERT_TRUE(platform::hidGetFeature(h, reply.data(), reply.size()));
  EXPECT_EQ(reply, (Bytes{0x00, 0x05, 0x01, 0x5A, 0, 0, 0, 0, 0}));

  ASSERT_TRUE(sim.control().setPassword(0, {1, 2, 3, 4, 5, 6}));
  ASSERT_TRUE(platform::hidSetFeature(h, good.data(), good.size()));
  reply.assign(9, 0);
  ASSERT_TRUE(platform::hidGetFeature(h, reply.data(), reply.size()));
  EXPECT_EQ(reply[3], 0x00);
  const Bytes right = shortFrame(0x05, 0x01, {1, 2, 3, 4, 5, 6});
  ASSERT_TRUE(platform::hidSetFeature(h, right.data(), right.size()));
  reply.assign(9, 0);
  ASSERT_TRUE(platform::hidGetFeature(h, reply.data(), reply.size()));
  EXPECT_EQ(reply[3], 0x5A);

  EXPECT_EQ(transcriptText(mark), (std::vector<std::string>{
                                      "0 1 out 06 05 01 00 00 00 00 00 00",
                                      "0 1 in 00 05 01 5a 00 00 00 00 00",
                                      "0 1 out 06 05 01 00 00 00 00 00 00",
                                      "0 1 in 00 05 01 00 00 00 00 00 00",
                                      "0 1 out 06 05 01 01 02 03 04 05 06",
                                      "0 1 in 00 05 01 5a 00 00 00 00 00",
                                  }));
  platform::HidInterfaceInfo info;
  ASSERT_TRUE(platform::hidDescribe(h, info));
  EXPECT_EQ(info.interfaceNumber, 1);
  EXPECT_TRUE(platform::closeHandle(h));
}

TEST_F(HidSim, ClosedHandlesFailCleanly) {
  EXPECT_FALSE(platform::closeHandle(nullptr));
  EXPECT_EQ(errno, EBADF);
  platform::Handle h = open(0, 1);
  ASSERT_NE(h, nullptr);
  ASSERT_TRUE(platform::closeHandle(h));
  EXPECT_FALSE(platform::closeHandle(h));
  EXPECT_EQ(errno, EBADF);
  const Bytes f = shortFrame(0x05, 0x76);
  EXPECT_FALSE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_EQ(errno, EBADF);
  std::uint8_t buf[64] = {};
  std::uint32_t n = 99;
  EXPECT_FALSE(platform::readFile(h, buf, sizeof(buf), &n));
  EXPECT_EQ(n, 0u);
  platform::HidInterfaceInfo info;
  EXPECT_FALSE(platform::hidDescribe(h, info));
}

TEST_F(HidSim, CloseWakesAReadThatWaitsForAReport) {
  platform::Handle h = open(0, 2, 60000);  // nothing will come on the command interface
  ASSERT_NE(h, nullptr);
  std::atomic<int> readError{0};
  std::atomic<bool> readOk{true};
  std::thread reader([&] {
    std::uint8_t buf[5] = {7};
    std::uint32_t n = 0;
    readOk = platform::readFile(h, buf, sizeof(buf), &n);
    readError = errno;
  });
  platform::sleepMs(100);
  ASSERT_TRUE(platform::closeHandle(h));
  reader.join();  // a close that did not wake it would leave this hanging for a minute
  EXPECT_FALSE(readOk);
  EXPECT_EQ(readError, EBADF);
}

TEST_F(HidSim, TransfersRacingACloseEndWithoutHarm) {
  platform::Handle h = open(0, 1);
  ASSERT_NE(h, nullptr);
  std::atomic<int> okCalls{0};
  std::atomic<bool> closed{false};
  std::atomic<int> okAfterClose{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      const Bytes f = shortFrame(0x05, 0x76);
      for (int i = 0; i < 500; ++i) {
        const bool wasClosed = closed;
        if (platform::hidSetFeature(h, f.data(), f.size())) {
          ++okCalls;
          if (wasClosed) ++okAfterClose;
        } else {
          EXPECT_EQ(errno, EBADF);
          return;
        }
      }
    });
  EXPECT_TRUE(testsupport::eventually([&] { return okCalls >= 8; }));  // joined below either way
  ASSERT_TRUE(platform::closeHandle(h));
  closed = true;
  for (auto& t : threads) t.join();
  EXPECT_EQ(okAfterClose, 0);
}

TEST_F(HidSim, UnpluggedKeyboardFailsAndAReplugIsANewDevice) {
  platform::Handle h = open(0, 1);
  ASSERT_NE(h, nullptr);
  Bytes profile(1032, 0);
  profile[0] = 6;
  profile[1] = 0x03;
  profile[8] = 1;  // Global byte 0
  ASSERT_TRUE(platform::hidSetFeature(h, profile.data(), profile.size()));

  ASSERT_TRUE(sim.control().unplug(0));
  const Bytes f = shortFrame(0x05, 0x76);
  EXPECT_FALSE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_EQ(errno, ENODEV);
  EXPECT_TRUE(platform::enumerateHidInterfaces().empty());

  ASSERT_TRUE(sim.control().replug(0));
  EXPECT_FALSE(platform::hidSetFeature(h, f.data(), f.size())) << "a handle lives for one plug-in";
  EXPECT_EQ(errno, ENODEV);
  EXPECT_TRUE(platform::closeHandle(h));

  // The memory survived: GetProfile answers the Global byte written before.
  platform::Handle cmd = open(0, 2);
  platform::Handle data = open(0, 1);
  ASSERT_NE(cmd, nullptr);
  ASSERT_NE(data, nullptr);
  const Bytes request = {5, 0x83, 0, 0, 0, 0, 0};
  ASSERT_TRUE(platform::hidSetFeature(cmd, request.data(), request.size()));
  Bytes reply(1032, 0);
  reply[0] = 6;
  ASSERT_TRUE(platform::hidGetFeature(data, reply.data(), reply.size()));
  EXPECT_EQ(reply[1], 0x83);
  EXPECT_EQ(reply[8], 1);
  platform::closeHandle(cmd);
  platform::closeHandle(data);
}

TEST_F(HidSim, InjectedFaults) {
  platform::Handle h = open(0, 1);
  ASSERT_NE(h, nullptr);
  const Bytes f = shortFrame(0x05, 0x76);
  const std::size_t mark = sim.transcriptSize();

  ASSERT_TRUE(sim.control().failNext(0, 2));
  EXPECT_FALSE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_EQ(errno, EIO);
  EXPECT_FALSE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_TRUE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_EQ(transcriptText(mark).size(), 1u) << "failed transfers never reached the keyboard";

  ASSERT_TRUE(sim.control().slow(0, 30));
  EXPECT_TRUE(platform::hidSetFeature(h, f.data(), f.size()));

  ASSERT_TRUE(sim.control().unplugAfter(0, 1));
  EXPECT_TRUE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_FALSE(platform::hidSetFeature(h, f.data(), f.size()));
  EXPECT_EQ(errno, ENODEV);
  EXPECT_TRUE(platform::enumerateHidInterfaces().empty());
  platform::closeHandle(h);
}

class HidSimQ350 : public HidSim {
  std::vector<std::string> keyboards() const override { return {"q350"}; }
};

TEST_F(HidSimQ350, ReadsTimeOutWhenTheKeyboardStopsAnswering) {
  platform::Handle h = open(0, 1, 200);
  ASSERT_NE(h, nullptr);
  const Bytes frame = readFrame(0x000C, 2);
  std::uint32_t n = 0;
  ASSERT_TRUE(platform::writeFile(h, frame.data(), 64, &n));
  EXPECT_EQ(n, 64u);
  std::uint8_t reply[64] = {};
  ASSERT_TRUE(platform::readFile(h, reply, 64, &n));
  EXPECT_EQ(n, 64u);
  EXPECT_EQ(reply[8] + 10 * reply[9], 107);

  ASSERT_TRUE(sim.control().mute(0, true));
  ASSERT_TRUE(platform::writeFile(h, frame.data(), 64, &n));
  EXPECT_FALSE(platform::readFile(h, reply, 64, &n));
  EXPECT_EQ(errno, ETIMEDOUT);
  // The handle still works once the keyboard answers again.
  ASSERT_TRUE(sim.control().mute(0, false));
  ASSERT_TRUE(platform::writeFile(h, frame.data(), 64, &n));
  EXPECT_TRUE(platform::readFile(h, reply, 64, &n));
  platform::closeHandle(h);
}

TEST_F(HidSimQ350, PresenceByHardwareId) {
  EXPECT_TRUE(platform::usbHardwareIdPresent("vid_24ae&pid_4011"));
  EXPECT_FALSE(platform::usbHardwareIdPresent("VID_24AE&PID_4018"));
  const auto ids = platform::usbHardwareIds();
  ASSERT_EQ(ids.size(), 1u);
  EXPECT_EQ(ids[0], "USB\\VID_24AE&PID_4011&REV_0100");
  ASSERT_TRUE(sim.control().unplug(0));
  EXPECT_FALSE(platform::usbHardwareIdPresent("VID_24AE&PID_4011"));
}

TEST(HidNoSim, NothingListensNothingIsListed) {
  testsupport::TempDir dir;
  testsupport::ScopedEnv socket("KAVRO_SIM_SOCKET", dir.file("none.sock"));
  testsupport::ScopedEnv noReal("KAVRO_HID_REAL", "0");
  EXPECT_TRUE(platform::enumerateHidInterfaces().empty());
  EXPECT_TRUE(platform::usbHardwareIds().empty());
  EXPECT_EQ(platform::openHidPath("\\\\?\\HID#VID_24AE&PID_4018&MI_01#kbsim&0&1#x"), nullptr);
}

}  // namespace
