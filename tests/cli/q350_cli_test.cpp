// kavroctl q350 show / q350 macros, run as a program on files written by
// the settings code itself.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

#include "platform/paths.h"
#include "q350config/settings/settings_store.h"
#include "tests/support/test_env.h"

using namespace q350;

namespace {

using CliRun = testsupport::ProcessResult;

CliRun kavroctl(const testsupport::TempDir& dir, const std::string& arguments) {
  return testsupport::runKavroctl(arguments, dir);
}

QJsonObject json(const CliRun& r) { return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object(); }

// A program folder as Q350Config leaves it: a profile with a few changed
// keys, a macro library with two macros, and an English language file.
class Q350Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("Language/en.xml", "<Q350Config><config><str_vol_up>Volume up</str_vol_up></config></Q350Config>");
    SettingsStore store(dir.path());
    store.setPauseFunction([](unsigned) {});
    dir.write("Macro.cfg", std::string(MacroLibrary::kFileSize, '\0'));
    MacroImage combo;
    combo.size = 104 + 4 * 3;
    combo.id = 0x15000001;
    combo.repeat = kRepeatToggle;
    combo.setName(u"Combo");
    combo.events = {makeEvent(kEventPress, 0x41), makeEvent(kEventDelay, 100), makeEvent(kEventRelease, 0x41)};
    ASSERT_TRUE(store.StoreMacroImage(combo));
    MacroImage other = combo;
    other.id = 0x01000002;
    other.repeat = 3;
    other.setName(u"Grenade");
    other.events = {makeEvent(kEventPress, 0x2C), 0x12345678};
    ASSERT_TRUE(store.StoreMacroImage(other));

    platform::makeFolders(dir.file("Profile"));
    ASSERT_TRUE(store.CreateDefaultProfile(store.profilePath(0)));
    store.keyMap[5] = 0x00040201;
    store.keyMap[7] = 0x00000005;
    store.keyExtra.setMacroId(7, 0x15000001);
    store.keyMap[9] = 0x0000E903;
    store.profileSettings.commonColour = 0x00FF8000;
    ASSERT_TRUE(store.SaveCurrentProfile());
    profile = store.profilePath(0);
  }

  testsupport::TempDir dir;
  std::string profile;
};

}  // namespace

TEST_F(Q350Cli, ShowNamesEveryKey) {
  const CliRun r = kavroctl(dir, "q350 show '" + profile + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("lighting  mode 1, speed 3, brightness 3, switch 0, all zones 0\n"), std::string::npos);
  EXPECT_NE(r.out.find("common    #0080FF\n"), std::string::npos);
  EXPECT_NE(r.out.find("zones     #08AC95 #FF0000 #00FF00 #FFFF00 #FFFFFF #0000FF #FC" "A842\n"), std::string::npos);
  for (const char* line : {"\n    0  0x005A0001   (2)\n", "\n    5  0x00040201 * LShift + A\n",
                           "\n    7  0x00000005 * macro 0x15000001 Combo\n", "\n    9  0x0000E903 * Volume up\n",
                           "\n   97  0x00000101   LCtrl\n", "\n  107  0x00000000   Disable key\n"})
    EXPECT_NE(r.out.find(line), std::string::npos) << line;

  const QJsonObject o = json(kavroctl(dir, "q350 show --json '" + profile + "'"));
  const QJsonArray keys = o["keys"].toArray();
  ASSERT_EQ(keys.size(), 120);
  EXPECT_EQ(keys[5].toObject()["name"].toString(), "LShift + A");
  EXPECT_FALSE(keys[5].toObject()["factory"].toBool());
  EXPECT_EQ(keys[7].toObject()["macroId"].toDouble(), double(0x15000001));
  EXPECT_TRUE(keys[119].toObject()["factory"].toBool());
  EXPECT_EQ(o["lighting"].toObject()["zoneColour"].toArray()[6].toString(), "#FCA842");

  // Not a profile: refused with the reason.
  dir.write("bad.cfg", std::string(100, 'x'));
  const CliRun bad = kavroctl(dir, "q350 show '" + dir.file("bad.cfg") + "'");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("is not a Q350 profile (signature 0x78787878)"), std::string::npos) << bad.err;
}

TEST_F(Q350Cli, MacrosListsEventsAndRepeat) {
  const CliRun r = kavroctl(dir, "q350 macros '" + dir.file("Macro.cfg") + "'");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("record   0  id 0x15000001  category 21  \"Combo\"  repeat toggle  3 events\n"
                       "    press A, delay 100 ms, release A\n"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"Grenade\"  repeat count 3  2 events\n    press 0x2C, invalid 0x12345678\n"),
            std::string::npos)
      << r.out;

  const QJsonArray macros = json(kavroctl(dir, "q350 macros --json '" + dir.file("Macro.cfg") + "'"))["macros"].toArray();
  ASSERT_EQ(macros.size(), 2);
  const QJsonObject first = macros[0].toObject();
  EXPECT_EQ(first["id"].toString(), "0x15000001");
  EXPECT_EQ(first["category"].toInt(), 21);
  EXPECT_EQ(first["repeat"].toInt(), 0xFFFE);
  const QJsonArray events = first["events"].toArray();
  ASSERT_EQ(events.size(), 3);
  EXPECT_EQ(events[1].toObject()["ms"].toInt(), 100);
  EXPECT_EQ(events[2].toObject()["kind"].toString(), "release");

  EXPECT_NE(kavroctl(dir, "q350 macros '" + dir.file("none.cfg") + "'").status, 0);
}
