// The settings files and the profile table: load, create and save paths,
// their messages, and what start-up makes of missing or damaged stores.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <map>

#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "q350config/settings/byteorder.h"
#include "q350config/settings/settings_store.h"
#include "tests/support/test_env.h"

using namespace q350;
using testsupport::readAll;

namespace {

struct CapturingSink : MessageSink {
  std::vector<UserMessage> shown;
  void show(const UserMessage& m) override { shown.push_back(m); }
  std::vector<std::string> texts() const {
    std::vector<std::string> r;
    for (const UserMessage& m : shown) r.push_back(platform::toUtf8(m.text));
    return r;
  }
};

struct MapTexts : TextLookup {
  std::map<std::string, std::u16string> texts;
  std::u16string text(std::string_view key) const override {
    const auto it = texts.find(std::string(key));
    return it == texts.end() ? std::u16string() : it->second;
  }
};

std::uint32_t le32At(const std::string& bytes, std::size_t offset) {
  return getLe32(reinterpret_cast<const unsigned char*>(bytes.data()) + offset);
}

// A profile file image with recognisable content.
std::string profileBytes(std::uint32_t signature, std::uint32_t mode, std::uint32_t key5, std::uint32_t extra7) {
  ProfileImage image;
  image.settings.signature = signature;
  image.settings.lightingMode = mode;
  image.settings.keyMap[5] = key5;
  image.extra.setMacroId(7, extra7);
  return image.toBytes();
}

// A folder in which creating a file is refused (not found when the tests
// run as a user who can write everywhere and the system offers none).
std::string deniedFolder(const testsupport::TempDir& dir) {
  if (::geteuid() != 0) {
    const std::string locked = dir.file("locked");
    platform::makeFolders(locked);
    ::chmod(locked.c_str(), 0500);
    return locked;
  }
  const int fd = ::open("/sys/kavro-probe", O_CREAT | O_EXCL | O_WRONLY, 0600);
  if (fd >= 0) {
    ::close(fd);
    ::unlink("/sys/kavro-probe");
    return {};
  }
  return errno == EACCES || errno == EPERM || errno == EROFS ? "/sys" : std::string();
}

class SettingsStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::makeFolders(dir.file("Profile"));
    store.setMessageSink(&sink);
    store.setPauseFunction([](unsigned) {});
  }
  std::string profile(int n) const { return dir.file("Profile/Profile" + std::to_string(n) + ".cfg"); }
  std::string registryTable() const {
    platform::RegistryKey key;
    if (key.open(kProfileTableKey) != platform::kRegOk) return "<no key>";
    std::uint32_t type = 0;
    std::string bytes;
    if (key.queryValue(kProfileTableValue, type, bytes) != platform::kRegOk) return "<no value>";
    return type == platform::kRegBinary ? bytes : "<type " + std::to_string(type) + ">";
  }
  void setRegistryTable(const ProfileTable& table) {
    platform::RegistryKey key;
    ASSERT_EQ(key.create(kProfileTableKey), platform::kRegOk);
    const std::string bytes = table.toBytes();
    ASSERT_EQ(key.setValue(kProfileTableValue, platform::kRegBinary, bytes.data(), 8700), platform::kRegOk);
  }

  testsupport::SandboxHome home;  // a private registry for each test
  testsupport::TempDir dir;
  CapturingSink sink;
  SettingsStore store{dir.path()};
};

}  // namespace

TEST_F(SettingsStoreTest, LoadProfileFileChecksTheSignature) {
  const std::string path = dir.write("Profile/Profile1.cfg", profileBytes(kProfileSignature, 9, 0x00040201, 0x15000001));
  ASSERT_EQ(readAll(path).size(), 62936u);
  EXPECT_EQ(store.LoadProfileFile(path, true), 1);
  EXPECT_EQ(store.profileSettings.lightingMode, 9u);
  EXPECT_EQ(store.keyMap[5], 0x00040201u);
  EXPECT_EQ(store.keyExtra.macroId(7), 0x15000001u);
  EXPECT_TRUE(sink.shown.empty());

  // 00 05 80 81: refused, the settings in use stay.
  dir.write("Profile/Profile2.cfg", profileBytes(0x81800500, 4, 0x00050001, 0x15000002));
  EXPECT_EQ(store.LoadProfileFile(profile(2), true), -1);
  EXPECT_EQ(sink.texts(), std::vector<std::string>{profile(2) + " is an invaild Profile!"});
  EXPECT_EQ(sink.shown[0].style, MessageStyle::InfoDialog);
  EXPECT_EQ(store.profileSettings.lightingMode, 9u);
  EXPECT_EQ(store.keyMap[5], 0x00040201u);
  EXPECT_EQ(store.keyExtra.macroId(7), 0x15000001u);
}

