// kavroctl sim render against kbsim: the keyboard picture of what the
// simulated Q350RGB shows after an apply, key by key as the shipped layout
// places them, and the simulator's own grid picture with --memory.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>
#include <string>

#include "lumera/model/lighting.h"
#include "lumera/model/profile.h"
#include "tests/sim/sim_fixture.h"
#include "tests/support/test_env.h"

using namespace lumera;

namespace {

constexpr int kTitle = 32;  // the effect's name above the keys

class SimRenderCli : public testsupport::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    for (const char* f : {"cfg.ini", "Led.ini", "LedUK.ini", "text.xml"})
      dir.write(std::string("prog/") + f, testsupport::readAll(testsupport::sourceDir() + "/data/lumera/" + f));
    std::filesystem::create_symlink(KAVRO_PALLOMAR_PATH, dir.file("prog/libPallomar.so"));
    config.load(dir.file("prog"), false);
  }

  // Stores `profile` as the only one and writes it into the keyboard.
  void applyProfile(const ProfileRecord& profile) {
    std::filesystem::create_directories(dir.file("appdata"));
    ASSERT_TRUE(SaveProfiles(dir.file("appdata"), {profile}));
    ASSERT_TRUE(SaveCurrentId(dir.file("appdata"), &profile));
    const auto r = testsupport::runKavroctl("lumera apply --program-dir " + testsupport::shellQuote(dir.file("prog")) +
                                                " --appdata " + testsupport::shellQuote(dir.file("appdata")),
                                            dir);
    ASSERT_EQ(r.status, 0) << r.out << r.err;
  }
  testsupport::ProcessResult render(const std::string& options) {
    return testsupport::runKavroctl("sim render 0 " + testsupport::shellQuote(dir.file("keys.png")) + " " + options, dir);
  }
  QColor keyPixel(const QImage& image, int key) const {
    const KeyFunction& f = config.keyLayout()[static_cast<std::size_t>(key)].funA;
    return image.pixelColor(f.rcKey[0] + f.rcKey[2] / 2, kTitle + f.rcKey[1] + f.rcKey[3] / 2);
  }
  int keyWithCode(std::uint8_t code) const {
    for (int i = 0; i < config.keyCount(); ++i)
      if (config.keyLayout()[static_cast<std::size_t>(i)].funA.stCombo.VkCode1 == code) return i;
    return -1;
  }
  std::string programDirOption() const { return "--program-dir " + testsupport::shellQuote(dir.file("prog")); }

  testsupport::TempDir dir;
  LumeraConfig config;
};

TEST_F(SimRenderCli, PerKeyColoursAtEachKeysPlace) {
  ProfileRecord p = NewProfile(u"Keys", config);
  p.effectIndex = config.options().GameIndex;
  p.groupColours[0].fill(0);
  const int z = keyWithCode('Z'), esc = keyWithCode(0x1B);
  ASSERT_GE(z, 0);
  p.groupColours[0][static_cast<std::size_t>(config.keyLayout()[static_cast<std::size_t>(z)].funA.dwMatrixInx)] =
      rgb(250, 20, 90);
  applyProfile(p);

  const auto r = render(programDirOption());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Custom"), std::string::npos) << r.out;  // the per-key effect's name in text.xml
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir.file("keys.png"))));
  EXPECT_GE(image.width(), 600);
  EXPECT_EQ(keyPixel(image, z), QColor(250, 20, 90));
  EXPECT_EQ(keyPixel(image, esc), QColor(48, 50, 56)) << "a key without colour";
}

TEST_F(SimRenderCli, OtherEffectsShowTheChosenColour) {
  ProfileRecord p = NewProfile(u"Static", config);
  p.effectIndex = 0;
  p.effects[0].colourful = 0;
  p.effects[0].colourIndex = 2;
  p.effects[0].colours[2] = rgb(30, 140, 220);
  applyProfile(p);
  const auto r = render(programDirOption());
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("Static"), std::string::npos) << r.out;
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir.file("keys.png"))));
  for (int key : {0, 40, config.keyCount() - 1}) EXPECT_EQ(keyPixel(image, key), QColor(30, 140, 220)) << key;
}

TEST_F(SimRenderCli, MemoryPictureAndUsage) {
  const auto grid = render("--memory");
  ASSERT_EQ(grid.status, 0) << grid.err;
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir.file("keys.png"))));
  EXPECT_EQ(image.width(), 2 * 8 + 22 * 20);  // the simulator's grid of LED cells
  EXPECT_EQ(render("--memory " + programDirOption()).status, 2);
  EXPECT_NE(render("--program-dir " + testsupport::shellQuote(dir.file("nothing"))).status, 0);
}

}  // namespace
