// The effect previews without a window: every preview kind for a fixed
// seed on the key slots of the shipped key layout, the descriptor blocks
// the lighting page builds, damaged blocks and out-of-range inputs, and
// the changed-slot marks the view repaints from.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "lumera/app/effect_preview.h"
#include "lumera/app/preview_descriptor.h"
#include "lumera/app/preview_format.h"
#include "lumera/model/config.h"
#include "tests/support/test_env.h"

using namespace lumera;
using preview::Writer;

namespace {

constexpr std::uint32_t kSeed = 20261210;
constexpr Colour kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kMagenta = 0xFF00FF, kOrange = 0x0080FF,
                 kYellow = 0x00FFFF, kCyan = 0xFFFF00;
const std::set<Colour> kBasics = {kRed, kGreen, kBlue, kMagenta, kOrange};

// The key layout shipped with the program, read once.
const LumeraConfig& shipped() {
  static const LumeraConfig config = [] {
    LumeraConfig c;
    c.load(testsupport::sourceDir() + "/data/lumera/", false);
    return c;
  }();
  return config;
}

const PreviewKeys& keys() {
  static const PreviewKeys k = PreviewKeysOf(shipped());
  return k;
}

// The view's slots as the main window fills them: slot i is key i of the
// layout.
KeySlots slotsOf(const LumeraConfig& config, int animated = kViewSlots) {
  KeySlots s;
  for (int i = 0; i < config.keyCount(); ++i)
    s.hitCode[static_cast<std::size_t>(i)] = PreviewHitCode(config.keyLayout()[static_cast<std::size_t>(i)].funA);
  s.animatedCount = animated;
  return s;
}

Colour colourOfKey(const KeySlots& s, int code) {
  const int i = s.findKeyByCode(code);
  return i < 0 ? 0xDEADBEEF : s.colour[static_cast<std::size_t>(i)];
}
int alphaOfKey(const KeySlots& s, int code) {
  const int i = s.findKeyByCode(code);
  return i < 0 ? -1 : s.alpha[static_cast<std::size_t>(i)];
}

// The slots lit now, by hit code.
std::set<int> litCodes(const KeySlots& s) {
  std::set<int> out;
  for (int i = 0; i < kViewSlots; ++i)
    if (s.colour[static_cast<std::size_t>(i)] != 0) out.insert(s.hitCode[static_cast<std::size_t>(i)]);
  return out;
}
int litCount(const KeySlots& s) {
  return static_cast<int>(std::count_if(s.colour.begin(), s.colour.end(), [](Colour c) { return c != 0; }));
}

PreviewRequest request(int kind, int level1 = 1, int level2 = 5, Colour colour = kRed, bool colourful = false) {
  PreviewRequest r;
  r.effectKind = kind;
  r.level1 = level1;
  r.level2 = level2;
  r.colour = colour;
  r.colourful = colourful;
  return r;
}

// A running preview on fresh slots.
struct Play {
  KeySlots slots;
  std::unique_ptr<EffectPreview> p;
  explicit Play(const std::vector<std::uint8_t>& block, int animated = kViewSlots, std::uint32_t seed = kSeed)
      : slots(slotsOf(shipped(), animated)), p(makeEffectPreview(block, seed)) {
    p->start(slots);
  }
  explicit Play(const PreviewRequest& r, int animated = kViewSlots, std::uint32_t seed = kSeed)
      : Play(BuildPreviewDescriptor(r, keys()), animated, seed) {}
  void steps(int n) {
    for (int i = 0; i < n; ++i) p->step(slots);
  }
};

// The first key of group i; -1 (which no slot has) for an empty group.
int first(const std::vector<std::vector<int>>& groups, std::size_t i) {
  return i < groups.size() && !groups[i].empty() ? groups[i].front() : -1;
}

std::uint32_t wordAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
         std::uint32_t(b[at + 3]) << 24;
}

constexpr int kVkSpace = 0x20, kVkLeft = 0x25, kVkUp = 0x26, kVkRight = 0x27, kVkDown = 0x28, kVkO = 0x4F,
              kVkB = 0x42, kVkEsc = 0x1B, kVkTab = 0x09, kVkCaps = 0x14, kVkGrave = 0xC0, kVkLShift = 160,
              kVkLCtrl = 162;

}  // namespace

// ---- the key layout the previews follow -----------------------------------