TEST_F(SettingsStoreTest, ShortLongAndEmptyProfileFiles) {
  // Shorter than ProfileSettings with a good signature: loads, the rest zero.
  const std::string full = profileBytes(kProfileSignature, 2, 0x00290001, 0x15000001);
  store.keyExtra.setMacroId(7, 99);
  dir.write("Profile/short.cfg", full.substr(0, 10));
  EXPECT_EQ(store.LoadProfileFile(dir.file("Profile/short.cfg"), true), 1);
  EXPECT_EQ(store.keyMap[0], 0u);
  EXPECT_EQ(store.keyMap[5], 0u);
  EXPECT_EQ(store.profileSettings.lightingMode, 0u);
  EXPECT_EQ(store.keyExtra.macroId(7), 0u);

  // Longer than a profile: the first 62,936 bytes count.
  dir.write("Profile/long.cfg", full + std::string(5000, '\xFF'));
  EXPECT_EQ(store.LoadProfileFile(dir.file("Profile/long.cfg"), true), 1);
  EXPECT_EQ(store.profileSettings.lightingMode, 2u);
  EXPECT_EQ(store.keyExtra.macroId(7), 0x15000001u);

  // Empty or cut inside the signature: invalid.
  dir.write("Profile/empty.cfg", "");
  dir.write("Profile/three.cfg", full.substr(0, 3));
  EXPECT_EQ(store.LoadProfileFile(dir.file("Profile/empty.cfg"), false), -1);
  EXPECT_EQ(store.LoadProfileFile(dir.file("Profile/three.cfg"), false), -1);
  EXPECT_EQ(store.profileSettings.lightingMode, 2u);
}

TEST_F(SettingsStoreTest, MissingProfileFileIsReportedAndRecreatedAside) {
  store.profileSettings.lightingMode = 42;
  store.keyMap[3] = 0x00040001;
  EXPECT_EQ(store.LoadProfileFile(profile(4), false), 0);
  EXPECT_FALSE(platform::fileExists(profile(4)));
  EXPECT_TRUE(sink.shown.empty());

  EXPECT_EQ(store.LoadProfileFile(profile(4), true), 0);
  EXPECT_EQ(sink.texts(), std::vector<std::string>{"Failed to open file: " + profile(4)});
  const std::string created = readAll(profile(4));
  ASSERT_EQ(created.size(), 62936u);
  EXPECT_EQ(le32At(created, 0), kProfileSignature);
  EXPECT_EQ(le32At(created, 516), 1u);                  // factory lighting mode
  EXPECT_EQ(le32At(created, 4 + 4 * 0), 0x005A0001u);   // factory key 0
  EXPECT_EQ(store.profileSettings.lightingMode, 42u);   // the profile in use is untouched
  EXPECT_EQ(store.keyMap[3], 0x00040001u);

  // A missing folder: reported, nothing can be created.
  sink.shown.clear();
  const std::string nowhere = dir.file("NoFolder/Profile1.cfg");
  EXPECT_EQ(store.LoadProfileFile(nowhere, true), 0);
  EXPECT_EQ(sink.texts(), std::vector<std::string>{"Failed to open file: " + nowhere});
  EXPECT_FALSE(platform::isDirectory(dir.file("NoFolder")));
}

