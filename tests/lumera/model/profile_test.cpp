#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "lumera/model/bytes.h"
#include "lumera/model/lighting.h"
#include "lumera/model/log.h"
#include "lumera/model/matrix.h"
#include "lumera/model/profile.h"
#include "tests/lumera/model/model_test_util.h"
#include "tests/support/test_env.h"

using namespace lumera;
using lumera::test::DebugCapture;
using lumera::test::FixedClock;
using lumera::test::MessageCapture;
using testsupport::TempDir;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes imageOf(const ProfileRecord& p) {
  Bytes b(kProfileRecordSize);
  writeProfileRecord(b.data(), p);
  return b;
}

ProfileRecord sample(std::int32_t id) {
  ProfileRecord p;
  p.id = id;
  setProfileName(p, u"Profile " + std::u16string(1, static_cast<char16_t>(u'0' + id % 10)));
  return p;
}

}  // namespace

TEST(ProfileRecord, ImageHasTheDocumentedOffsets) {
  ProfileRecord p = sample(0x1234);
  setProfileProgramName(p, u"game.exe");
  p.reserved[43] = 0x44;
  p.keys[0].funA.dwFunID = 0x020000A0;
  p.keys[131].funB.dwParam = 0xCAFE;
  p.effectIndex = 16;
  p.lightingSwitch = 1;
  p.effects[0].level1 = 5;
  p.effects[16].high = 1;
  p.colourGroup = 4;
  p.groupTouched = {1, 2, 3, 4, 5};
  p.reserved2 = 6;
  p.groupColours[0][0] = 0x112233;
  p.groupColours[4][131] = 0x445566;
  p.colourA[0] = 0xFF;
  p.colourB[4] = 0xAB;
  p.gestures[6].nFnIndex = 9;
  const Bytes b = imageOf(p);
  const std::uint8_t* d = b.data();
  EXPECT_EQ(getU32(d), 0xFCFB7795u);
  EXPECT_EQ(getU32(d + 4), 0x1234u);
  EXPECT_EQ(getU16(d + 8), u'g');
  EXPECT_EQ(getU16(d + 528), u'P');
  EXPECT_EQ(d[568 + 43], 0x44);
  EXPECT_EQ(getU32(d + 612), 0x020000A0u);
  EXPECT_EQ(getU32(d + 612 + 131 * 76 + 40 + 32), 0xCAFEu);
  EXPECT_EQ(getU32(d + 10644), 16u);
  EXPECT_EQ(getU32(d + 10648), 1u);
  EXPECT_EQ(getU32(d + 10652), 5u);
  EXPECT_EQ(getU32(d + 10652 + 16 * 52 + 48), 1u);
  EXPECT_EQ(getU16(d + 11536), 4);
  EXPECT_EQ(Bytes(d + 11538, d + 11544), (Bytes{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(getU32(d + 11544), 0x112233u);
  EXPECT_EQ(getU32(d + 11544 + (4 * 132 + 131) * 4), 0x445566u);
  EXPECT_EQ(getU32(d + 14184), 0xFFu);
  EXPECT_EQ(getU32(d + 14204 + 16), 0xABu);
  EXPECT_EQ(getI32(d + 14224 + 6 * 76 + 36), 9);
  EXPECT_EQ(imageOf(readProfileRecord(d)), b);
}

TEST(Profiles, NewAndResetFollowTheConfiguration) {
  LumeraConfig cfg;
  cfg.keyLayout()[3].funA.dwFunID = 0x020000A0;
  cfg.keyLayout()[3].nFnIndex = 2;
  cfg.gestureLayout()[1].funA.dwFunID = 0x04000026;
  FixedClock clock({2024, 1, 1, 1, 2, 3, 4});
  ProfileRecord p = NewProfile(u"A name longer than nineteen", cfg, clock);
  EXPECT_EQ(p.magic, kProfileMagic);
  EXPECT_EQ(p.id, 0x108304);
  EXPECT_EQ(clock.slept(), 20u);
  EXPECT_EQ(profileName(p), u"A name longer than ");
  EXPECT_EQ(p.keys, cfg.keyLayout());
  EXPECT_EQ(p.gestures, cfg.gestureLayout());
  EXPECT_EQ(p.lightingSwitch, 1u);

  setProfileProgramName(p, u"x.exe");
  p.reserved[0] = 1;
  p.keys[3].funA.dwFunID = 0x08000023;
  p.groupColours[1][1] = 5;
  ResetProfile(p, cfg);
  EXPECT_EQ(p.id, 0x108304);
  EXPECT_EQ(profileName(p), u"A name longer than ");
  EXPECT_EQ(profileProgramName(p), u"");
  EXPECT_EQ(p.reserved[0], 0);
  EXPECT_EQ(p.keys[3].funA.dwFunID, 0x020000A0u);
  EXPECT_EQ(p.groupColours[1][1], 0u);
}

TEST(ProfileFiles, SlotsAreCompactedAndAtMostFortySaved) {
  TempDir dir;
  Bytes file(kProfileFileSize, 0);
  writeProfileRecord(file.data(), sample(11));
  writeProfileRecord(file.data() + 5 * kProfileRecordSize, sample(12));
  dir.write("pro.dct", std::string(file.begin(), file.end()));
  ProfileList list;
  std::vector<int> slots;
  ASSERT_TRUE(LoadProfiles(dir.path(), list, &slots));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(slots, (std::vector<int>{0, 5}));
  EXPECT_EQ(profileName(list[1]), u"Profile 2");

  list.insert(list.begin() + 1, ProfileRecord{});  // id 0: never stored
  ASSERT_TRUE(SaveProfiles(dir.path(), list));
  const std::string saved = testsupport::readAll(dir.file("pro.dct"));
  ASSERT_EQ(saved.size(), kProfileFileSize);
  const auto* d = reinterpret_cast<const std::uint8_t*>(saved.data());
  EXPECT_EQ(getI32(d + 4), 11);
  EXPECT_EQ(getI32(d + kProfileRecordSize + 4), 12);
  EXPECT_EQ(Bytes(d + 2 * kProfileRecordSize, d + kProfileFileSize), Bytes(kProfileFileSize - 2 * kProfileRecordSize, 0));

  ProfileList many;
  for (int i = 1; i <= 41; ++i) many.push_back(sample(i));
  ASSERT_TRUE(SaveProfiles(dir.path(), many));
  ASSERT_TRUE(LoadProfiles(dir.path(), list));
  ASSERT_EQ(list.size(), 40u);
  EXPECT_EQ(list.back().id, 40);
  for (std::size_t i = 0; i < list.size(); ++i) EXPECT_EQ(imageOf(list[i]), imageOf(many[i]));
  // Only the file itself is left: no temporary files beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
}

TEST(ProfileFiles, ShortLongMissingAndGarbageFiles) {
  TempDir dir;
  Bytes two(kProfileRecordSize + 100, 0);
  writeProfileRecord(two.data(), sample(1));
  ProfileRecord cut = sample(2);
  cut.keys[0].funA.dwFunID = 0x020000A0;  // beyond the end of the file
  Bytes second(kProfileRecordSize);
  writeProfileRecord(second.data(), cut);
  std::copy_n(second.begin(), 100, two.begin() + kProfileRecordSize);
  dir.write("pro.dct", std::string(two.begin(), two.end()));
  ProfileList list;
  ASSERT_TRUE(LoadProfiles(dir.path(), list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].id, 2);
  EXPECT_EQ(list[1].keys[0].funA.dwFunID, 0u);  // read as zero from where the file ends

  std::string longer(kProfileFileSize + 5000, '\0');
  Bytes last(kProfileRecordSize);
  writeProfileRecord(last.data(), sample(9));
  std::copy(last.begin(), last.end(), longer.begin() + 39 * kProfileRecordSize);
  longer[kProfileFileSize + 4] = 1;  // a slot after the fortieth is not one
  dir.write("pro.dct", longer);
  ASSERT_TRUE(LoadProfiles(dir.path(), list));
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].id, 9);

  TempDir empty;
  DebugCapture debug;
  theLog().setup(1, "");
  list.resize(3);
  EXPECT_FALSE(LoadProfiles(empty.path(), list));
  EXPECT_TRUE(list.empty());
  // A file that cannot even be created is logged as such, not as a failed write.
  EXPECT_FALSE(SaveProfiles(empty.file("no/such/folder"), list));
  theLog().setup(0, "");
  EXPECT_EQ(debug.lines(), (std::vector<std::string>{"Open pro file err=2", "Save pro: CreateFile err=2"}));

  // Garbage profiles load, and every encoder copes with their indices.
  std::mt19937 random(11);
  std::string garbage(kProfileFileSize, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  dir.write("pro.dct", garbage);
  ASSERT_TRUE(LoadProfiles(dir.path(), list));
  ASSERT_FALSE(list.empty());
  LumeraConfig cfg;
  for (int k = 0; k < kKeyCount; ++k) {
    cfg.keyLayout()[static_cast<std::size_t>(k)].funA.dwFunID = 0x020000A0;
    cfg.keyLayout()[static_cast<std::size_t>(k)].funA.dwMatrixInx = k;
    cfg.ledLayout()[static_cast<std::size_t>(k)].funA.dwMatrixInx = k;
  }
  cfg.setLedCount(kKeyCount);
  MacroList macros(3);
  for (std::size_t i = 0; i < macros.size(); ++i) macros[i].id = list[0].keys[i].funA.nMacroId;
  MessageCapture quiet;
  for (const ProfileRecord& p : list) {
    KeyMatrix m;
    FillMatrix(p, macros, cfg, m);
    std::uint8_t pro[64] = {}, table[kColorTableSize];
    FillProLighting(p, cfg, pro);
    BuildColorTable(p, table);
    cfg.options().GameModeNumHw = 1;
    EXPECT_EQ(BuildColorFrames(p, cfg).size(), 1u);
  }
}

TEST(ProfileFiles, CurrentIdRoundTrip) {
  TempDir dir;
  EXPECT_EQ(LoadCurrentId(dir.path()), 0);
  EXPECT_FALSE(SaveCurrentId(dir.path(), nullptr));
  EXPECT_FALSE(std::filesystem::exists(dir.file("curid.dct")));
  const ProfileRecord p = sample(-123456);
  ASSERT_TRUE(SaveCurrentId(dir.path(), &p));
  EXPECT_EQ(testsupport::readAll(dir.file("curid.dct")), std::string("\xC0\x1D\xFE\xFF", 4));
  EXPECT_EQ(LoadCurrentId(dir.path()), -123456);
  dir.write("curid.dct", "\x01\x02");
  EXPECT_EQ(LoadCurrentId(dir.path()), 0);
}