TEST(PreviewKeys, HitCodesOfTheShippedLayout) {
  ASSERT_EQ(shipped().keyCount(), 105);
  EXPECT_EQ(keys().size(), 105u);
  std::set<int> codes;
  for (const PreviewKey& k : keys()) codes.insert(k.code);
  EXPECT_EQ(codes.size(), 105u);  // every key has its own code
  // Modifier keys by side, the Fn key and keypad Enter by the codes of their own.
  for (int code : {160, 161, 162, 163, 164, 165, 91, 0xFA, 0xFD}) EXPECT_TRUE(codes.count(code)) << code;
  const KeySlots s = slotsOf(shipped());
  EXPECT_EQ(s.findKeyByCode(kVkEsc), 0);
  EXPECT_EQ(s.findKeyByCode(kVkLShift), 74);
}

TEST(PreviewKeys, ColumnsRowsAndRings) {
  const auto columns = previewgroups::columns(keys(), 22);
  ASSERT_EQ(columns.size(), 22u);
  // The first column from the top: Esc, the key left of 1, Tab, Caps Lock,
  // left Shift, left Ctrl.
  EXPECT_EQ(columns[0], (std::vector<int>{kVkEsc, kVkGrave, kVkTab, kVkCaps, kVkLShift, kVkLCtrl}));
  std::size_t total = 0;
  for (const auto& c : columns) total += c.size();
  EXPECT_EQ(total, 105u);

  const auto rows = previewgroups::rows(keys(), 6);
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0].size(), 16u);  // the function-key row, Esc first
  EXPECT_EQ(first(rows, 0), kVkEsc);
  EXPECT_EQ(first(rows, 5), kVkLCtrl);

  // Ripple: O, then the keys around it.
  const PreviewKey* o = nullptr;
  for (const PreviewKey& k : keys())
    if (k.code == kVkO) o = &k;
  ASSERT_NE(o, nullptr);
  const auto rings = previewgroups::rings(keys(), (o->rect.left + o->rect.right) / 2.0,
                                          (o->rect.top + o->rect.bottom) / 2.0, 11, {kVkO});
  ASSERT_EQ(rings.size(), 11u);
  EXPECT_EQ(rings[0], std::vector<int>{kVkO});
  EXPECT_EQ(std::set<int>(rings[1].begin(), rings[1].end()), (std::set<int>{'9', '0', 'I', 'K', 'L', 'P'}));
  EXPECT_FALSE(rings[10].empty());

  const auto path = previewgroups::snakePath(keys());
  EXPECT_EQ(path.size(), 105u);
  EXPECT_EQ(std::set<int>(path.begin(), path.end()).size(), 105u);  // through every key once
  EXPECT_EQ(path.front(), kVkEsc);
  EXPECT_EQ(path[16], 0x6D);  // the second row runs back from keypad minus
}

TEST(PreviewKeys, EmptyLayoutGivesEmptyGroups) {
  const PreviewKeys none;
  EXPECT_EQ(previewgroups::columns(none, 21).size(), 21u);
  EXPECT_TRUE(previewgroups::snakePath(none).empty());
  // The previews that follow key codes light nothing without keys.
  for (int kind : {5, 7, 9, 12, 13, 15, 17, 23}) {
    KeySlots s;
    auto p = makeEffectPreview(BuildPreviewDescriptor(request(kind, 1, 5, kRed, true), none), kSeed);
    p->start(s);
    p->step(s);
    EXPECT_EQ(litCount(s), 0) << kind;  // no slot has a hit code
  }
}

// ---- the descriptor blocks -------------------------------------------------