TEST_F(SettingsStoreTest, CreateAndSaveWriteWholeProfiles) {
  store.keyExtra.setMacroId(9, 0x15000009);
  ASSERT_TRUE(store.CreateDefaultProfile(profile(1)));
  EXPECT_EQ(store.keyMap, DefaultKeyMap());
  EXPECT_EQ(store.profileSettings.brightness, 3u);
  const std::string created = readAll(profile(1));
  ASSERT_EQ(created.size(), 62936u);
  EXPECT_EQ(created.substr(0, 4), std::string("\x00\x05\x80\x80", 4));
  EXPECT_EQ(created.substr(484, 4), std::string("\x08\xAC\x95\x00", 4));
  EXPECT_EQ(le32At(created, 4 + 4 * 119), 0x0000E203u);
  EXPECT_EQ(le32At(created, 536 + 520 * 9), 0x15000009u);  // KeyExtra as it is

  // Saving copies the live key table into the record first.
  store.keyMap[5] = 0x00040201;
  store.profileSettings.zoneColour[6] = 0x00123456;
  ASSERT_TRUE(store.SaveCurrentProfile());
  const std::string saved = readAll(profile(1));
  ASSERT_EQ(saved.size(), 62936u);
  EXPECT_EQ(le32At(saved, 4 + 4 * 5), 0x00040201u);
  EXPECT_EQ(le32At(saved, 484 + 4 * 6), 0x00123456u);
  EXPECT_EQ(store.profileSettings.keyMap[5], 0x00040201u);
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_FALSE(platform::fileExists(profile(1) + ".bad"));
}

TEST_F(SettingsStoreTest, ProfileWriteFailures) {
  // A missing folder: creation fails silently but the factory settings are
  // in use; saving shows the system box.
  store.setProgramFolder(dir.file("Gone"));
  EXPECT_FALSE(store.CreateDefaultProfile(store.profilePath(0)));
  EXPECT_EQ(store.keyMap, DefaultKeyMap());
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_FALSE(store.SaveCurrentProfile());
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].style, MessageStyle::SystemBox);
  EXPECT_EQ(sink.shown[0].caption, u"Info");
  EXPECT_EQ(platform::toUtf8(sink.shown[0].text), "Failed to open file: " + store.profilePath(0));

  const std::string denied = deniedFolder(dir);
  if (denied.empty()) GTEST_SKIP() << "no folder refuses file creation here";
  sink.shown.clear();
  EXPECT_FALSE(store.CreateDefaultProfile(denied + "/Profile1.cfg"));
  EXPECT_EQ(sink.texts(),
            std::vector<std::string>{"Failed to create Profile, make sure you have permission to create files!"});
}

TEST_F(SettingsStoreTest, ExportThenImport) {
  ProfileTable table;
  table.entries[1].active = 1;
  table.entries[3].active = 1;  // of two active entries the higher one is exported
  table.entries[3].setName(u"Profile4");
  table.entries[3].reserved = 0x5A5A5A5A;
  store.profileTable = table;
  store.profileSettings.signature = kProfileSignature;
  store.profileSettings.effectSpeed = 5;
  store.keyMap[10] = 0x00000C06;
  store.keyExtra.setMacroId(10, 0x15000010);
  const std::string exported = dir.file("out.cfg");
  ASSERT_TRUE(store.ExportProfile(exported));
  const std::string bytes = readAll(exported);
  ASSERT_EQ(bytes.size(), 64676u);
  EXPECT_EQ(le32At(bytes, 4 + 4 * 10), 0x00000C06u);
  EXPECT_EQ(le32At(bytes, 62936 + 8), 0x5A5A5A5Au);
  EXPECT_EQ(bytes.substr(62936 + 12, 4), std::string("P\0r\0", 4));

  // Importing gives the same settings; the entry at the end is ignored.
  SettingsStore other(dir.path());
  other.setMessageSink(&sink);
  ASSERT_TRUE(other.ImportProfile(exported));
  EXPECT_EQ(other.profileSettings.effectSpeed, 5u);
  EXPECT_EQ(other.keyMap, store.keyMap);
  EXPECT_EQ(other.keyExtra, store.keyExtra);

  // A file with a wrong signature: system box, settings kept. An unreadable
  // one: ignored without a message.
  dir.write("bad.cfg", profileBytes(0x80800501, 1, 0, 0));
  EXPECT_FALSE(other.ImportProfile(dir.file("bad.cfg")));
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].style, MessageStyle::SystemBox);
  EXPECT_EQ(sink.shown[0].caption, u"Info");
  EXPECT_EQ(platform::toUtf8(sink.shown[0].text), dir.file("bad.cfg") + " is an invaild Profile!");
  EXPECT_FALSE(other.ImportProfile(dir.file("none.cfg")));
  EXPECT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(other.profileSettings.effectSpeed, 5u);
}

