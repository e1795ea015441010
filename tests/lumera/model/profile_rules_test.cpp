// The main window's profile rules: top-up, defaults and hit codes, the
// shared macro buffer limit, the in-use test, sanitised stored values and
// matching running programs.
#include <gtest/gtest.h>

#include <set>

#include "lumera/model/profile_rules.h"
#include "tests/support/test_env.h"

using namespace lumera;

namespace {

class NamedTexts final : public TextLookup {
 public:
  std::u16string text(std::string_view key) const override { return key == "tc_proname" ? u"Profile " : u""; }
};

ProfileRecord withId(std::int32_t id) {
  ProfileRecord p;
  p.id = id;
  return p;
}

KeyFunction macroFunction(std::int32_t id) {
  KeyFunction f;
  f.dwFunID = 0x05000000;
  f.nMacroId = id;
  return f;
}

MacroList library(int count) {
  MacroList list;
  for (int i = 1; i <= count; ++i) {
    MacroRecord m;
    m.id = 1000 + i;
    list.push_back(m);
  }
  return list;
}

}  // namespace

TEST(ProfileRules, TopUpOnlyWhenFewerThanThree) {
  const LumeraConfig config;
  const NamedTexts texts;
  struct Case {
    std::size_t stored, expected;
  };
  for (const Case c : {Case{0, 3}, Case{1, 4}, Case{2, 5}, Case{3, 3}, Case{5, 5}}) {
    ProfileList list;
    for (std::size_t i = 0; i < c.stored; ++i) list.push_back(withId(static_cast<std::int32_t>(i + 1)));
    TopUpProfiles(list, config, texts);
    ASSERT_EQ(list.size(), c.expected) << "stored " << c.stored;
    for (std::size_t i = 0; i < c.stored; ++i) EXPECT_EQ(list[i].id, static_cast<std::int32_t>(i + 1));
    if (c.expected > c.stored) {
      std::set<std::int32_t> ids;
      for (std::size_t i = c.stored; i < list.size(); ++i) {
        EXPECT_EQ(profileName(list[i]), u"Profile " + std::u16string(1, static_cast<char16_t>(u'1' + (i - c.stored))));
        EXPECT_NE(list[i].id, 0);
        ids.insert(list[i].id);
      }
      EXPECT_EQ(ids.size(), 3u) << "each new profile has its own id";
    }
  }
  // Topping up again changes nothing: 5 stays 5.
  ProfileList five;
  for (int i = 1; i <= 5; ++i) five.push_back(withId(i));
  EXPECT_EQ(TopUpProfiles(five, config, texts), 0);
  EXPECT_EQ(five.size(), 5u);
}

TEST(ProfileRules, DefaultFunctionAndHitCodes) {
  KeyFunction layout;
  layout.dwFunID = 0x020000A0;
  layout.stCombo = {0, 0x41, 0, 0};
  KeyFunction same = layout;
  same.stCombo.canonical = 7;  // the fourth byte does not count
  same.nMacroId = 9;
  EXPECT_TRUE(IsDefaultFunction(same, layout));
  for (auto change : {+[](KeyFunction& f) { f.dwFunID = 0x020000A1; }, +[](KeyFunction& f) { f.stCombo.mask = 1; },
                      +[](KeyFunction& f) { f.stCombo.VkCode1 = 0x42; }, +[](KeyFunction& f) { f.stCombo.VkCode2 = 1; }}) {
    KeyFunction f = layout;
    change(f);
    EXPECT_FALSE(IsDefaultFunction(f, layout));
  }

  struct Case {
    std::uint8_t mask, vk, canonical;
    int hit;
  };
  for (const Case c : {Case{0, 0x41, 0, 0x41}, Case{kModLShift, 0, 0x10, 160}, Case{kModRShift, 0, 0xA1, 161},
                       Case{kModLCtrl, 0, 0x11, 162}, Case{kModRCtrl, 0, 0xA3, 163}, Case{kModLAlt, 0, 0x12, 164},
                       Case{kModRAlt, 0, 0xA5, 165}, Case{kModLWin, 0, 0x5B, 91}, Case{kModRWin, 0, 0x5C, 92},
                       Case{0, 0xFA, 0, 250}, Case{0, 0xFD, 0, 253}}) {
    KeyInfo k;
    k.funA.dwFunID = 0x020000A0;
    k.funA.stCombo = {c.mask, c.vk, 0, c.canonical};
    EXPECT_EQ(ViewHitCode(k), c.hit) << int(c.mask) << " " << int(c.vk);
  }
  for (int code = 248; code <= 255; ++code)
    EXPECT_EQ(IsNotRealKeyCode(code), code == 251 || code == 252 || code == 254 || code == 255) << code;
}

