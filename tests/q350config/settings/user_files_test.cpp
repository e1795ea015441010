// Where the writable files go: the program folder where it can be written,
// else a per-user copy seeded from the shipped files, which the settings
// then read and write while the shipped files stay as they were.
#include <gtest/gtest.h>

#include <string>

#include "platform/paths.h"
#include "q350config/settings/macro_library.h"
#include "q350config/settings/settings_store.h"
#include "q350config/settings/user_files.h"
#include "tests/support/test_env.h"

using namespace q350;

namespace {

std::string g_readOnly;  // paths under this folder count as read-only

bool notUnderReadOnly(const std::string& path) { return g_readOnly.empty() || path.rfind(g_readOnly, 0) != 0; }

class UserFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // What an install ships: a cleared macro library, one factory profile
    // and the update manifest.
    program.write("Macro.cfg", std::string(MacroLibrary::kFileSize, '\0'));
    program.write("update/update.xml", "<update/>");
    SettingsStore shipped(program.path() + "/");
    platform::makeFolders(program.file("Profile"));
    ASSERT_TRUE(shipped.CreateDefaultProfile(shipped.profilePath(0)));
    shippedProfile = testsupport::readAll(program.file("Profile/Profile1.cfg"));
    shippedLibrary = testsupport::readAll(program.file("Macro.cfg"));
    SetWritableCheck(&notUnderReadOnly);
  }
  void TearDown() override {
    SetWritableCheck(nullptr);
    g_readOnly.clear();
  }
  void makeReadOnly() { g_readOnly = program.path(); }

  testsupport::TempDir program, data;
  testsupport::ScopedEnv dataHome{"XDG_DATA_HOME", data.path()};
  std::string shippedProfile, shippedLibrary;
};

TEST_F(UserFilesTest, AWritableProgramFolderIsUsedAsItIs) {
  EXPECT_TRUE(IsWritableInPlace(program.path()));
  EXPECT_EQ(ResolveDataFolder(program.path()), program.path() + "/");
  EXPECT_FALSE(platform::isDirectory(PerUserDataFolder())) << "nothing is copied";
  EXPECT_EQ(PerUserDataFolder(), data.path() + "/kavro/Q350/");
}

TEST_F(UserFilesTest, AReadOnlyProgramFolderGetsASeededPerUserCopy) {
  makeReadOnly();
  EXPECT_FALSE(IsWritableInPlace(program.path()));
  const std::string user = ResolveDataFolder(program.path());
  EXPECT_EQ(user, PerUserDataFolder());
  EXPECT_EQ(testsupport::readAll(user + "Macro.cfg"), shippedLibrary);
  EXPECT_EQ(testsupport::readAll(user + "Profile/Profile1.cfg"), shippedProfile);
  EXPECT_EQ(testsupport::readAll(user + "update/update.xml"), "<update/>");

  // Seeding never overwrites what the user has.
  ASSERT_TRUE(platform::writeFileAtomic(user + "update/update.xml", "<mine/>"));
  EXPECT_EQ(ResolveDataFolder(program.path()), user);
  EXPECT_EQ(testsupport::readAll(user + "update/update.xml"), "<mine/>");
}

TEST_F(UserFilesTest, SavesLandInThePerUserCopyAndTheShippedFilesStay) {
  makeReadOnly();
  SettingsStore store(ResolveDataFolder(program.path()));
  store.setPauseFunction([](unsigned) {});
  store.LoadProfileTable();
  ASSERT_TRUE(store.LoadMacroLibrary());
  store.profileSettings.lightingMode = 3;
  ASSERT_TRUE(store.SaveCurrentProfile());
  MacroImage macro;
  macro.size = 104 + 4 * 2;
  macro.id = 0x15000007;
  macro.events = {makeEvent(kEventPress, 0x41), makeEvent(kEventRelease, 0x41)};
  ASSERT_TRUE(store.StoreMacroImage(macro));
  EXPECT_TRUE(store.profilePath(0).rfind(PerUserDataFolder(), 0) == 0) << store.profilePath(0);

  EXPECT_EQ(testsupport::readAll(program.file("Profile/Profile1.cfg")), shippedProfile);
  EXPECT_EQ(testsupport::readAll(program.file("Macro.cfg")), shippedLibrary);
  EXPECT_NE(testsupport::readAll(PerUserDataFolder() + "Profile/Profile1.cfg"), shippedProfile);
  EXPECT_NE(testsupport::readAll(PerUserDataFolder() + "Macro.cfg"), shippedLibrary);

  // A second start (or kavroctl) resolving the same folder sees the saves.
  SettingsStore again(ResolveDataFolder(program.path()));
  again.LoadProfileTable();
  EXPECT_EQ(again.profileSettings.lightingMode, 3);
  ASSERT_TRUE(again.LoadMacroLibrary());
  EXPECT_NE(again.macroLibrary.find(0x15000007), nullptr);
}

}  // namespace