TEST(PreviewDescriptor, HeaderKindAndIntervalPerEffectKind) {
  struct Case {
    int effectKind;
    std::uint32_t kind;
    std::uint32_t intervals[6];  // level 1 = 0, 1, 2, 3, 4, 5
  };
  const Case cases[] = {
      {1, 1, {0, 0, 0, 0, 0, 0}},          {2, 2, {10, 40, 30, 20, 10, 10}},  {3, 3, {3, 25, 16, 10, 3, 3}},
      {5, 5, {10, 28, 24, 18, 10, 10}},    {7, 7, {20, 20, 20, 20, 20, 20}},  {9, 14, {40, 40, 40, 40, 40, 40}},
      {12, 12, {35, 65, 50, 40, 35, 35}},  {13, 13, {10, 10, 10, 10, 10, 10}}, {15, 15, {40, 60, 50, 45, 40, 40}},
      {16, 16, {0, 280, 180, 110, 80, 0}}, {17, 17, {20, 20, 20, 20, 20, 20}}, {23, 23, {0, 0, 0, 0, 0, 0}},
      {0, 0, {0, 0, 0, 0, 0, 0}},          {4, 0, {0, 0, 0, 0, 0, 0}},        {14, 0, {0, 0, 0, 0, 0, 0}},
      {255, 0, {0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    for (int level1 = 0; level1 <= 5; ++level1) {
      const auto b = BuildPreviewDescriptor(request(c.effectKind, level1), keys());
      ASSERT_GE(b.size(), 12u);
      EXPECT_EQ(wordAt(b, 0), b.size()) << c.effectKind;
      EXPECT_EQ(wordAt(b, 4), c.kind) << c.effectKind;
      EXPECT_EQ(wordAt(b, 8), c.intervals[level1]) << c.effectKind << " level " << level1;
      EXPECT_EQ(makeEffectPreview(b, kSeed)->intervalMs(), static_cast<int>(c.intervals[level1]));
    }
  }
}

TEST(PreviewDescriptor, Brightness) {
  const std::map<int, int> expected = {{0, 8}, {1, 0}, {2, 3}, {3, 5}, {4, 8}, {5, 10}, {6, 8}, {-1, 8}};
  for (const auto& [level2, tenths] : expected) EXPECT_EQ(PreviewBrightness(level2), tenths) << level2;
}

// ---- kind 0 and unknown kinds ----------------------------------------------

TEST(NoPreview, LightsNothingAtFullAlpha) {
  for (std::uint32_t kind : {0u, 4u, 99u}) {
    Writer w(kind, 30);
    KeySlots s = slotsOf(shipped());
    s.colour.fill(0x123456);
    auto p = makeEffectPreview(w.finish(), kSeed);
    p->start(s);
    p->step(s);
    EXPECT_EQ(litCount(s), 0);
    EXPECT_EQ(s.alpha[0], 200);
    EXPECT_EQ(s.alpha[131], 200);
  }
}

// ---- 1, static ---------------------------------------------------------------

TEST(StaticPreview, OneColourScaledOnTheAnimatedSlots) {
  Play full(request(1, 1, 5, 0x204080));
  EXPECT_EQ(full.p->intervalMs(), 0);
  for (int i = 0; i < kViewSlots; ++i) EXPECT_EQ(full.slots.colour[static_cast<std::size_t>(i)], 0x204080u) << i;
  EXPECT_EQ(full.slots.alpha[5], 200);

  Play half(request(1, 1, 3, 0x204080));  // brightness 5 tenths
  EXPECT_EQ(half.slots.colour[0], 0x102040u);

  Play hundred(request(1, 1, 5, kGreen), 100);
  EXPECT_EQ(hundred.slots.colour[99], kGreen);
  EXPECT_EQ(hundred.slots.colour[100], 0u);

  Play dark(request(1, 1, 1, kGreen));  // brightness 0 fills no key
  EXPECT_EQ(litCount(dark.slots), 0);
}

TEST(StaticPreview, ColourfulNeverRepeatsTheSlotBefore) {
  Play r(request(1, 1, 5, kGreen, true));
  std::set<Colour> seen;
  for (int i = 0; i < kViewSlots; ++i) {
    const Colour c = r.slots.colour[static_cast<std::size_t>(i)];
    EXPECT_TRUE(kBasics.count(c)) << i;
    if (i > 0) {
      EXPECT_NE(c, r.slots.colour[static_cast<std::size_t>(i - 1)]) << i;
    }
    seen.insert(c);
  }
  EXPECT_EQ(seen.size(), 5u);
  Play again(request(1, 1, 5, kGreen, true));
  EXPECT_EQ(again.slots.colour, r.slots.colour);  // the seed decides
  Play other(request(1, 1, 5, kGreen, true), kViewSlots, kSeed + 1);
  EXPECT_NE(other.slots.colour, r.slots.colour);
}

// ---- 2, spectrum ---------------------------------------------------------------

TEST(SpectrumPreview, WalksTheColourList) {
  Play r(request(2, 1, 5));
  EXPECT_EQ(r.slots.colour[0], kRed);  // position 0
  r.steps(20);                         // position 20 of a 40-step segment
  EXPECT_EQ(r.slots.colour[0], 0x007F7Fu);
  EXPECT_EQ(r.slots.colour[131], 0x007F7Fu);
  r.steps(20);
  EXPECT_EQ(r.slots.colour[0], kGreen);
  r.steps(160);  // position 200 is back at 0
  EXPECT_EQ(r.slots.colour[0], kRed);

  Play dim(request(2, 1, 3));
  EXPECT_EQ(dim.slots.colour[0], 0x00007Fu);
  Play dark(request(2, 1, 1));
  dark.steps(30);
  EXPECT_EQ(litCount(dark.slots), 0);
}

TEST(SpectrumPreview, ColourAlongAList) {
  const std::vector<Colour> list = {kRed, kGreen, kBlue, kMagenta, kOrange, kRed};
  EXPECT_EQ(ColourAlongList(list, 200, 0), kRed);
  EXPECT_EQ(ColourAlongList(list, 200, 80), kBlue);
  EXPECT_EQ(ColourAlongList(list, 200, 199), 0x0003FFu);  // almost back at red from orange
  EXPECT_EQ(ColourAlongList({kGreen}, 200, 50), kGreen);
  EXPECT_EQ(ColourAlongList({}, 200, 50), 0u);
  EXPECT_EQ(ColourAlongList(list, 0, 0), kRed);
}

// ---- 3, breathing ----------------------------------------------------------

TEST(BreathingPreview, FadesAndRises) {
  PreviewRequest q = request(3, 1, 5, kOrange, false);  // colourful box shown, unchecked: one colour
  Play r(q);
  EXPECT_EQ(r.slots.alpha[0], 178);  // 180, then the first step
  EXPECT_EQ(r.slots.alpha[131], 178);
  EXPECT_EQ(r.slots.colour[0], kOrange);
  int lowest = 255, highest = 0;
  for (int i = 0; i < 400; ++i) {
    r.steps(1);
    lowest = std::min<int>(lowest, r.slots.alpha[0]);
    highest = std::max<int>(highest, r.slots.alpha[0]);
    ASSERT_EQ(r.slots.colour[0], kOrange);  // one colour keeps it
  }
  EXPECT_EQ(lowest, 4);
  EXPECT_EQ(highest, 182);
}

TEST(BreathingPreview, SixColoursChangeBelowTheMinimum) {
  PreviewRequest q = request(3, 1, 5, kOrange, true);
  Play r(q);
  EXPECT_EQ(r.slots.colour[0], kGreen);  // the list starts with green
  std::vector<Colour> shown = {kGreen};
  for (int i = 0; i < 1000; ++i) {
    const int before = r.slots.alpha[0];
    r.steps(1);
    const Colour c = r.slots.colour[0];
    if (c != shown.back()) {
      EXPECT_EQ(before, 4) << "changes only after passing below 5";
      shown.push_back(c);
    }
  }
  ASSERT_GE(shown.size(), 5u);
  const std::set<Colour> list = {kGreen, kRed, kCyan, kMagenta, kYellow, kBlue};
  for (Colour c : shown) EXPECT_TRUE(list.count(c));
  // Not shown when the box is hidden: the six colours then always cycle.
  q.colourful = false;
  q.colourfulShown = false;
  Play hidden(q);
  EXPECT_EQ(hidden.slots.colour[0], kGreen);
}

// ---- 5, snake ---------------------------------------------------------------

TEST(SnakePreview, TwelveKeysAlongThePath) {
  const auto path = previewgroups::snakePath(keys());
  Play r(request(5, 1, 3, 0x000080));  // factor 5 + 2 tenths
  EXPECT_EQ(litCodes(r.slots), std::set<int>{path[0]});
  EXPECT_EQ(colourOfKey(r.slots, path[0]), 0x000059u);  // 128 * 7 / 10
  r.steps(19);  // head 19: path 8..19
  EXPECT_EQ(litCodes(r.slots), std::set<int>(path.begin() + 8, path.begin() + 20));
  r.p->step(r.slots);
  EXPECT_EQ(litCodes(r.slots), std::set<int>(path.begin() + 9, path.begin() + 21));
  r.steps(static_cast<int>(path.size()) - 20);  // head back at 0
  EXPECT_EQ(litCodes(r.slots), std::set<int>{path[0]});

  Play bright(request(5, 1, 5, 0x0000E0));  // factor 12 tenths: 268 is brought back to 255
  EXPECT_EQ(colourOfKey(bright.slots, path[0]), 0x0000FFu);
}

TEST(SnakePreview, RandomColoursDifferFromTheOneBefore) {
  Play r(request(5, 1, 4, kRed, true));
  r.steps(30);
  EXPECT_EQ(litCount(r.slots), 12);
  for (int i = 0; i < kViewSlots; ++i) {
    const Colour c = r.slots.colour[static_cast<std::size_t>(i)];
    if (c != 0) {
      EXPECT_TRUE(kBasics.count(c)) << i;  // brightness 8 + 2: full channels
    }
  }
}

// ---- 7, 13, 17: waves ------------------------------------------------------

TEST(WavePreview, HoldThenFadeOnAHandMadeBlock) {
  // Two colours, hold 100 ms, fade 100 ms, 5 steps, interval 20: one group
  // at 0 and one at 180.
  for (std::uint32_t kind : {7u, 13u, 17u}) {
    Writer w(kind, 20);
    w.word(2);
    w.word(100);
    w.word(100);
    w.word(kind == 17 ? 100 : 5);
    w.word(kRed);
    w.word(kBlue);
    w.word(2);
    w.word(0);
    w.word(1);
    w.word(kVkEsc);
    w.word(180);
    w.word(1);
    w.word(kVkTab);
    Play r(w.finish());
    EXPECT_EQ(colourOfKey(r.slots, kVkEsc), kRed);
    EXPECT_EQ(alphaOfKey(r.slots, kVkEsc), 150);
    EXPECT_EQ(alphaOfKey(r.slots, kVkCaps), 200);  // not in a group
    EXPECT_EQ(colourOfKey(r.slots, kVkTab), kRed) << "in the fade, which starts from its first colour";
    r.steps(4);  // Esc at 80: still red
    EXPECT_EQ(colourOfKey(r.slots, kVkEsc), kRed);
    r.steps(1);  // Esc at 100: fading, counter 0
    EXPECT_EQ(colourOfKey(r.slots, kVkEsc), kRed);
    r.steps(1);  // Esc at 120: 1/5 of the way
    EXPECT_EQ(colourOfKey(r.slots, kVkEsc), 0x3300CCu);
    r.steps(4);  // Esc at 200: blue held
    EXPECT_EQ(colourOfKey(r.slots, kVkEsc), kBlue);
    r.steps(10);  // 400 is the cycle: back to 0 and red
    EXPECT_EQ(colourOfKey(r.slots, kVkEsc), kRed);
  }
}

TEST(WavePreview, ColumnWaveRunsAcross) {
  Play r(request(7, 1, 5));  // hold = fade = 600, groups 200 ms apart
  const auto columns = previewgroups::columns(keys(), 21);
  // Group 20 starts at 0 (magenta), group 14 at 1200 (yellow), group 17 at
  // 600, where the fade from magenta begins.
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 20)), kMagenta);
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 14)), kYellow);
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 17)), kMagenta);
  r.steps(15);  // group 17 halfway to yellow
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 17)), 0x7F7FFFu);
  EXPECT_EQ(alphaOfKey(r.slots, first(columns, 0)), 150);

  PreviewRequest noOption = request(7, 1, 5);
  noOption.level1Option = false;  // factor 8 whatever the brightness
  Play dim(noOption);
  EXPECT_EQ(colourOfKey(dim.slots, first(columns, 20)), 0xCC00CCu);
}

