#include <gtest/gtest.h>

#include "lumera/model/keycodes.h"
#include "lumera/model/log.h"
#include "lumera/model/matrix.h"
#include "tests/lumera/model/model_test_util.h"

using namespace lumera;
using lumera::test::DebugCapture;
using lumera::test::MessageCapture;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Key k of the layout sits at matrix position k + 1 (so position 0 stays
// free), unless a test moves it.
struct Fixture {
  LumeraConfig config;
  ProfileRecord profile;
  MacroList macros;

  Fixture() {
    for (int k = 0; k < kKeyCount; ++k) config.keyLayout()[static_cast<std::size_t>(k)].funA.dwMatrixInx = (k + 1) % kKeyCount;
    profile.id = 0x55;
  }
  KeyInfo& key(int k) { return profile.keys[static_cast<std::size_t>(k)]; }
  void place(int k, std::int32_t position) { config.keyLayout()[static_cast<std::size_t>(k)].funA.dwMatrixInx = position; }
  void combo(int k, std::uint8_t mask, std::uint8_t vk) {
    key(k).funA.dwFunID = 0x020000A0;
    key(k).funA.stCombo = {mask, vk, 0, 0};
  }
  void function(int k, std::uint32_t funId) { key(k).funA.dwFunID = funId; }
  void macro(KeyFunction& f, std::int32_t id) {
    f.dwFunID = 0x05000000;
    f.nMacroId = id;
  }
  MacroRecord& addMacro(std::int32_t id, std::uint32_t mode = 0) {
    MacroRecord m;
    m.id = id;
    m.repeatMode = mode;
    m.loopCount = static_cast<std::uint16_t>(id);
    m.events[0] = {0x41, 1, 10};
    macros.push_back(m);
    return macros.back();
  }
  KeyMatrix fill() {
    KeyMatrix out;
    EXPECT_TRUE(FillMatrix(profile, macros, config, out));
    return out;
  }
};

}  // namespace

TEST(FillMatrix, KeysTakeTheirConfiguredPositionsFirstKeyWinning) {
  Fixture f;
  f.combo(4, 0x01, 0x41);  // position 5
  f.combo(9, 0, 0x42);
  f.place(9, 5);           // same position: the first key wins
  f.combo(10, 0, 0x43);
  f.place(10, 200);        // outside the matrix
  f.key(11).funA.dwMatrixInx = 77;  // the profile's own position does not count
  f.combo(11, 0, 0x44);
  DebugCapture debug;
  theLog().setup(1, "");
  const KeyMatrix m = f.fill();
  theLog().setup(0, "");
  EXPECT_EQ(m.codes[5], 0x104u);
  EXPECT_EQ(m.codes[12], 0x07u);
  EXPECT_EQ(m.codes[77], 0u);
  EXPECT_TRUE(debug.contains("FillMatrix 0x00000055---------------------------------------"));
  EXPECT_TRUE(debug.contains("Error: Matrix[ 5 ]=0x104"));
  EXPECT_TRUE(debug.contains("Error: nMatrixInx=200"));
  EXPECT_TRUE(debug.contains("Key Matrix----------------------------"));
  EXPECT_TRUE(debug.contains("04 01 00 00  "));  // position 5 as it lies in memory, in groups of 4

  const auto payload = m.payload();
  EXPECT_EQ(Bytes(payload.begin() + 20, payload.begin() + 24), (Bytes{0x00, 0x00, 0x01, 0x04}));
  EXPECT_EQ(Bytes(payload.begin() + 48, payload.begin() + 52), (Bytes{0x00, 0x00, 0x00, 0x07}));
}

TEST(FillMatrix, InvalidCodesAreShownAndLeftOut) {
  Fixture f;
  f.function(2, 0x01000016);  // a mouse function without a code
  MessageCapture messages;
  const KeyMatrix m = f.fill();
  EXPECT_EQ(messages.shown(),
            std::vector<std::string>{"Warning: Get Invaild keycode, keyindex=2, MatrixInx=3, dwFunID=0x1000016"});
  EXPECT_EQ(messages.icons(), std::vector<MessageIcon>{MessageIcon::Information});
  for (std::uint32_t c : m.codes) EXPECT_EQ(c, 0u);
}

