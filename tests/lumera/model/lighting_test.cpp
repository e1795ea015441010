#include <gtest/gtest.h>

#include "lumera/model/lighting.h"
#include "lumera/model/log.h"
#include "tests/lumera/model/model_test_util.h"

using namespace lumera;
using lumera::test::DebugCapture;

namespace {

using Bytes = std::vector<std::uint8_t>;

// A layout of three keys: A at matrix 10 (LED 40), left Shift at matrix 20
// (LED 50) and an empty record.
LumeraConfig smallLayout() {
  LumeraConfig cfg;
  auto& keys = cfg.keyLayout();
  keys[0].funA.dwFunID = 0x020000A0;
  keys[0].funA.stCombo.VkCode1 = 0x41;
  keys[0].funA.dwMatrixInx = 10;
  keys[1].funA.dwFunID = 0x020000A0;
  keys[1].funA.stCombo = {0x02, 0, 0, 0x10};
  keys[1].funA.dwMatrixInx = 20;
  auto& leds = cfg.ledLayout();
  leds[0].funA.dwMatrixInx = 40;
  leds[1].funA.dwMatrixInx = 50;
  leds[2].funA.dwMatrixInx = 60;
  cfg.setLedCount(3);
  return cfg;
}

ProfileRecord resetProfile(const LumeraConfig& cfg) {
  ProfileRecord p;
  ResetLighting(p, cfg);
  return p;
}

}  // namespace

