// kavroctl lumera apply, run as a program against kbsim with the shipped
// Lumera data in a private program folder: what the keyboard receives, what
// is stored afterwards, and what a failed apply leaves alone.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lumera/model/matrix.h"
#include "lumera/model/profile.h"
#include "platform/paths.h"
#include "tests/sim/sim_fixture.h"
#include "tests/support/test_env.h"

using namespace lumera;
using Bytes = std::vector<std::uint8_t>;

namespace {

constexpr const char* kFailed = "   Update settings failed!      ";

class LumeraApplyCli : public testsupport::SimFixture {
 protected:
  void SetUp() override {
    SimFixture::SetUp();
    for (const char* f : {"cfg.ini", "Led.ini", "LedUK.ini", "text.xml"})
      dir.write(std::string("prog/") + f, testsupport::readAll(testsupport::sourceDir() + "/data/lumera/" + f));
    std::filesystem::create_symlink(KAVRO_PALLOMAR_PATH, dir.file("prog/libPallomar.so"));
    config.load(dir.file("prog"), false);
  }

  testsupport::ProcessResult apply(const std::string& options = {}) {
    return testsupport::runKavroctl("lumera apply --program-dir " + testsupport::shellQuote(dir.file("prog")) +
                                        " --appdata " + testsupport::shellQuote(appData()) + " " + options,
                                    dir);
  }
  std::string appData() const { return dir.file("appdata"); }
  ProfileList stored() {
    ProfileList list;
    EXPECT_TRUE(LoadProfiles(appData(), list));
    return list;
  }
  Bytes memory(std::size_t address, std::size_t size) {
    Bytes all;
    EXPECT_TRUE(sim.control().dump(0, all));
    return Bytes(all.begin() + static_cast<std::ptrdiff_t>(address),
                 all.begin() + static_cast<std::ptrdiff_t>(address + size));
  }
  // The first byte after the report id of every frame the host sent since
  // `from`, with the sub-command of short frames: "05 01", "83", "04", ...
  std::vector<std::string> commandsSince(std::size_t from) {
    std::vector<std::string> out;
    for (const sim::TranscriptLine& l : sim.transcript(from)) {
      if (!l.out) continue;
      char text[8];
      if (l.bytes.size() == 9)
        std::snprintf(text, sizeof text, "%02x %02x", l.bytes[1], l.bytes[2]);
      else
        std::snprintf(text, sizeof text, "%02x", l.bytes[1]);
      out.emplace_back(text);
    }
    return out;
  }

  testsupport::TempDir dir;
  LumeraConfig config;
};

TEST_F(LumeraApplyCli, FirstApplyCreatesTheDefaultProfilesAndWritesTheCurrentOne) {
  const auto r = apply();
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("three default profiles added"), std::string::npos);
  for (const char* p : {" 20%\n", " 40%\n", " 100%\n"}) EXPECT_NE(r.out.find(p), std::string::npos) << p;

  const ProfileList profiles = stored();
  ASSERT_EQ(profiles.size(), 3u);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(profileName(profiles[static_cast<std::size_t>(i)]), u"Profile " + std::u16string(1, u'1' + i));
  EXPECT_EQ(LoadCurrentId(appData()), profiles[0].id);

  EXPECT_EQ(commandsSince(0), (std::vector<std::string>{"05 01", "05 76", "83", "08", "04", "03", "05 77"}));
  KeyMatrix matrix;
  FillMatrix(profiles[0], {}, config, matrix);
  const auto payload = matrix.payload();
  EXPECT_EQ(memory(0xC800, payload.size()), Bytes(payload.begin(), payload.end()));
}

TEST_F(LumeraApplyCli, ChosenProfileFlagsAndReset) {
  ASSERT_EQ(apply().status, 0);
  const ProfileList profiles = stored();

  // The second profile, keys only: no progress, no profile block.
  std::size_t mark = sim.transcriptSize();
  auto r = apply("--profile " + std::to_string(profiles[1].id) + " --flags 0x0001");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.find('%'), std::string::npos) << r.out;
  EXPECT_EQ(commandsSince(mark), (std::vector<std::string>{"05 01", "04", "05 77"}));
  EXPECT_EQ(LoadCurrentId(appData()), profiles[1].id);
  EXPECT_EQ(stored().size(), 3u) << "no more defaults once there are three";

  // Global byte 0 is 1 after a normal apply and 0 after a reset apply.
  EXPECT_EQ(memory(0, 1), Bytes{1});
  r = apply("--reset");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("after a reset"), std::string::npos);
  EXPECT_EQ(memory(0, 1), Bytes{0});
}

TEST_F(LumeraApplyCli, FailedApplyStoresNothing) {
  ASSERT_EQ(apply().status, 0);
  const std::string pro = testsupport::readAll(dir.file("appdata/pro.dct"));
  const std::string curid = testsupport::readAll(dir.file("appdata/curid.dct"));
  ASSERT_FALSE(pro.empty());

  // Unplugged in the middle: the apply fails, the store stays as it was.
  ASSERT_TRUE(sim.control().unplugAfter(0, 6));
  auto r = apply("--reset");
  EXPECT_NE(r.status, 0);
  EXPECT_NE(r.err.find(kFailed), std::string::npos) << r.err;
  EXPECT_EQ(testsupport::readAll(dir.file("appdata/pro.dct")), pro);
  EXPECT_EQ(testsupport::readAll(dir.file("appdata/curid.dct")), curid);

  // No keyboard at all: the program's no-keyboard text, nothing stored.
  r = apply();
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("No Kavro Q350RGB keyboard was found."), std::string::npos) << r.err;
  EXPECT_EQ(testsupport::readAll(dir.file("appdata/pro.dct")), pro);
}

TEST_F(LumeraApplyCli, CommandLineMistakes) {
  EXPECT_EQ(apply("--flags 0x8001").status, 2);
  EXPECT_EQ(apply("--flags 0x10").status, 2);
  EXPECT_EQ(apply("--profile twelve").status, 2);
  const auto r = apply("--profile 12345");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("no profile with id 12345"), std::string::npos) << r.err;
  EXPECT_FALSE(platform::fileExists(dir.file("appdata/pro.dct")));
  EXPECT_TRUE(sim.transcript().empty());
}

}  // namespace