TEST(WavePreview, RingWaveStartsAtTheArrowKeys) {
  Play r(request(13, 1, 5));
  // The arrow keys are ring 0, which starts at 18/18 of the cycle: yellow
  // fading to green.
  for (int code : {kVkUp, kVkDown, kVkLeft, kVkRight}) {
    EXPECT_EQ(colourOfKey(r.slots, code), kYellow) << code;
    EXPECT_EQ(alphaOfKey(r.slots, code), 150);
  }
  Play dim(request(13, 1, 3));  // v = 5 * 255 / 10 = 127
  EXPECT_EQ(colourOfKey(dim.slots, kVkUp), 0x007F7Fu);
  r.steps(2);
  EXPECT_NE(colourOfKey(r.slots, kVkUp), kYellow);
}

TEST(WavePreview, RowWaveFromTheFunctionRow) {
  Play r(request(17, 1, 5));  // fade 1000, hold 20; row r at r * 1020
  const auto rows = previewgroups::rows(keys(), 6);
  const Colour expected[6] = {kMagenta, kOrange, kYellow, kGreen, 0x808000, kBlue};
  for (int row = 0; row < 6; ++row)
    for (int code : rows[static_cast<std::size_t>(row)]) EXPECT_EQ(colourOfKey(r.slots, code), expected[row]) << row;
  r.steps(26);  // 520 ms into the fade: 500 / 1000 of the way
  EXPECT_EQ(colourOfKey(r.slots, first(rows, 0)), 0x7F40FFu);
}

