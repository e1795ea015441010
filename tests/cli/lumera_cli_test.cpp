// kavroctl lumera config / profiles / matrix and macro show, run as a program
// on files written by the model code itself.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>

#include "lumera/model/macro.h"
#include "lumera/model/profile.h"
#include "platform/paths.h"
#include "tests/support/test_env.h"

using namespace lumera;

namespace {

struct CliRun {
  int status = -1;
  std::string out, err;
};

CliRun kavroctl(const testsupport::TempDir& dir, const std::string& arguments) {
  const std::string binary = testsupport::binaryDir() + "/cli/kavroctl";
  const std::string command =
      "'" + binary + "' " + arguments + " >'" + dir.file("out") + "' 2>'" + dir.file("err") + "'";
  const int raw = std::system(command.c_str());
  CliRun r;
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.out = testsupport::readAll(dir.file("out"));
  r.err = testsupport::readAll(dir.file("err"));
  return r;
}

QJsonObject json(const CliRun& r) { return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object(); }

// A program folder with a small layout, and an application-data folder with
// two profiles and one macro.
class LumeraCli : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.write("prog/cfg.ini",
              "[OPT]\nappdir=Kv\nGridIndex=9\nMacroHasMsKey=0\n"
              "[KEY]\nK1=10,20,30,40,2,A2,0,3\nK2=50,20,30,40,2,41,0,0\n[FN]\nK2=4,26\n");
    dir.write("prog/Led.ini", "[KEY]\nK1=0,0,1,1,2,A2,0,7\nK2=0,0,1,1,2,41,0,8\n");
    dir.write("prog/LedUK.ini", "[KEY]\nK1=0,0,1,1,2,A2,0,70\n");
    config.load(dir.file("prog"), false);

    MacroRecord m = NewMacro(u"Burst");
    m.loopCount = 2;
    m.events[0] = {0x41, 1, 50};
    m.events[1] = {0x41, 0, 200};
    macroId = m.id;
    macroPath = dir.file("appdata/Mac/Burst.mck");
    ASSERT_TRUE(writeMacroFile(macroPath, m));

    ProfileRecord first = NewProfile(u"Work", config);
    first.keys[1].funA.dwFunID = 0x05000000;  // K2 (matrix 0) plays the macro
    first.keys[1].funA.nMacroId = macroId;
    first.keys[1].nFnIndex = -1;
    ProfileRecord second = NewProfile(u"Game", config);
    setProfileProgramName(second, u"game.exe");
    secondId = second.id;
    ASSERT_TRUE(SaveProfiles(dir.file("appdata"), {first, second}));
    ASSERT_TRUE(SaveCurrentId(dir.file("appdata"), &second));
    firstId = first.id;
  }

  testsupport::TempDir dir;
  LumeraConfig config;
  std::int32_t macroId = 0, firstId = 0, secondId = 0;
  std::string macroPath;
};

}  // namespace

TEST_F(LumeraCli, ConfigPrintsRecordsOptionsAndMessages) {
  const CliRun r = kavroctl(dir, "lumera config '" + dir.file("prog") + "' --json");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("Error: GridIndex Param error"), std::string::npos);
  const QJsonObject o = json(r);
  EXPECT_EQ(o["options"].toObject()["GridIndex"].toInt(), 9);
  EXPECT_EQ(o["options"].toObject()["appdir"].toString(), "Kv");
  EXPECT_EQ(o["options"].toObject()["rcKB"].toArray(), (QJsonArray{280, 180, 954, 365}));
  const QJsonArray keys = o["keys"].toArray();
  ASSERT_EQ(keys.size(), 2);
  const QJsonObject k1 = keys[0].toObject();
  EXPECT_EQ(k1["dwFunID"].toDouble(), 0x020000A0);
  EXPECT_EQ(k1["rcKey"].toArray(), (QJsonArray{10, 20, 30, 40}));
  EXPECT_EQ(k1["dwMatrixInx"].toInt(), 3);
  EXPECT_EQ(k1["nFnIndex"].toInt(), -1);
  EXPECT_EQ(k1["stCombo"].toObject()["mask"].toInt(), 1);
  EXPECT_EQ(k1["stCombo"].toObject()["canonical"].toInt(), 0x11);
  EXPECT_EQ(keys[1].toObject()["funB"].toObject()["dwFunID"].toDouble(), 0x04000026);
  EXPECT_EQ(o["leds"].toArray().size(), 2);
  EXPECT_EQ(o["gestures"].toArray().size(), 7);
  EXPECT_EQ(o["effects"].toArray()[3].toObject()["code"].toInt(), 17);
  EXPECT_EQ(o["messages"].toArray(),
            (QJsonArray{QJsonObject{{"caption", "Error"}, {"text", "GridIndex Param error"}}}));

  const CliRun uk = kavroctl(dir, "lumera config '" + dir.file("prog") + "' --json --version 0x201");
  ASSERT_EQ(uk.status, 0);
  ASSERT_EQ(json(uk)["leds"].toArray().size(), 1);
  EXPECT_EQ(json(uk)["leds"].toArray()[0].toObject()["dwMatrixInx"].toInt(), 70);
  EXPECT_NE(kavroctl(dir, "lumera config '" + dir.file("none") + "'").status, 0);
}