TEST(ResetLighting, DefaultsByEffect) {
  LumeraConfig cfg;
  cfg.options().clrGrid = 0x030201;
  cfg.gestureLayout()[6].funA.dwFunID = 0x08000023;
  const ProfileRecord p = resetProfile(cfg);
  for (int m = 0; m < kEffectCount; ++m) {
    SCOPED_TRACE(m);
    const LedModeSetting& s = p.effects[static_cast<std::size_t>(m)];
    if (m != 3) {  // "LEDParam" (03 04 00 04) sets effect 3 below
      EXPECT_EQ(s.level1, 4u);
      EXPECT_EQ(s.level2, 4u);
      EXPECT_EQ(s.colourful, (m == 0 || m == 14 || m == 15) ? 0u : 1u);
    }
    EXPECT_EQ(s.high, (m == 7 || m == 12 || m == 13) ? 1u : 0u);
    EXPECT_EQ(s.colourIndex, 3u);
    EXPECT_EQ(s.colours, (std::array<Colour, 7>{0x0000FF, 0xFF0000, 0x00FF00, 0x030201, 0x00FFFF, 0xFF00FF, 0xFFFFFF}));
  }
  EXPECT_EQ(p.effects[16].level1, 0u);
  EXPECT_EQ(p.effectIndex, 3);
  EXPECT_EQ(p.effects[3].level1, 4u);
  EXPECT_EQ(p.effects[3].level2, 0u);
  EXPECT_EQ(p.effects[3].colourful, 4u);
  EXPECT_EQ(p.lightingSwitch, 1u);
  EXPECT_EQ(p.groupTouched, (std::array<std::uint8_t, 5>{1, 1, 1, 1, 1}));
  EXPECT_EQ(p.colourA, (std::array<Colour, 5>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(p.colourB, (std::array<Colour, 5>{}));
  EXPECT_EQ(p.gestures, cfg.gestureLayout());
}

TEST(ResetLighting, LedOptionOverridesAndBadGridIndexStaysInside) {
  LumeraConfig cfg;
  cfg.options().LED.fill(0);
  cfg.options().LED[0] = 0x87;  // direction, colourful
  cfg.options().LED[1] = 0x34;  // levels 4 and 5
  cfg.options().LED[14] = 0x10;
  cfg.options().LEDParam = {20, 1, 1, 1, 0, 0};  // an effect index the profile has no setting for
  cfg.options().GridIndex = 7;
  const ProfileRecord p = resetProfile(cfg);
  EXPECT_EQ(p.effects[0].direction, 1u);
  EXPECT_EQ(p.effects[0].colourful, 1u);
  EXPECT_EQ(p.effects[0].level1, 4u);
  EXPECT_EQ(p.effects[0].level2, 5u);
  EXPECT_EQ(p.effects[7].direction, 0u);
  EXPECT_EQ(p.effects[7].colourful, 0u);
  EXPECT_EQ(p.effects[7].high, 1u);  // not the option's to change
  EXPECT_EQ(p.effects[7].level1, 1u);
  EXPECT_EQ(p.effects[7].level2, 1u);
  EXPECT_EQ(p.effects[5].colourIndex, 3u);
  EXPECT_EQ(p.effects[5].colours[3], 0xFFFF00u);
  EXPECT_EQ(p.effectIndex, 20);
}

TEST(ResetLighting, HighlightKeysColourTheirGroup) {
  LumeraConfig cfg = smallLayout();
  cfg.options().clrVezeriv = 0x123456;
  cfg.options().VezerivKey[0][0] = 0x41;
  cfg.options().VezerivKey[0][1] = 0xA0;  // left Shift by its sided code
  cfg.options().VezerivKey[0][2] = 0x7B;  // not in the layout
  cfg.options().VezerivKey[2][5] = 0x10;
  DebugCapture debug;
  theLog().setup(1, "");
  const ProfileRecord p = resetProfile(cfg);
  theLog().setup(0, "");
  EXPECT_EQ(p.groupColours[0][10], 0x123456u);
  EXPECT_EQ(p.groupColours[0][20], 0x123456u);
  EXPECT_EQ(p.groupColours[2][20], 0x123456u);
  EXPECT_EQ(p.groupColours[1][20], 0u);
  EXPECT_EQ(debug.lines(), std::vector<std::string>{"Error Value: VezerivKey[0][2]=0x7b"});
}

TEST(MatrixIndexOfKey, ModifiersMatchTheirMaskBit) {
  LumeraConfig cfg = smallLayout();
  cfg.keyLayout()[2].funA.dwFunID = 0x020000A0;
  cfg.keyLayout()[2].funA.stCombo = {0x20 | 0x10, 0, 0, 0};
  cfg.keyLayout()[2].funA.dwMatrixInx = 30;
  const std::pair<std::uint32_t, int> cases[] = {{0x41, 10}, {0x10, 20}, {0xA0, 20}, {0xA1, 30},
                                                 {0xA3, 30}, {0x11, -1}, {0x42, -1}, {0, -1}};
  for (const auto& [code, index] : cases) EXPECT_EQ(MatrixIndexOfKey(cfg, code), index) << code;
}

TEST(ProLighting, FieldsOfTheProBlock) {
  LumeraConfig cfg;
  ProfileRecord p = resetProfile(cfg);
  LedModeSetting& s = p.effects[5];
  s.colourIndex = 2;
  s.colourful = 0;
  s.high = 1;
  s.level1 = 3;
  s.level2 = 5;
  p.effectIndex = 16;
  p.colourGroup = 3;
  std::uint8_t pro[64];
  std::fill(std::begin(pro), std::end(pro), 0xEE);
  FillProLighting(p, cfg, pro);
  EXPECT_EQ(pro[4], 1);  // the per-key colour effect ("GameIndex" 16)
  EXPECT_EQ(pro[5], 17);
  EXPECT_EQ(pro[6], 0x24);
  EXPECT_EQ(Bytes(pro + 16, pro + 18), (Bytes{0xFF, 0xFF}));
  EXPECT_EQ(Bytes(pro + 18 + 10, pro + 20 + 10), (Bytes{0x82, 0x24}));
  EXPECT_EQ(Bytes(pro + 18, pro + 20), (Bytes{0x03, 0x33}));      // effect 0: index 3, not colourful
  EXPECT_EQ(Bytes(pro + 18 + 14, pro + 20 + 14), (Bytes{0x87, 0x33}));  // effect 7: colourful, high
  EXPECT_EQ(Bytes(pro + 52, pro + 64), (Bytes{3, 3, 3, 3, 3, 3, 3, 0x33, 0x33, 0x33, 0x5A, 0xA5}));
  for (int kept : {0, 1, 2, 3, 7, 15, 50, 51}) EXPECT_EQ(pro[kept], 0xEE) << kept;

  cfg.options().GameModeNumHw = 5;
  p.effectIndex = 2;
  FillProLighting(p, cfg, pro);
  EXPECT_EQ(pro[4], 0);
  EXPECT_EQ(pro[5], 3);
  EXPECT_EQ(pro[6], 0x23);
}

TEST(ColorTable, DefaultRowsAndOneTriplePerEffect) {
  LumeraConfig cfg;
  ProfileRecord p = resetProfile(cfg);
  p.effects[0].colourIndex = 1;
  p.effects[0].colours[1] = 0x00ABCDEF;
  p.effects[15].colourIndex = 6;
  p.effects[15].colours[6] = 0x00010203;
  p.effects[4].colourIndex = 9;  // outside the row: no triple changes
  std::uint8_t table[kColorTableSize];
  BuildColorTable(p, table);
  const Bytes defaultRow = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0xFF, 0xFF,
                            0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF};
  // The defaults put "clrGrid" (cyan's bytes) into slot 3, which the default
  // row has already; only the two changed colours show.
  for (int row = 0; row < 48; ++row) {
    Bytes expected = defaultRow;
    if (row == 25) std::copy_n(Bytes{0xAB, 0xCD, 0xEF}.begin(), 3, expected.begin() + 3);
    if (row == 40) std::copy_n(Bytes{0x01, 0x02, 0x03}.begin(), 3, expected.begin() + 18);
    EXPECT_EQ(Bytes(table + 21 * row, table + 21 * row + 21), expected) << row;
  }
}

TEST(ColorFrames, OneGroupPerFrameWhenTheKeyboardHoldsOne) {
  LumeraConfig cfg = smallLayout();
  ProfileRecord p = resetProfile(cfg);
  p.colourGroup = 3;
  p.groupColours[3][10] = 0x00112233;  // key A: matrix 10, LED 40
  p.groupColours[3][20] = 0x00000001;
  const std::vector<ColorFrame> frames = BuildColorFrames(p, cfg);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].address, 0xAC);
  const auto& b = frames[0].bytes;
  EXPECT_EQ(Bytes({b[40], b[132 + 40], b[264 + 40]}), (Bytes{0x11, 0x22, 0x33}));
  EXPECT_EQ(b[264 + 50], 0x01);
  std::size_t nonZero = 0;
  for (std::uint8_t x : b) nonZero += x != 0;
  EXPECT_EQ(nonZero, 4u);  // nothing else, and the second half is zero
}