TEST(ProfileRules, MacroBuffersAreSharedByKeysAndGestures) {
  const MacroList macros = library(40);
  ProfileRecord p = withId(1);
  // 31 distinct macros on keys, one of them twice, and one on a gesture.
  for (int i = 0; i < 31; ++i) p.keys[static_cast<std::size_t>(i)].funA = macroFunction(1001 + i);
  p.keys[40].funA = macroFunction(1001);
  EXPECT_EQ(DistinctMacroCount(p, macros), 31);
  EXPECT_TRUE(MacroFitsBuffers(p, 1035, macros, 32)) << "the 32nd macro fits";
  p.gestures[0].funA = macroFunction(1032);
  EXPECT_EQ(DistinctMacroCount(p, macros), 32);
  EXPECT_FALSE(MacroFitsBuffers(p, 1035, macros, 32)) << "the gesture took the last buffer";
  EXPECT_TRUE(MacroFitsBuffers(p, 1005, macros, 32)) << "a macro already used always fits";
  EXPECT_TRUE(MacroFitsBuffers(p, 1032, macros, 32));

  // Macros the library no longer holds take no buffer.
  const MacroList fewer = library(20);
  EXPECT_EQ(DistinctMacroCount(p, fewer), 20);
  EXPECT_TRUE(MacroFitsBuffers(p, 1035, fewer, 32));
  // The count stops at the cap.
  EXPECT_EQ(DistinctMacroCount(p, macros, 10), 10);
}

TEST(ProfileRules, MacroInUseLooksAtEveryProfileAndTheGestures) {
  ProfileList list{withId(1), withId(2), withId(3), withId(4)};
  EXPECT_FALSE(MacroInUse(list, 77));
  list[3].keys[5].funA = macroFunction(77);  // the fourth profile: no button, still in use
  EXPECT_TRUE(MacroInUse(list, 77));
  list[3].keys[5].funA = KeyFunction{};
  list[1].gestures[2].funA = macroFunction(77);
  EXPECT_TRUE(MacroInUse(list, 77));
  list[1].gestures[2].funA = KeyFunction{};
  list[0].keys[9].nFnIndex = 0;
  list[0].keys[9].funB = macroFunction(77);
  EXPECT_TRUE(MacroInUse(list, 77));
  // A macro id left in a key that is not a macro function does not count.
  list[0].keys[9].nFnIndex = -1;
  list[2].keys[1].funA.dwFunID = 0x020000A0;
  list[2].keys[1].funA.nMacroId = 77;
  EXPECT_FALSE(MacroInUse(list, 77));
}

TEST(ProfileRules, StoredIndicesOutsideTheirTablesAreSanitised) {
  testsupport::TempDir dir;
  ProfileList list{withId(1), withId(2)};
  list[0].effectIndex = 17;
  list[0].colourGroup = 5;
  list[0].effects[3].colourIndex = 7;
  list[1].effectIndex = 16;
  list[1].colourGroup = 4;
  list[1].effects[3].colourIndex = 6;
  ASSERT_TRUE(SaveProfiles(dir.path(), list));
  ProfileList read;
  ASSERT_TRUE(LoadProfiles(dir.path(), read));
  ASSERT_EQ(read.size(), 2u);
  EXPECT_EQ(read[0].effectIndex, 0);
  EXPECT_EQ(read[0].colourGroup, 0);
  EXPECT_EQ(read[0].effects[3].colourIndex, 0u);
  EXPECT_EQ(read[1].effectIndex, 16) << "values in range stay";
  EXPECT_EQ(read[1].colourGroup, 4);
  EXPECT_EQ(read[1].effects[3].colourIndex, 6u);
  ProfileRecord negative = withId(3);
  negative.effectIndex = -1;
  EXPECT_TRUE(SanitiseProfile(negative));
  EXPECT_EQ(negative.effectIndex, 0);
  EXPECT_FALSE(SanitiseProfile(negative));
}

TEST(ProfileRules, ProgramNamesMatchAnyNameOfAProcessIgnoringCase) {
  const platform::ProcessInfo wine{10, "wine64-preloader", "Game.EXE", "Game.EXE"};
  const platform::ProcessInfo native{11, "supertuxkart", "supertuxkart", "supertuxkart"};
  const platform::ProcessInfo onlyComm{12, "", "", "steam"};
  EXPECT_TRUE(ProgramMatches(u"game.exe", wine));
  EXPECT_TRUE(ProgramMatches(u"GAME", wine));
  EXPECT_TRUE(ProgramMatches(u"tuxk", native)) << "a part of the name matches";
  EXPECT_TRUE(ProgramMatches(u"Steam", onlyComm));
  EXPECT_FALSE(ProgramMatches(u"game.exe", native));
  EXPECT_FALSE(ProgramMatches(u"", native)) << "an empty name matches nothing";

  ProfileList list{withId(1), withId(2), withId(3)};
  setProfileProgramName(list[1], u"tuxkart");
  setProfileProgramName(list[2], u"game.exe");
  std::vector<int> pids;
  EXPECT_EQ(FindProfileForProcesses(list, {wine, onlyComm}, &pids), 2);
  EXPECT_EQ(pids, std::vector<int>{10});
  EXPECT_EQ(FindProfileForProcesses(list, {wine, native, onlyComm}, &pids), 1) << "the first profile wins";
  EXPECT_EQ(pids, std::vector<int>{11});
  EXPECT_EQ(FindProfileForProcesses(list, {onlyComm}, &pids), -1);
  EXPECT_TRUE(pids.empty());
}