TEST_F(LumeraCli, ProfilesListsSlotsAndTheCurrentOne) {
  const CliRun r = kavroctl(dir, "lumera profiles --appdata '" + dir.file("appdata") + "' --json");
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = json(r);
  EXPECT_EQ(o["currentId"].toInt(), secondId);
  const QJsonArray list = o["profiles"].toArray();
  ASSERT_EQ(list.size(), 2);
  EXPECT_EQ(list[0].toObject()["name"].toString(), "Work");
  EXPECT_EQ(list[0].toObject()["current"].toBool(), false);
  EXPECT_EQ(list[1].toObject()["slot"].toInt(), 1);
  EXPECT_EQ(list[1].toObject()["programName"].toString(), "game.exe");
  EXPECT_EQ(list[1].toObject()["current"].toBool(), true);
  EXPECT_EQ(list[1].toObject()["effectIndex"].toInt(), 3);

  // Without --appdata the folder comes from the program's "appdir".
  testsupport::ScopedEnv data("XDG_DATA_HOME", dir.path());
  platform::makeFolders(dir.file("Kv"));
  const CliRun viaConfig = kavroctl(dir, "lumera profiles --program-dir '" + dir.file("prog") + "'");
  EXPECT_NE(viaConfig.status, 0);
  EXPECT_NE(viaConfig.err.find("cannot read pro.dct in " + dir.file("Kv")), std::string::npos) << viaConfig.err;
}

TEST_F(LumeraCli, ProfilesLinkAndUnlinkAProgram) {
  const std::string appdata = "--appdata '" + dir.file("appdata") + "' ";
  CliRun r = kavroctl(dir, "lumera profiles " + appdata + "--set-program " + std::to_string(firstId) + " 'Race Game.exe'");
  ASSERT_EQ(r.status, 0) << r.err;
  ProfileList list;
  ASSERT_TRUE(LoadProfiles(dir.file("appdata"), list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(profileProgramName(list[0]), u"Race Game.exe");
  EXPECT_EQ(profileProgramName(list[1]), u"game.exe");
  EXPECT_EQ(LoadCurrentId(dir.file("appdata")), secondId);

  r = kavroctl(dir, "lumera profiles " + appdata + "--clear-program " + std::to_string(secondId));
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_TRUE(LoadProfiles(dir.file("appdata"), list));
  EXPECT_EQ(profileProgramName(list[1]), u"");
  EXPECT_EQ(profileProgramName(list[0]), u"Race Game.exe");

  const std::string before = testsupport::readAll(dir.file("appdata/pro.dct"));
  EXPECT_EQ(kavroctl(dir, "lumera profiles " + appdata + "--set-program 12345 x.exe").status, 1);
  EXPECT_EQ(kavroctl(dir, "lumera profiles " + appdata + "--set-program " + std::to_string(firstId)).status, 2);
  EXPECT_EQ(kavroctl(dir, "lumera profiles " + appdata + "--set-program " + std::to_string(firstId) + " ''").status, 2);
  EXPECT_EQ(kavroctl(dir, "lumera profiles " + appdata + "--set-program 1 a --clear-program 1").status, 2);
  EXPECT_EQ(kavroctl(dir, "lumera profiles " + appdata + "--clear-program one").status, 2);
  EXPECT_EQ(testsupport::readAll(dir.file("appdata/pro.dct")), before);
}

TEST_F(LumeraCli, MatrixShowsThePayloadAndMacroBuffers) {
  const CliRun r = kavroctl(dir, "lumera matrix --appdata '" + dir.file("appdata") + "' --program-dir '" +
                                     dir.file("prog") + "' --profile " + std::to_string(firstId) + " --json");
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = json(r);
  const std::string matrix = o["matrix"].toString().toStdString();
  ASSERT_EQ(matrix.size(), 1024u * 3 - 1);
  EXPECT_EQ(matrix.substr(0, 12), "10 00 01 00 ");               // position 0: the macro, buffer 1
  EXPECT_EQ(matrix.substr(12 * 3, 12), "06 00 00 e0 ");          // position 3: left Ctrl alone
  EXPECT_EQ(o["macroCount"].toInt(), 1);
  EXPECT_EQ(o["macroBuffers"].toArray()[0].toString().left(35), "00 02 32 04 83 04 00 03 00 02 00 00");

  EXPECT_NE(kavroctl(dir, "lumera matrix --appdata '" + dir.file("appdata") + "' --program-dir '" +
                              dir.file("prog") + "' --profile 12345")
                .status,
            0);
}

TEST_F(LumeraCli, MacroShowDecodesTheFile) {
  const CliRun r = kavroctl(dir, "macro show '" + macroPath + "' --json");
  ASSERT_EQ(r.status, 0) << r.err;
  const QJsonObject o = json(r);
  EXPECT_EQ(o["id"].toInt(), macroId);
  EXPECT_EQ(o["name"].toString(), "Burst");
  EXPECT_EQ(o["loopCount"].toInt(), 2);
  const QJsonArray events = o["events"].toArray();
  ASSERT_EQ(events.size(), 2);
  EXPECT_EQ(events[1].toObject()["name"].toString(), "A");
  EXPECT_EQ(events[1].toObject()["down"].toBool(), false);
  EXPECT_EQ(events[1].toObject()["delay"].toInt(), 200);
  EXPECT_EQ(o["hardware"].toString(), "00 02 32 04 83 04 00 03 00 02 00 00");

  dir.write("short.mck", std::string(1713, 'x'));
  const CliRun bad = kavroctl(dir, "macro show '" + dir.file("short.mck") + "'");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("not 1714 bytes"), std::string::npos);
}