// ---- 12, frames -------------------------------------------------------------

TEST(FramesPreview, GrowsFromTheSpaceBarAndRestarts) {
  Play r(request(12, 1, 3, 0x0000C8));  // factor 7, previous frame 3
  EXPECT_EQ(litCodes(r.slots), std::set<int>{kVkSpace});
  EXPECT_EQ(colourOfKey(r.slots, kVkSpace), 0x00008Cu);  // 200 * 7 / 10
  r.steps(1);
  EXPECT_EQ(colourOfKey(r.slots, kVkB), 0x00008Cu);  // frame 1
  EXPECT_EQ(colourOfKey(r.slots, kVkSpace), 0x00003Cu);  // frame 0 at factor 3
  EXPECT_EQ(litCodes(r.slots), (std::set<int>{kVkSpace, kVkB}));
  r.steps(24);  // frame 25 is the last of 26
  const std::set<int> last = litCodes(r.slots);
  EXPECT_FALSE(last.empty());
  r.steps(1);  // index 26 restarts at 13, with frame 12 dimmer
  const std::set<int> restarted = litCodes(r.slots);
  EXPECT_FALSE(restarted.empty());
  EXPECT_EQ(restarted.count(kVkSpace), 0u);

  Play dark(request(12, 1, 1, 0x0000C8));  // brightness 0: factor 2, previous frame -2 (dark)
  dark.steps(1);
  EXPECT_EQ(colourOfKey(dark.slots, kVkB), 0x000028u);
  EXPECT_EQ(colourOfKey(dark.slots, kVkSpace), 0u);
}

