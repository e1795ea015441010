// The fuzz target of Lumera's device replies answers from an in-process
// stand-in of libPallomar.so. This test keeps the stand-in honest: the same
// password and GetProfile replies, forced on kbsim through the real library
// and played from a script through the stand-in, must give the driver the
// same answers and the same profile block. It runs the fixed cases below and
// every password-and-profile input of the target's corpus and regressions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "tests/fuzz/fake_hid.h"
#include "tests/lumera/device/lumera_sim_fixture.h"

namespace {

namespace fs = std::filesystem;
using lumeratest::Bytes;
using lumeratest::hexBytes;

// One reply step of a script: the bytes after the report id.
struct Step {
  bool ok = false;
  Bytes bytes;
};

// The first steps of a stand-in script, as fake_hid.h defines it; room is
// what the driver's read asks for after the report id.
std::vector<Step> parseSteps(const Bytes& script, std::initializer_list<std::size_t> rooms) {
  std::vector<Step> steps;
  std::size_t pos = 0;
  for (std::size_t room : rooms) {
    Step s;
    if (pos < script.size() && (script[pos++] & 3) != 0) {
      s.ok = true;
      std::size_t n = pos < script.size() ? script[pos++] : 0;
      if (n == 0xFF) n = room;
      n = std::min({n, room, script.size() - pos});
      s.bytes.assign(script.begin() + static_cast<std::ptrdiff_t>(pos),
                     script.begin() + static_cast<std::ptrdiff_t>(pos + n));
      pos += n;
    }
    steps.push_back(s);
  }
  return steps;
}

Bytes scriptOf(const Bytes& password, const Bytes& profile) {
  Bytes out;
  for (const Bytes* b : {&password, &profile}) {
    out.push_back(1);
    out.push_back(static_cast<std::uint8_t>(b->size()));
    out.insert(out.end(), b->begin(), b->end());
  }
  return out;
}

std::string hex(std::uint8_t reportId, const Bytes& bytes) {
  std::string out = platform::format("%02x", reportId);
  for (std::uint8_t b : bytes) out += platform::format("%02x", b);
  return out;
}

struct Outcome {
  bool password = false;
  bool profile = false;
  Bytes block;
  bool operator==(const Outcome& o) const {
    return password == o.password && profile == o.profile && block == o.block;
  }
};

class StandInAgreesWithKbsim : public lumeratest::LumeraSimTest {
 protected:
  void SetUp() override {
    LumeraSimTest::SetUp();
    ASSERT_TRUE(loadAndFind());
    library = platform::loadModule(KAVRO_FUZZ_PALLOMAR_PATH);
    ASSERT_NE(library, nullptr) << platform::moduleError();
    setScript = reinterpret_cast<FakeHidSetScriptFn>(platform::moduleSymbol(library, "FakeHidSetScript"));
    ASSERT_NE(setScript, nullptr);
    ASSERT_TRUE(standIn.LoadDriver(lumeratest::WindowsStandIn::kMain, windows, KAVRO_FUZZ_PALLOMAR_PATH));
    ASSERT_TRUE(standIn.FindDev());
  }

  static Outcome run(lumera::CUSBDriver& d) {
    Outcome o;
    o.block.assign(lumera::kProfileBlockSize, 0xEE);
    o.password = d.SetPassword(hexBytes("01 02 03 04 05 06").data());
    o.profile = d.GetProfile(o.block.data());
    return o;
  }

  // Both replies through kbsim and through the stand-in.
  void compare(const Bytes& password, const Bytes& profile) {
    ASSERT_TRUE(sim.control().setPassword(0, hexBytes("01 02 03 04 05 06")));
    ASSERT_TRUE(sim.control().command("fault 0 reply 0 " + hex(0, password))) << sim.control().lastError();
    ASSERT_TRUE(sim.control().command("fault 0 reply 6 " + hex(6, profile))) << sim.control().lastError();
    const Outcome viaKbsim = run(driver);
    const Bytes script = scriptOf(password, profile);
    setScript(script.data(), script.size());
    const Outcome viaStandIn = run(standIn);
    EXPECT_EQ(viaKbsim.password, viaStandIn.password);
    EXPECT_EQ(viaKbsim.profile, viaStandIn.profile);
    EXPECT_EQ(viaKbsim.block, viaStandIn.block);
    ++compared;
  }

  platform::ModuleHandle library = nullptr;
  FakeHidSetScriptFn setScript = nullptr;
  lumera::CUSBDriver standIn{config};
  int compared = 0;
};

TEST_F(StandInAgreesWithKbsim, FixedReplies) {
  Bytes block = hexBytes("83 00 00 00 00 00 00");
  for (int i = 0; i < 136; ++i) block.push_back(static_cast<std::uint8_t>(255 - i));
  const struct {
    const char* what;
    Bytes password, profile;
    bool passwordOk, profileOk;
  } cases[] = {
      {"both accepted", hexBytes("05 01 5a 00 00 00 00 00"), block, true, true},
      {"password refused", hexBytes("05 01 00"), block, false, true},
      {"short password reply", hexBytes("05"), hexBytes("83 00"), false, true},
      {"another command's profile reply", hexBytes("05 01 5a"), hexBytes("84 00 00 00 00 00 00 01 02"), true, false},
      {"empty replies", Bytes{}, Bytes{}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    compare(c.password, c.profile);
    const Bytes script = scriptOf(c.password, c.profile);
    setScript(script.data(), script.size());
    const Outcome o = run(standIn);
    EXPECT_EQ(o.password, c.passwordOk);
    EXPECT_EQ(o.profile, c.profileOk);
  }
}

TEST_F(StandInAgreesWithKbsim, CorpusAndRegressionInputs) {
  const std::string base = testsupport::sourceDir() + "/tests/fuzz/";
  for (const char* folder : {"corpus/lumera_replies", "regressions/lumera_replies"}) {
    if (!fs::is_directory(base + folder)) continue;
    for (const auto& e : fs::directory_iterator(base + folder)) {
      const std::string bytes = testsupport::readAll(e.path().string());
      // Only the inputs that ask for the password and the profile alone.
      if (bytes.empty() || !(bytes[0] & 2)) continue;
      const Bytes script(bytes.begin() + 1, bytes.end());
      const std::vector<Step> steps = parseSteps(script, {lumera::kShortReplySize, lumera::kLongReplySize});
      if (!steps[0].ok || !steps[1].ok) continue;  // retries are not forced on kbsim
      SCOPED_TRACE(e.path().string());
      compare(steps[0].bytes, steps[1].bytes);
    }
  }
  EXPECT_GT(compared, 0) << "the corpus holds password-and-profile inputs";
}

}  // namespace