TEST_F(SettingsStoreTest, MacroLibraryLoadAndSave) {
  MapTexts texts;
  texts.texts["str_msg2"] = u"Cannot open %s!";
  store.setTextLookup(&texts);
  EXPECT_FALSE(store.LoadMacroLibrary());
  EXPECT_EQ(sink.texts(), std::vector<std::string>{"Cannot open " + dir.file("Macro.cfg") + "!"});
  EXPECT_FALSE(platform::fileExists(dir.file("Macro.cfg")));

  // The first save creates the file with the library as it stands.
  MacroImage m;
  m.size = 112;
  m.id = 0x15000001;
  m.setName(u"Jump");
  m.events = {makeEvent(kEventPress, 0x20), makeEvent(kEventRelease, 0x20)};
  const int owner = 0;
  sink.shown.clear();
  ASSERT_TRUE(store.StoreMacroImage(m, &owner));
  ASSERT_EQ(sink.shown.size(), 1u);
  EXPECT_EQ(sink.shown[0].style, MessageStyle::SystemBox);
  EXPECT_EQ(sink.shown[0].owner, &owner);
  EXPECT_EQ(platform::toUtf8(sink.shown[0].text), "Failed to open file:" + dir.file("Macro.cfg") + "?");
  std::string file = readAll(dir.file("Macro.cfg"));
  ASSERT_EQ(file.size(), 2052000u);
  EXPECT_EQ(le32At(file, 8), 0x15000001u);

  // Later saves rewrite the existing file (found whatever its case).
  ASSERT_EQ(::rename(dir.file("Macro.cfg").c_str(), dir.file("MACRO.CFG").c_str()), 0);
  sink.shown.clear();
  ASSERT_TRUE(store.DeleteMacro(0x15000001));
  EXPECT_TRUE(sink.shown.empty());
  file = readAll(dir.file("MACRO.CFG"));
  ASSERT_EQ(file.size(), 2052000u);
  EXPECT_EQ(file, std::string(2052000, '\0'));

  // A short file loads with the rest cleared.
  MacroLibrary one;
  ASSERT_TRUE(one.store(m));
  dir.write("MACRO.CFG", one.toBytes().substr(0, 4104));
  store.macroLibrary.at(2).id = 5;
  ASSERT_TRUE(store.LoadMacroLibrary());
  EXPECT_EQ(store.macroLibrary.nameOf(0x15000001), u"Jump");
  EXPECT_EQ(store.macroLibrary.at(2).id, 0u);
}

TEST_F(SettingsStoreTest, StartUpWithoutRegistryValueUsesProfileOne) {
  store.LoadProfileTable();
  EXPECT_EQ(store.currentProfile(), 0);
  EXPECT_TRUE(sink.shown.empty());
  EXPECT_EQ(readAll(profile(1)).size(), 62936u);
  EXPECT_EQ(store.keyMap, DefaultKeyMap());
  // The value was created as zeros and stays so until the table is stored.
  EXPECT_EQ(registryTable(), std::string(8700, '\0'));
  for (int n = 0; n < 5; ++n) {
    const ProfileEntry& e = store.profileTable.entries[static_cast<std::size_t>(n)];
    EXPECT_EQ(e.magic, 0xBEBEu);
    EXPECT_EQ(e.active, n == 0 ? 1u : 0u);
    EXPECT_EQ(platform::toUtf8(e.nameText()), "Profile" + std::to_string(n + 1));
    EXPECT_EQ(platform::toUtf8(e.pathText()), profile(n + 1));
  }

  store.keyMap[2] = 0x00000000;
  store.StoreProfileTable();
  const ProfileTable stored = ProfileTable::fromBytes(registryTable());
  EXPECT_EQ(stored.toBytes(), store.profileTable.toBytes());
  EXPECT_EQ(le32At(readAll(profile(1)), 4 + 4 * 2), 0u);
}