// ---- 14, ripple -------------------------------------------------------------

TEST(RipplePreview, ColoursMoveOutwardFromO) {
  Play r(request(9, 1, 5));
  EXPECT_EQ(r.p->intervalMs(), 40);
  EXPECT_EQ(litCodes(r.slots), std::set<int>{kVkO});
  EXPECT_EQ(colourOfKey(r.slots, kVkO), kMagenta);
  r.steps(4);  // O took the colours 0..4: magenta four times, then cyan
  EXPECT_EQ(colourOfKey(r.slots, kVkO), kCyan);
  for (int code : {'9', '0', 'I', 'K', 'L', 'P'}) EXPECT_EQ(colourOfKey(r.slots, code), kMagenta) << code;
  r.steps(8);  // thirteen steps: index back at 0
  EXPECT_EQ(colourOfKey(r.slots, kVkO), kMagenta);
  EXPECT_EQ(colourOfKey(r.slots, 'K'), kYellow);
  r.steps(40);
  EXPECT_GT(litCount(r.slots), 100);
}

// ---- 15, rain ---------------------------------------------------------------

TEST(RainPreview, DropsRunDownTheColumns) {
  Play r(request(15, 1, 4, kBlue));  // brightness 8 counts as 10
  EXPECT_EQ(litCount(r.slots), 0);  // all idle: the start only starts drops
  r.steps(1);
  const auto columns = previewgroups::columns(keys(), 22);
  std::set<int> tops;
  for (const auto& c : columns)
    if (!c.empty()) tops.insert(c.front());  // the gaps between the key blocks leave some columns empty
  const std::set<int> lit = litCodes(r.slots);
  EXPECT_FALSE(lit.empty());
  for (int code : lit) {
    EXPECT_TRUE(tops.count(code)) << code;
    EXPECT_EQ(colourOfKey(r.slots, code), kBlue);
  }
  for (int i = 0; i < 200; ++i) {
    r.steps(1);
    for (const auto& c : columns) {
      int litInColumn = 0;
      for (int code : c) litInColumn += colourOfKey(r.slots, code) != 0;
      ASSERT_LE(litInColumn, 1) << "one drop per column";
    }
  }
}