TEST(FillMatrix, FnKeysFillBothHalvesOfTheFnMatrix) {
  Fixture f;
  f.combo(0, 0x01, 0x41);
  f.key(0).nFnIndex = 3;
  f.key(0).funB.dwFunID = 0x04000026;  // volume up
  f.combo(1, 0, 0x42);
  f.key(1).nFnIndex = 4;
  f.key(1).funB.dwFunID = 0x01000016;  // no code: the key is left out
  f.combo(2, 0, 0x43);
  f.key(2).nFnIndex = 48;              // a stored index outside the Fn matrix
  f.key(2).funB.dwFunID = 0x04000026;
  f.combo(3, 0, 0x44);
  f.key(3).nFnIndex = -7;              // any negative index means none
  const KeyMatrix m = f.fill();
  EXPECT_EQ(m.codes[1], 0x02000003u);
  EXPECT_EQ(m.codes[kFnSingleBase + 3], 0x104u);
  EXPECT_EQ(m.codes[kFnComboBase + 3], 0x040000E9u);
  EXPECT_EQ(m.codes[2], 0u);
  EXPECT_EQ(m.codes[kFnSingleBase + 4], 0u);
  EXPECT_EQ(m.codes[kFnComboBase + 4], 0u);
  EXPECT_EQ(m.codes[3], 0u);
  EXPECT_EQ(m.codes[4], 0x07u);
  for (std::size_t i = kFnComboBase + kFnEntries; i < kMatrixCodes; ++i) EXPECT_EQ(m.codes[i], 0u);
}

TEST(FillMatrix, PositionsSeventyFiveAndEightyAreOneKeyAndGesturesOverride) {
  struct Case {
    std::uint8_t vk75, vk80;
    std::uint32_t both;
  };
  for (const Case& c : {Case{0, 0x0D, 0x28}, Case{0x43, 0, 0x06}, Case{0x41, 0x42, 0x05}}) {
    Fixture f;
    if (c.vk75) f.combo(74, 0, c.vk75);
    if (c.vk80) f.combo(79, 0, c.vk80);
    const KeyMatrix m = f.fill();
    EXPECT_EQ(m.codes[75], c.both);
    EXPECT_EQ(m.codes[80], c.both);
  }
  Fixture f;
  f.combo(4, 0, 0x41);
  f.profile.gestures[0].funA.dwFunID = 0x04000026;
  f.profile.gestures[0].funA.dwMatrixInx = 5;
  f.profile.gestures[1].funA.dwFunID = 0x04000027;
  f.profile.gestures[1].funA.dwMatrixInx = -5;
  f.profile.gestures[2].funA.dwFunID = 0x04000027;
  f.profile.gestures[2].funA.dwMatrixInx = 132;
  f.profile.gestures[3].funA.dwMatrixInx = 9;  // empty: no code
  const KeyMatrix m = f.fill();
  EXPECT_EQ(m.codes[5], 0x040000E9u);
  EXPECT_EQ(m.codes[9], 0u);
  EXPECT_EQ(m.codes[kKeyCount], 0u);
}

