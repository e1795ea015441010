// kbsim as a child process, driven through its socket: control requests,
// protocol errors, transcript parsing.
#include <gtest/gtest.h>

#include "platform/hid/sim_link.h"
#include "tests/sim/sim_fixture.h"

namespace {

class Kbsim : public testsupport::SimFixture {
 protected:
  std::vector<std::string> keyboards() const override { return {"q350rgb", "q350"}; }
  std::string ask(const std::string& line) {
    platform::SimLink link;
    EXPECT_TRUE(link.connect(sim.socketPath()));
    std::string rest;
    const bool ok = link.request(line, rest, 5000);
    return (ok ? "ok " : "err ") + rest;
  }
};

TEST_F(Kbsim, ControlRequests) {
  sim::Control& c = sim.control();
  std::vector<sim::KeyboardStatus> list;
  ASSERT_TRUE(c.list(list));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].model, "q350rgb");
  EXPECT_EQ(list[1].model, "q350");
  EXPECT_EQ(list[1].product, "Kavro Q350 Gaming Keyboard");

  int index = -1;
  ASSERT_TRUE(c.plug("q350rgb", &index));
  EXPECT_EQ(index, 2);
  EXPECT_FALSE(c.plug("q999"));
  EXPECT_NE(c.lastError().find("unknown model"), std::string::npos);
  ASSERT_TRUE(c.unplug(2));
  EXPECT_FALSE(c.unplug(2));
  EXPECT_FALSE(c.unplug(9));
  ASSERT_TRUE(c.slow(1, 5));
  ASSERT_TRUE(c.failNext(1, 3));
  ASSERT_TRUE(c.unplugAfter(1, 4));
  ASSERT_TRUE(c.mute(1, true));
  ASSERT_TRUE(c.list(list));
  EXPECT_FALSE(list[2].plugged);
  EXPECT_EQ(list[1].slowMs, 5u);
  EXPECT_EQ(list[1].failNext, 3u);
  EXPECT_EQ(list[1].unplugAfter, 4);
  EXPECT_TRUE(list[1].mute);
  ASSERT_TRUE(c.clearFaults(1));
  ASSERT_TRUE(c.list(list));
  EXPECT_EQ(list[1].unplugAfter, -1);
  EXPECT_FALSE(list[1].mute);

  std::vector<std::uint8_t> memory;
  ASSERT_TRUE(c.dump(1, memory));
  EXPECT_EQ(memory.size(), 0x4000u);
  ASSERT_TRUE(c.dump(0, memory));
  EXPECT_EQ(memory.size(), 0x10000u);
  EXPECT_FALSE(c.setPassword(1, {1, 2, 3, 4, 5, 6})) << "the Q350 has no password";
  EXPECT_FALSE(c.setFirmware(0, 3)) << "the Q350RGB has no firmware word";
  ASSERT_TRUE(c.render(1, sim.folder() + "/q350.png"));
  EXPECT_FALSE(testsupport::readAll(sim.folder() + "/q350.png").empty());
}

TEST_F(Kbsim, BadRequestsGetErrorsNotSilence) {
  EXPECT_EQ(ask("hello"), "ok kbsim 1");
  EXPECT_EQ(ask("write 0011").substr(0, 11), "err notopen");
  EXPECT_EQ(ask("open 5 1").substr(0, 9), "err nodev");
  EXPECT_EQ(ask("open 0 9").substr(0, 9), "err inval");
  EXPECT_EQ(ask("frobnicate").substr(0, 9), "err inval");
  EXPECT_EQ(ask("fault 0 slow -3").substr(0, 9), "err inval");
  EXPECT_EQ(ask("set 0 version 0x10000").substr(0, 9), "err inval");
  EXPECT_EQ(ask("transcript x").substr(0, 9), "err inval");
  // A session's bad reports.
  platform::SimLink link;
  ASSERT_TRUE(link.connect(sim.socketPath()));
  std::string rest;
  ASSERT_TRUE(link.request("open 0 1", rest, 5000));
  EXPECT_EQ(rest, "gen=1");
  EXPECT_FALSE(link.request("setfeature 0g", rest, 5000));
  EXPECT_FALSE(link.request("getfeature 300 9", rest, 5000));
  EXPECT_FALSE(link.request("read 0 10", rest, 5000));
  EXPECT_TRUE(link.request("getfeature 6 3", rest, 5000));
  EXPECT_EQ(rest, "060000");
}

TEST_F(Kbsim, TranscriptLinesParse) {
  platform::SimLink link;
  ASSERT_TRUE(link.connect(sim.socketPath()));
  std::string rest;
  ASSERT_TRUE(link.request("open 0 1", rest, 5000));
  ASSERT_TRUE(link.request("setfeature 060577000000000000", rest, 5000));
  const auto lines = sim.transcript();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].keyboard, 0);
  EXPECT_EQ(lines[0].interfaceNumber, 1);
  EXPECT_TRUE(lines[0].out);
  EXPECT_EQ(lines[0].bytes, (std::vector<std::uint8_t>{6, 5, 0x77, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(sim.transcriptSize(), 1u);
  // The file holds the same line.
  const std::string file = testsupport::readAll(sim.transcriptPath());
  EXPECT_NE(file.find(" 0 1 out 06 05 77 00 00 00 00 00 00\n"), std::string::npos);

  sim::TranscriptLine t;
  EXPECT_FALSE(sim::parseTranscriptLine("12 0 1 sideways 06", t));
  EXPECT_FALSE(sim::parseTranscriptLine("12 0 1 out", t));
  EXPECT_FALSE(sim::parseTranscriptLine("x 0 1 out 06", t));
}

}  // namespace