TEST_F(SettingsStoreTest, StartUpLoadsTheFirstActiveProfileThatLoads) {
  ProfileTable table;
  table.entries[1].active = 1;  // missing file
  table.entries[2].active = 1;  // loads
  table.entries[4].active = 1;  // keeps its flag
  table.entries[2].tail[5] = 0x33;
  setRegistryTable(table);
  dir.write("Profile/Profile3.cfg", profileBytes(kProfileSignature, 7, 0x00040201, 0x15000003));
  store.LoadProfileTable();
  EXPECT_EQ(store.currentProfile(), 2);
  EXPECT_EQ(store.profileSettings.lightingMode, 7u);
  EXPECT_EQ(sink.texts(), std::vector<std::string>{"Failed to open file: " + profile(2)});
  EXPECT_EQ(readAll(profile(2)).size(), 62936u);  // recreated with factory content
  EXPECT_FALSE(store.isActive(1));
  EXPECT_TRUE(store.isActive(2));
  EXPECT_TRUE(store.isActive(4));
  EXPECT_EQ(store.profileTable.entries[2].tail[5], 0x33);  // reserved bytes kept
}

TEST_F(SettingsStoreTest, StartUpKeepsADamagedProfileBesideItsReplacement) {
  ProfileTable table;
  table.entries[2].active = 1;
  setRegistryTable(table);
  const std::string damaged = profileBytes(0x12345678, 7, 0x00040201, 0);
  dir.write("Profile/Profile3.cfg", damaged);
  store.LoadProfileTable();
  EXPECT_EQ(sink.texts(), std::vector<std::string>{profile(3) + " is an invaild Profile!"});
  EXPECT_EQ(readAll(profile(3) + ".bad"), damaged);
  EXPECT_EQ(le32At(readAll(profile(3)), 0), kProfileSignature);
  EXPECT_EQ(store.currentProfile(), 0);  // fell back to profile 1
  EXPECT_FALSE(store.isActive(2));
  EXPECT_TRUE(store.isActive(0));
  EXPECT_EQ(store.keyMap, DefaultKeyMap());

  // Profile 1 damaged with no profile active: kept too.
  SettingsStore again(dir.path());
  again.setMessageSink(&sink);
  sink.shown.clear();
  dir.write("Profile/Profile1.cfg", "garbage");
  setRegistryTable(ProfileTable{});
  again.LoadProfileTable();
  EXPECT_EQ(sink.texts(), std::vector<std::string>{profile(1) + " is an invaild Profile!"});
  EXPECT_EQ(readAll(profile(1) + ".bad"), "garbage");
  EXPECT_EQ(le32At(readAll(profile(1)), 0), kProfileSignature);
}

TEST_F(SettingsStoreTest, RegistryValueOfAnotherTypeIsRewrittenAsBinary) {
  platform::RegistryKey key;
  ASSERT_EQ(key.create(kProfileTableKey), platform::kRegOk);
  ASSERT_EQ(key.setDword(kProfileTableValue, 1), platform::kRegOk);
  store.LoadProfileTable();
  EXPECT_EQ(registryTable(), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(store.currentProfile(), 0);
}

TEST_F(SettingsStoreTest, ProfileSwitch) {
  store.LoadProfileTable();
  store.keyMap[0] = 0;  // unsaved change of profile 1
  EXPECT_EQ(store.SelectProfile(3), 0);  // file missing: recreated, nothing switched
  EXPECT_EQ(sink.texts(), std::vector<std::string>{"Failed to open file: " + profile(4)});
  EXPECT_EQ(store.currentProfile(), 0);
  EXPECT_EQ(store.keyMap[0], 0u);
  EXPECT_TRUE(store.isActive(0));

  EXPECT_EQ(store.SelectProfile(3), 1);
  EXPECT_EQ(store.currentProfile(), 3);
  EXPECT_EQ(store.keyMap, DefaultKeyMap());
  for (int n = 0; n < 5; ++n) EXPECT_EQ(store.isActive(n), n == 3);
  EXPECT_EQ(store.SelectProfile(5), 0);
}
