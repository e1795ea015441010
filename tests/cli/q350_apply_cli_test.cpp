// kavroctl q350 apply, run as a program against kbsim on a program folder
// written by the settings code: what reaches the keyboard, what is stored
// afterwards, and what a failed write leaves alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/registry.h"
#include "q350config/settings/settings_store.h"
#include "tests/sim/sim_fixture.h"
#include "tests/support/test_env.h"

using namespace q350;
using Bytes = std::vector<std::uint8_t>;

namespace {

std::uint32_t le32(const std::string& bytes, std::size_t offset) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

class Q350ApplyCli : public testsupport::SimFixture {
 protected:
  std::vector<std::string> keyboards() const override { return {"q350"}; }

  void SetUp() override {
    SimFixture::SetUp();
    std::filesystem::create_symlink(KAVRO_QUILLFEN_PATH, dir.file("libQuillfen.so"));
    SettingsStore store(dir.path());
    store.setPauseFunction([](unsigned) {});
    dir.write("Macro.cfg", std::string(MacroLibrary::kFileSize, '\0'));
    MacroImage macro;
    macro.size = 104 + 4 * 2;
    macro.id = 0x15000001;
    macro.repeat = kRepeatToggle;
    macro.events = {makeEvent(kEventPress, 0x42), makeEvent(kEventRelease, 0x42)};
    ASSERT_TRUE(store.StoreMacroImage(macro));
    platform::makeFolders(dir.file("Profile"));

    // Profile 1: one colour for all zones and a macro key.
    ASSERT_TRUE(store.CreateDefaultProfile(store.profilePath(0)));
    macroKey = KeyList()[0].matrixIndex;
    store.keyMap[macroKey] = kKindMacro;
    store.keyExtra.setMacroId(macroKey, 0x15000001);
    ProfileSettings& s = store.profileSettings;
    s.allZones = 1;
    s.commonColour = rgb(0x00, 0x80, 0xFF);
    for (std::size_t z = 0; z < kZoneCount; ++z) s.zoneColour[z] = rgb(255, 0, static_cast<std::uint8_t>(z));
    s.lightingMode = 2;
    ASSERT_TRUE(store.SaveCurrentProfile());
    // Profile 2: every zone its own colour.
    s.allZones = 0;
    s.lightingMode = 4;
    ProfileImage second{s, store.keyExtra};
    second.settings.keyMap = store.keyMap;
    ASSERT_TRUE(platform::writeFileAtomic(store.profilePath(1), second.toBytes()));
    profile1 = store.profilePath(0);
  }

  testsupport::ProcessResult apply(const std::string& extra = {}) {
    return testsupport::runKavroctl("q350 apply --program-dir " + testsupport::shellQuote(dir.path()) + extra, dir);
  }
  Bytes memory(std::size_t address, std::size_t size) {
    Bytes all;
    EXPECT_TRUE(sim.control().dump(0, all));
    return Bytes(all.begin() + static_cast<std::ptrdiff_t>(address),
                 all.begin() + static_cast<std::ptrdiff_t>(address + size));
  }
  // The active flags of the five entries of the stored profile table.
  std::string activeProfiles() {
    platform::RegistryKey key;
    std::uint32_t type = 0;
    std::string value;
    if (key.open(kProfileTableKey) != platform::kRegOk ||
        key.queryValue(kProfileTableValue, type, value) != platform::kRegOk)
      return "no table";
    const ProfileTable table = ProfileTable::fromBytes(value);
    std::string flags;
    for (const ProfileEntry& e : table.entries) flags += e.active ? '1' : '0';
    return flags;
  }

  testsupport::TempDir dir;
  std::string profile1;
  std::uint32_t macroKey = 0;
};

TEST_F(Q350ApplyCli, WritesTheActiveProfileAndStoresIt) {
  const testsupport::ProcessResult r = apply();
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("progress   0%\nprogress   5%\nprogress  10%\nprogress  15%\nprogress  20%\n"
                       "progress  50%\nprogress  70%\nprogress  95%\nprogress 100%\n"),
            std::string::npos)
      << r.out;

  // allZones 1 without a lighting page: every zone gets the common colour.
  const Bytes zones = memory(0x00B2, 21);
  for (std::size_t z = 0; z < kZoneCount; ++z)
    EXPECT_EQ(Bytes(zones.begin() + 3 * z, zones.begin() + 3 * z + 3), (Bytes{0x00, 0x32, 0x64})) << z;
  EXPECT_EQ(memory(0x00AA, 1), Bytes{2});
  EXPECT_EQ(memory(0x0000, 1), Bytes{1}) << "the control byte";
  // The macro key went out resolved to slot 0 (toggle), its macro in slot 0.
  EXPECT_EQ(memory(0x0380 + 4 * macroKey, 4), (Bytes{0x05, 0x00, 0x01, 0x00}));
  EXPECT_EQ(memory(0x0A10, 10), (Bytes{0x02, 0, 0, 0, 0x00, 0xA0, 0x05, 0x00, 0x20, 0x05}));

  // Stored as on message 1795: the table, and the profile with the
  // resolved key.
  EXPECT_EQ(activeProfiles(), "10000");
  const std::string saved = testsupport::readAll(profile1);
  ASSERT_EQ(saved.size(), kProfileFileSize);
  EXPECT_EQ(le32(saved, ProfileSettings::kKeyMapOffset + 4 * macroKey), 0x00010005u);
}

TEST_F(Q350ApplyCli, ChosenProfileWithItsOwnZoneColours) {
  const testsupport::ProcessResult r = apply(" --profile 2");
  ASSERT_EQ(r.status, 0) << r.err;
  const Bytes zones = memory(0x00B2, 21);
  for (std::size_t z = 0; z < kZoneCount; ++z)
    EXPECT_EQ(Bytes(zones.begin() + 3 * z, zones.begin() + 3 * z + 3),
              (Bytes{100, 0, static_cast<std::uint8_t>(z * 100 / 255)}))
        << z;
  EXPECT_EQ(memory(0x00AA, 1), Bytes{4});
  EXPECT_EQ(activeProfiles(), "01000");
}

TEST_F(Q350ApplyCli, FailuresLeaveTheFilesAlone) {
  const std::string before = testsupport::readAll(profile1);
  ASSERT_TRUE(sim.control().failNext(0, 1000));
  testsupport::ProcessResult r = apply();
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("Setting Error"), std::string::npos) << r.err;
  EXPECT_EQ(r.out.find("progress 100%"), std::string::npos);
  EXPECT_EQ(testsupport::readAll(profile1), before) << "nothing is stored after a failed write";
  ASSERT_TRUE(sim.control().clearFaults(0));

  r = apply(" --profile 6");
  EXPECT_EQ(r.status, 2);
  ASSERT_TRUE(sim.control().unplug(0));
  r = apply();
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find("no Q350 keyboard"), std::string::npos) << r.err;
}

}  // namespace