// ---- 16, twinkle ------------------------------------------------------------

TEST(TwinklePreview, OneInSixFlashes) {
  Play r(request(16, 4, 5), 105);
  int lit = 0, steps = 0;
  std::array<Colour, kViewSlots> before = r.slots.colour;
  for (int i = 0; i < 300; ++i, ++steps) {
    r.steps(1);
    for (int s = 0; s < kViewSlots; ++s) {
      const Colour c = r.slots.colour[static_cast<std::size_t>(s)];
      if (s >= 105) {
        ASSERT_EQ(c, 0u);
      }
      if (c == 0) continue;
      ++lit;
      ASSERT_TRUE(kBasics.count(c));
      ASSERT_NE(c, before[static_cast<std::size_t>(s)]) << "a slot lit twice in a row changes colour";
    }
    before = r.slots.colour;
  }
  const double share = static_cast<double>(lit) / (steps * 105.0);
  EXPECT_GT(share, 0.12);
  EXPECT_LT(share, 0.22);
}

// ---- 23, static rainbow ----------------------------------------------------

TEST(RainbowPreview, ColumnsAlongTheGradient) {
  Play r(request(23, 1, 1, kGreen, true));  // alpha 100
  const auto columns = previewgroups::columns(keys(), 20);
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 0)), kRed);
  EXPECT_EQ(alphaOfKey(r.slots, first(columns, 0)), 100);
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 19)), kRed);  // the last group lies on the last point
  // Group 1: between red and yellow by 1 / 2.375.
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 1)), 0x006BFFu);
  EXPECT_EQ(colourOfKey(r.slots, first(columns, 9)), 0xFF3500u);  // cyan towards blue by 0.789

  Play one(request(23, 1, 4, 0x00FF80, false), 100);  // alpha 180, the colour as it is
  EXPECT_EQ(one.slots.colour[0], 0x00FF80u);
  EXPECT_EQ(one.slots.alpha[0], 180);
  EXPECT_EQ(one.slots.colour[100], 0u);
  for (int level2 : {2, 3, 5, 0}) {
    Play a(request(23, 1, level2, kGreen, false));
    EXPECT_EQ(a.slots.alpha[0], level2 == 2 ? 120 : level2 == 3 ? 150 : 200) << level2;
  }
}

// ---- repainting only what changed -------------------------------------------

TEST(PreviewChanges, OnlySlotsThatChangedAreMarked) {
  Play still(request(1, 1, 5, kGreen));
  EXPECT_EQ(still.slots.changed.count(), 132u);  // alpha and colour set by the start
  still.slots.changed.reset();
  still.steps(3);
  EXPECT_EQ(still.slots.changed.count(), 0u);  // the same picture again

  Play rainbow(request(23, 1, 5, kGreen, true));
  rainbow.slots.changed.reset();
  rainbow.steps(1);
  EXPECT_EQ(rainbow.slots.changed.count(), 0u);

  const auto path = previewgroups::snakePath(keys());
  Play snake(request(5, 1, 5, kGreen));
  snake.steps(30);
  snake.slots.changed.reset();
  snake.steps(1);  // head 31 comes, 19 goes
  const KeySlots& s = snake.slots;
  EXPECT_EQ(s.changed.count(), 2u);
  EXPECT_TRUE(s.changed.test(static_cast<std::size_t>(s.findKeyByCode(path[31]))));
  EXPECT_TRUE(s.changed.test(static_cast<std::size_t>(s.findKeyByCode(path[19]))));
}

// ---- what damaged files can make of the inputs -----------------------------

TEST(PreviewClamps, SlotCountOutOfRange) {
  for (int kind : {1, 2, 3, 16, 23}) {
    Play many(request(kind, 4, 5, kGreen), 100000);
    Play none(request(kind, 4, 5, kGreen), -7);
    many.steps(20);
    none.steps(20);
    EXPECT_EQ(litCount(none.slots), 0) << kind;
    if (kind != 16) {
      EXPECT_EQ(litCount(many.slots), kViewSlots) << kind;
    }
  }
}

