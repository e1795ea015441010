// libPallomar.so loaded the way the Q350RGB program loads it, against kbsim.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "outside/pallomar/pallomar.h"
#include "platform/hid/hid.h"
#include "platform/hid/module.h"
#include "platform/paths.h"
#include "tests/sim/sim_fixture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the predicate was asked, and the report length it accepts.
std::vector<std::vector<int>> gAsked;
int gAccept = 0;
int predicate(int mi, int in, int out, int feature) {
  gAsked.push_back({mi, in, out, feature});
  return feature == gAccept;
}

class Pallomar : public testsupport::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    platform::setProgramFolder(platform::folderOf(KAVRO_PALLOMAR_PATH));
    module = platform::loadModule("Pallomar.dll");
    ASSERT_NE(module, nullptr) << platform::moduleError();
    open = reinterpret_cast<PallomarOpenHidDevice>(platform::moduleSymbol(module, "OpenHidDevice"));
    setFeature = reinterpret_cast<PallomarSetFeature>(platform::moduleSymbol(module, "SetFeature"));
    getFeature = reinterpret_cast<PallomarGetFeature>(platform::moduleSymbol(module, "GetFeature"));
    getInput = reinterpret_cast<PallomarGetInputReport>(platform::moduleSymbol(module, "GetInputReport"));
    product = reinterpret_cast<PallomarGetProductString>(platform::moduleSymbol(module, "GetProductString"));
    version = reinterpret_cast<PallomarGetVersionNumber>(platform::moduleSymbol(module, "GetVersionNumber"));
    ASSERT_TRUE(open && setFeature && getFeature && getInput && product && version);
    gAsked.clear();
  }
  void TearDown() override {
    platform::freeModule(module);
    SimFixture::TearDown();
  }

  // The calls the program makes: usage page 0xFF00, usage 1, the ids as a
  // wide string, debug 0, the overlapped flag.
  void* find(int length, int* count = nullptr, const std::u16string& match = u"VID_24AE&PID_4018") {
    gAccept = length;
    return open(0xFF00, 1, reinterpret_cast<const uint16_t*>(match.c_str()), predicate, 0, 0, 0, 0, 0x40000000,
                count);
  }

  platform::ModuleHandle module = nullptr;
  PallomarOpenHidDevice open = nullptr;
  PallomarSetFeature setFeature = nullptr;
  PallomarGetFeature getFeature = nullptr;
  PallomarGetInputReport getInput = nullptr;
  PallomarGetProductString product = nullptr;
  PallomarGetVersionNumber version = nullptr;
};

int interfaceOf(void* h) {
  platform::HidInterfaceInfo info;
  return platform::hidDescribe(static_cast<platform::Handle>(h), info) ? info.interfaceNumber : -1;
}

TEST_F(Pallomar, ThePredicateChoosesTheInterface) {
  void* data = find(1032);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(interfaceOf(data), 1);
  // Only the two vendor interfaces were candidates, each with its lengths.
  EXPECT_EQ(gAsked, (std::vector<std::vector<int>>{{1, 0, 0, 1032}}));
  gAsked.clear();
  void* command = find(6);
  ASSERT_NE(command, nullptr);
  EXPECT_EQ(interfaceOf(command), 2);
  EXPECT_EQ(gAsked, (std::vector<std::vector<int>>{{1, 0, 0, 1032}, {2, 5, 0, 6}}));
  EXPECT_EQ(find(64), nullptr) << "no interface has that length";
  EXPECT_EQ(find(1032, nullptr, u"vid_24ae&pid_4011"), nullptr) << "the match string filters by path";
  void* anyCase = find(1032, nullptr, u"vid_24ae&pid_4018");
  EXPECT_NE(anyCase, nullptr) << "in any letter case";
  // Handles from the library close with the program's own closing call.
  EXPECT_TRUE(platform::closeHandle(static_cast<platform::Handle>(data)));
  EXPECT_TRUE(platform::closeHandle(static_cast<platform::Handle>(command)));
  EXPECT_TRUE(platform::closeHandle(static_cast<platform::Handle>(anyCase)));
}

TEST_F(Pallomar, DeviceCountCountsKeyboardsNotInterfaces) {
  int count = -1;
  void* h = find(1032, &count);
  EXPECT_EQ(count, 1);
  platform::closeHandle(static_cast<platform::Handle>(h));
  ASSERT_TRUE(sim.control().plug("q350rgb"));
  ASSERT_TRUE(sim.control().plug("q350"));
  h = find(1032, &count);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(count, 2);
  platform::HidInterfaceInfo info;
  ASSERT_TRUE(platform::hidDescribe(static_cast<platform::Handle>(h), info));
  EXPECT_EQ(info.simKeyboard, 0) << "the first one found";
  platform::closeHandle(static_cast<platform::Handle>(h));
  count = -1;
  EXPECT_EQ(find(6, &count, u"VID_9999"), nullptr);
  EXPECT_EQ(count, 0);
}

