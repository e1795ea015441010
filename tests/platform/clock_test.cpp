// The sleep hook: it takes every pause of sleepMs, from any thread, until it
// is removed.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/clock.h"

namespace {

struct Recorder {
  std::vector<unsigned> pauses;
  static void hook(unsigned ms, void* context) { static_cast<Recorder*>(context)->pauses.push_back(ms); }
};

TEST(SleepHook, TakesThePausesUntilRemoved) {
  Recorder r;
  platform::setSleepHook(&Recorder::hook, &r);
  platform::sleepMs(60000);  // would hang the test if it slept
  std::thread([] { platform::sleepMs(30000); }).join();
  platform::setSleepHook(nullptr, nullptr);
  EXPECT_EQ(r.pauses, (std::vector<unsigned>{60000, 30000}));

  platform::sleepMs(1);  // a real pause again, not recorded
  EXPECT_EQ(r.pauses.size(), 2u);
}

}  // namespace