TEST(ColorFrames, GroupCountGivesFramesAndAddresses) {
  LumeraConfig cfg = smallLayout();
  ProfileRecord p = resetProfile(cfg);
  for (std::size_t g = 0; g < 5; ++g) p.groupColours[g][10] = 0x000010u * (g + 1);
  struct Case {
    int groups;
    std::vector<std::uint8_t> addresses;
  };
  for (const Case& c : {Case{2, {0xAC}}, Case{5, {0xAC, 0xB0, 0xB4}}, Case{6, {0xAC, 0xB0, 0xB4}},
                        Case{400, {0xAC, 0xB0, 0xB4}}, Case{-3, {0xAC}}}) {
    SCOPED_TRACE(c.groups);
    cfg.options().GameModeNumHw = c.groups;
    const std::vector<ColorFrame> frames = BuildColorFrames(p, cfg);
    ASSERT_EQ(frames.size(), c.addresses.size());
    for (std::size_t i = 0; i < frames.size(); ++i) {
      EXPECT_EQ(frames[i].address, c.addresses[i]);
      if (c.groups < 2) continue;
      EXPECT_EQ(frames[i].bytes[264 + 40], 0x10 * (2 * i + 1));  // group 2i in the first half
      const bool secondHalf = 2 * i + 1 < 5;
      EXPECT_EQ(frames[i].bytes[396 + 264 + 40], secondHalf ? 0x10 * (2 * i + 2) : 0);
    }
  }
}

TEST(ColorFrames, LedIndexOutsideTheMatrixIsSkippedAndLogged) {
  LumeraConfig cfg = smallLayout();
  cfg.ledLayout()[0].funA.dwMatrixInx = 132;
  cfg.ledLayout()[1].funA.dwMatrixInx = -1;
  ProfileRecord p = resetProfile(cfg);
  p.groupColours[0][10] = 0xFFFFFF;
  DebugCapture debug;
  theLog().setup(1, "");
  const std::vector<ColorFrame> frames = BuildColorFrames(p, cfg);
  theLog().setup(0, "");
  for (std::uint8_t x : frames[0].bytes) ASSERT_EQ(x, 0);
  EXPECT_TRUE(debug.contains("ERROR: GET Key(Func=A, MatrixInx=10)"));
  EXPECT_TRUE(debug.contains("ERROR: GET Key(Func=Shift, MatrixInx=20)"));
  EXPECT_TRUE(debug.contains("ColorGroup[0]: Addr=ac"));
}

TEST(GroupColoursByKey, ByEachConfiguredKeysMatrixIndex) {
  const LumeraConfig cfg = smallLayout();
  ProfileRecord p = resetProfile(cfg);
  p.groupColours[2].fill(0);
  p.groupColours[2][10] = rgb(1, 2, 3);
  p.groupColours[2][20] = rgb(4, 5, 6);
  p.groupColours[2][29] = rgb(7, 8, 9);  // the matrix index every unused record holds
  const auto byKey = GroupColoursByKey(p, cfg, 2);
  EXPECT_EQ(byKey[0], rgb(1, 2, 3));
  EXPECT_EQ(byKey[1], rgb(4, 5, 6));
  for (std::size_t i = 2; i < byKey.size(); ++i) EXPECT_EQ(byKey[i], 0u) << i;
  for (int bad : {-1, 5, 1000}) EXPECT_EQ(GroupColoursByKey(p, cfg, bad), (std::array<Colour, kKeyCount>{}));

  // Back: the unused slots (matrix 29 in their records) leave matrix 29 alone.
  std::array<Colour, kKeyCount> view{};
  view.fill(rgb(200, 0, 0));
  view[1] = rgb(0, 200, 0);
  StoreGroupColoursByKey(p, cfg, 2, view);
  EXPECT_EQ(p.groupColours[2][10], rgb(200, 0, 0));
  EXPECT_EQ(p.groupColours[2][20], rgb(0, 200, 0));
  EXPECT_EQ(p.groupColours[2][29], rgb(7, 8, 9));
  const ProfileRecord before = p;
  StoreGroupColoursByKey(p, cfg, 7, view);
  EXPECT_EQ(p.groupColours, before.groupColours);
}