TEST_F(Pallomar, FeatureRoundTrips) {
  void* data = find(1032);
  void* command = find(6);
  ASSERT_TRUE(data && command);
  const std::size_t mark = sim.transcriptSize();
  // Configuration end, password, profile request and the replies.
  Bytes end = {6, 0x05, 0x77, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(setFeature(data, end.data(), 9), 1);
  Bytes psd = {6, 0x05, 0x01, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(setFeature(data, psd.data(), 9), 1);
  Bytes reply(9, 0);
  ASSERT_EQ(getFeature(data, reply.data(), 9), 1);
  EXPECT_EQ(reply, (Bytes{0, 0x05, 0x01, 0x5A, 0, 0, 0, 0, 0}));
  Bytes request = {5, 0x83, 0, 0, 0, 0, 0};
  ASSERT_EQ(setFeature(command, request.data(), 7), 1);
  Bytes block(1032, 0);
  block[0] = 6;
  ASSERT_EQ(getFeature(data, block.data(), 1032), 1);
  EXPECT_EQ(block[1], 0x83);
  EXPECT_EQ(block[8 + 8 + 62], 0x5A);  // Pro0's signature
  // A long frame is stored where its address says.
  Bytes matrix(1032, 0);
  matrix[0] = 6;
  matrix[1] = 0x04;
  matrix[2] = 0xC8;
  matrix[4] = 0x40;
  matrix[8] = 0xAB;
  ASSERT_EQ(setFeature(data, matrix.data(), 1032), 1);
  std::vector<std::uint8_t> memory;
  ASSERT_TRUE(sim.control().dump(0, memory));
  EXPECT_EQ(memory[0xC800], 0xAB);

  const auto lines = transcriptText(mark);
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "0 1 out 06 05 77 00 00 00 00 00 00");
  EXPECT_EQ(lines[3], "0 2 out 05 83 00 00 00 00 00");
  EXPECT_EQ(lines[4].substr(0, 23), "0 1 in 06 83 00 00 00 0");
  EXPECT_EQ(lines[5].substr(0, 34), "0 1 out 06 04 c8 00 40 00 00 00 ab");
  EXPECT_EQ(lines[5].size(), std::string("0 1 out").size() + 1032 * 3) << "1032 bytes on the wire";
  EXPECT_EQ(getInput(data, reply.data(), 9), 0) << "no input report by control transfer";
  platform::closeHandle(static_cast<platform::Handle>(data));
  platform::closeHandle(static_cast<platform::Handle>(command));
}

TEST_F(Pallomar, ProductStringAndVersion) {
  void* data = find(1032);
  ASSERT_NE(data, nullptr);
  uint16_t text[260];
  ASSERT_EQ(product(data, text, 260), 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), u"Varire Voror");
  ASSERT_EQ(product(data, text, 4), 1);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text)), u"Var") << "cut, and still terminated";
  uint16_t v = 0;
  ASSERT_EQ(version(data, &v), 1);
  EXPECT_EQ(v, 0x0100);
  platform::closeHandle(static_cast<platform::Handle>(data));

  ASSERT_TRUE(sim.control().setVersion(0, 0x0201));
  data = find(1032);
  ASSERT_EQ(version(data, &v), 1);
  EXPECT_EQ(v, 0x0201);
  platform::closeHandle(static_cast<platform::Handle>(data));
  // A closed handle answers nothing.
  EXPECT_EQ(version(data, &v), 0);
  EXPECT_EQ(product(data, text, 260), 0);
  EXPECT_EQ(text[0], 0);
  Bytes end = {6, 0x05, 0x77, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(setFeature(data, end.data(), 9), 0);
  EXPECT_EQ(setFeature(nullptr, end.data(), 9), 0);
}

TEST_F(Pallomar, UnplugInTheMiddleOfAWrite) {
  void* data = find(1032);
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(sim.control().unplugAfter(0, 2));
  Bytes frame(1032, 0);
  frame[0] = 6;
  frame[1] = 0x05;
  frame[4] = 0x40;
  for (int chunk = 0; chunk < 4; ++chunk) {
    frame[2] = static_cast<std::uint8_t>(0xCC + 4 * chunk);
    const int ok = setFeature(data, frame.data(), 1032);
    EXPECT_EQ(ok, chunk < 2 ? 1 : 0) << chunk;
    if (!ok) {
      EXPECT_EQ(errno, ENODEV);
    }
  }
  EXPECT_EQ(find(1032), nullptr) << "the keyboard is gone";
  platform::closeHandle(static_cast<platform::Handle>(data));
}

TEST_F(Pallomar, OnlyTheEntryPointsAreExported) {
  EXPECT_EQ(platform::moduleSymbol(module, "_ZN8platform11closeHandleEPNS_12KernelObjectE"), nullptr);
  EXPECT_EQ(platform::moduleSymbol(module, "_ZN8platform22enumerateHidInterfacesEv"), nullptr);
  EXPECT_EQ(platform::loadModule("NoSuchLibrary"), nullptr);
  EXPECT_NE(platform::moduleError().find("libNoSuchLibrary.so"), std::string::npos);
}

}  // namespace