TEST(FillMatrix, MacrosShareBuffersInTheOrderMet) {
  Fixture f;
  f.addMacro(0x201, 1);
  f.addMacro(0x202, 2).Macro_Buffer_ID = 7;  // a number left in a file means nothing
  f.macro(f.key(0).funA, 0x202);
  f.macro(f.key(1).funA, 0x201);
  f.macro(f.key(2).funA, 0x202);
  f.macro(f.key(3).funA, 0x201);
  f.key(3).nFnIndex = 2;  // a macro as an Fn key's base function
  f.key(3).funB.dwFunID = 0x04000026;
  f.macro(f.profile.gestures[0].funA, 0x201);
  f.profile.gestures[0].funA.dwMatrixInx = 100;
  DebugCapture debug;
  theLog().setup(1, "");
  const KeyMatrix m = f.fill();
  theLog().setup(0, "");
  EXPECT_EQ(m.macroCount, 2);
  EXPECT_EQ(m.codes[1], 0x10000400u);
  EXPECT_EQ(m.codes[2], 0x10000501u);
  EXPECT_EQ(m.codes[3], 0x10000400u);
  EXPECT_EQ(m.codes[4], 0x02000002u);
  EXPECT_EQ(m.codes[kFnSingleBase + 2], 0x10000501u);
  EXPECT_EQ(m.codes[100], 0x10000501u);
  ASSERT_EQ(m.macroBuffers.size(), 32u * 256u);
  Bytes expected(256);
  StMacro_To_HdMacro(&f.macros[1], expected.data());
  EXPECT_EQ(Bytes(m.macroBuffers.begin(), m.macroBuffers.begin() + 256), expected);
  StMacro_To_HdMacro(&f.macros[0], expected.data());
  EXPECT_EQ(Bytes(m.macroBuffers.begin() + 256, m.macroBuffers.begin() + 512), expected);
  for (std::size_t i = 512; i < m.macroBuffers.size(); ++i) ASSERT_EQ(m.macroBuffers[i], 0) << i;
  EXPECT_EQ(f.macros[1].Macro_Buffer_ID, 7u);  // the caller's list is not changed
  EXPECT_TRUE(debug.contains("Key[0][0] Set To Macro (0x00000202), Macro_Buffer_ID=0"));
  EXPECT_TRUE(debug.contains("Key[0][2] Set To Macro (0x00000202), Macro_Buffer_ID=1"));
  EXPECT_TRUE(debug.contains("New Assign Buffer_ID= 2"));
  EXPECT_TRUE(debug.contains("Matrix[0][134] = 0x10000501"));
}

TEST(FillMatrix, TheWalkEndsWithTheThirtySecondBuffer) {
  Fixture f;
  for (int i = 0; i < 33; ++i) {
    f.addMacro(0x300 + i);
    f.macro(f.key(i).funA, 0x300 + i);
  }
  f.macro(f.key(40).funA, 0x300);  // a macro that already has a buffer, met too late
  const KeyMatrix m = f.fill();
  EXPECT_EQ(m.macroCount, 32);
  EXPECT_EQ(m.codes[32], 0x1000011Fu);  // key 31: buffer 32
  EXPECT_EQ(m.codes[33], 0x10000100u);  // key 32: never given one
  EXPECT_EQ(m.codes[41], 0x10000100u);
  EXPECT_EQ(m.macroBuffers[31 * 256 + 1], static_cast<std::uint8_t>(0x31F & 0xFF));  // loop count = id
}

TEST(FillMatrix, MacroProblemsAreReportedAndNeverWriteOutside) {
  Fixture f;
  f.addMacro(0x401);
  f.macro(f.key(0).funA, 0x999);  // not in the list
  f.macro(f.key(1).funA, 0x401);
  f.place(1, 140);
  f.macro(f.profile.gestures[6].funA, 0x401);
  f.profile.gestures[6].funA.dwMatrixInx = 1000;
  f.combo(2, 0, 0x41);
  f.macro(f.key(3).funA, 0x401);
  f.place(3, 3);  // same position as key 2, which won it
  DebugCapture debug;
  MessageCapture messages;
  theLog().setup(1, "");
  const KeyMatrix m = f.fill();
  theLog().setup(0, "");
  EXPECT_EQ(messages.shown(), (std::vector<std::string>{
                                  "Warning: Get Invaild keycode, keyindex=0, MatrixInx=1, dwFunID=0x5000000",
                                  "Warning: Matrix inx warning", "Warning: Matrix inx warning"}));
  EXPECT_TRUE(debug.contains("Key[0][0] Set To Macro NULL"));
  EXPECT_EQ(m.codes[3], 0x04u);  // key 2's code keeps its low byte
  EXPECT_EQ(m.macroCount, 1);
}