TEST(PreviewClamps, LevelsOutsideTheSliders) {
  for (int kind : {1, 2, 3, 5, 7, 9, 12, 13, 15, 16, 17, 23})
    for (int level1 : {0, 5, -3, 1000000})
      for (int level2 : {0, 6, -1}) {
        const auto block = BuildPreviewDescriptor(request(kind, level1, level2, 0xFFFFFFFF, true), keys());
        Play r(block);
        r.steps(50);
        for (Colour c : r.slots.colour) ASSERT_EQ(c & 0xFF000000u, 0u) << kind;
      }
  // Level 1 of 0 divides nothing: the row wave fades over 1000 ms as for 1.
  const auto zero = BuildPreviewDescriptor(request(17, 0), keys());
  const auto one = BuildPreviewDescriptor(request(17, 1), keys());
  EXPECT_EQ(zero, one);
}

TEST(PreviewClamps, DamagedBlocksLightNothing) {
  for (int kind : {1, 2, 3, 5, 7, 9, 12, 13, 15, 16, 17, 23}) {
    const auto block = BuildPreviewDescriptor(request(kind, 2, 4, kGreen, true), keys());
    // Every cut of the block, with its size field left as it was and with
    // the size field telling the truth.
    for (std::size_t n = 0; n < block.size(); n += (n < 64 ? 1 : 37)) {
      for (bool fixSize : {false, true}) {
        std::vector<std::uint8_t> cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
        if (fixSize && n >= 4)
          for (int i = 0; i < 4; ++i) cut[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(n >> (8 * i));
        Play r(cut);
        r.steps(5);
        ASSERT_EQ(litCount(r.slots), 0) << "kind " << kind << " cut at " << n;
      }
    }
  }
}

TEST(PreviewClamps, HugeCountsAndZeroTimes) {
  // A group count far beyond the block fails instead of looping.
  for (std::uint32_t kind : {5u, 7u, 12u, 14u, 15u, 23u}) {
    Writer w(kind, 20);
    for (int i = 0; i < 8; ++i) w.word(0xFFFFFFF0u);
    Play r(w.finish());
    r.steps(3);
    EXPECT_EQ(litCount(r.slots), 0) << kind;
  }
  // A wave with no hold, no fade, no steps and no interval.
  Writer w(7, 0);
  w.word(2);
  w.word(0);
  w.word(0);
  w.word(0);
  w.word(kRed);
  w.word(kBlue);
  w.word(1);
  w.word(5000);
  w.word(1);
  w.word(kVkEsc);
  Play r(w.finish());
  r.steps(3);
  EXPECT_EQ(colourOfKey(r.slots, kVkEsc), kRed);
  // A spectrum of one colour and no steps, a breathing with limits at 0 and 255.
  Writer s(2, 10);
  for (std::uint32_t v : {1u, 0u, 7u, 10u, 0x00FF00u, 0u, 0u, 0u, 0u, 0u}) s.word(v);
  Play spectrum(s.finish());
  spectrum.steps(3);
  EXPECT_EQ(spectrum.slots.colour[3], kGreen);
  Writer b(3, 10);
  for (std::uint32_t v : {1u, 0u, 0u, 400u, 0xFF0000u, 10u, 1u, 0xFF0000u, 0u, 0u, 0u, 0u, 0u}) b.word(v);
  Play breathing(b.finish());
  EXPECT_EQ(breathing.slots.alpha[0], 253);  // 255, less one step
  breathing.steps(200);
  EXPECT_EQ(breathing.slots.colour[0], kBlue);
  // An interval beyond a minute is a damaged block: no timer.
  Writer slow(1, 3600000);
  slow.word(kRed);
  slow.word(0);
  slow.word(10);
  EXPECT_EQ(makeEffectPreview(slow.finish(), kSeed)->intervalMs(), 0);
}

TEST(PreviewClamps, CodesNoSlotHasLightNothing) {
  Writer w(5, 10);
  w.signedWord(0);
  w.word(kRed);
  w.signedWord(10);
  w.word(0);
  w.word(4);
  for (std::int32_t code : {-5, 300, 0x7FFFFFFF, kVkEsc}) w.signedWord(code);
  Play r(w.finish());
  r.steps(3);
  EXPECT_EQ(litCodes(r.slots), std::set<int>{kVkEsc});
}
