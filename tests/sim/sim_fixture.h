// A kbsim child process per test, seen by the HID layer through
// KAVRO_SIM_SOCKET; real devices are hidden so that a keyboard on the
// developer's desk never gets into a test.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sim/sim_process.h"
#include "tests/support/test_env.h"

namespace testsupport {

class SimFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim.start(keyboards(), KAVRO_KBSIM_PATH)) << sim.error();
    socketEnv.emplace("KAVRO_SIM_SOCKET", sim.socketPath());
  }
  // The simulator must end cleanly (a sanitizer report in it would not).
  void TearDown() override { EXPECT_TRUE(sim.stop()) << sim.error(); }
  virtual std::vector<std::string> keyboards() const { return {"q350rgb"}; }

  // Transcript lines written since `from`, as text.
  std::vector<std::string> transcriptText(std::size_t from = 0) {
    std::vector<std::string> lines;
    sim.control().transcript(lines, from);
    for (std::string& l : lines) l = l.substr(l.find(' ') + 1);  // drop the time
    return lines;
  }

  ScopedEnv noRealDevices{"KAVRO_HID_REAL", "0"};
  sim::SimProcess sim;
  std::optional<ScopedEnv> socketEnv;
};

// Polls `done` until it holds or `ms` passed; for waiting on another
// process, never for measuring it.
template <typename F>
bool eventually(F done, unsigned ms = 5000) {
  const std::uint64_t end = platform::tickCount() + ms;
  while (!done()) {
    if (platform::tickCount() >= end) return false;
    platform::sleepMs(5);
  }
  return true;
}

}  // namespace testsupport
