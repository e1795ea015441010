// What applying costs the programs themselves, against kbsim with no
// transfer delay: a full Lumera apply (flags 0x8007, per-key effect, 32
// macros) and a Q350 full write (20 macro keys, zone colours). Both device
// links pause where their protocols say so; every pause is measured as it is
// slept (platform::sleepMs through its hook for Lumera, the driver's pause
// function for the Q350), so the program's own cost is the wall time minus
// the time spent in those pauses. That cost still includes the round trips
// to the simulator over its local socket.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "lumera/device/apply.h"
#include "lumera/model/config.h"
#include "lumera/model/profile.h"
#include "platform/clock.h"
#include "q350config/device/full_write.h"
#include "q350config/settings/key_tables.h"
#include "q350config/settings/settings_store.h"
#include "sim/sim_process.h"
#include "tests/bench/bench_util.h"
#include "tests/support/test_env.h"

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;

// Sleeps each pause and counts what it asked for and what it took.
struct PauseMeter {
  std::atomic<std::uint64_t> asked{0};  // ms
  std::atomic<std::uint64_t> slept{0};  // ns
  std::atomic<std::uint64_t> count{0};
  void pause(unsigned ms) {
    const auto t0 = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    slept += static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - t0).count());
    asked += ms;
    ++count;
  }
  static void hook(unsigned ms, void* self) { static_cast<PauseMeter*>(self)->pause(ms); }
};

class Windows final : public platform::WindowMessenger {
 public:
  platform::WindowHandle findWindow(std::u16string_view) override { return 2; }
  bool postMessage(platform::WindowHandle, unsigned, platform::WPARAM, platform::LPARAM) override { return true; }
  bool isWindow(platform::WindowHandle w) override { return w == 1 || w == 2; }
};

// kbsim with one keyboard, reached through KAVRO_SIM_SOCKET while the
// object lives; false (the benchmark skipped) when it does not start.
struct Simulator {
  sim::SimProcess process;
  std::optional<testsupport::ScopedEnv> socket;
  bool start(benchmark::State& state, const char* keyboard) {
    if (!process.start({keyboard}, KAVRO_BENCH_KBSIM_PATH)) {
      state.SkipWithError(("kbsim: " + process.error()).c_str());
      return false;
    }
    socket.emplace("KAVRO_SIM_SOCKET", process.socketPath());
    return true;
  }
};

// Runs `apply` once per iteration and reports, per apply, the pauses and
// the wall time less the time asleep.
template <typename Apply>
void measure(benchmark::State& state, const PauseMeter& meter, Apply apply) {
  std::uint64_t wallNs = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    const bool ok = apply();
    wallNs += static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - t0).count());
    if (!ok) state.SkipWithError("apply failed");
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["pauses"] = static_cast<double>(meter.count) / n;
  state.counters["pause_ms"] = static_cast<double>(meter.asked) / n;
  state.counters["slept_ms"] = static_cast<double>(meter.slept) / n / 1e6;
  state.counters["own_ms"] = (static_cast<double>(wallNs) - static_cast<double>(meter.slept)) / n / 1e6;
}

void lumeraApply(benchmark::State& state) {
  Simulator sim;
  if (!sim.start(state, "q350rgb")) return;
  lumera::LumeraConfig config;
  config.load(dataDir() + "/lumera/", false);
  config.options().Pop = 0;
  Windows windows;
  lumera::CUSBDriver driver(config);
  if (!driver.LoadDriver(1, windows, KAVRO_BENCH_PALLOMAR_PATH) || !driver.FindDev()) {
    state.SkipWithError("no keyboard");
    return;
  }
  lumera::ProfileRecord profile;
  lumera::MacroList macros;
  profileWith32Macros(config, profile, macros);
  profile.effectIndex = config.options().GameIndex;  // the per-key effect
  lumera::ApplyJob job(driver, windows);
  PauseMeter meter;
  platform::setSleepHook(&PauseMeter::hook, &meter);
  measure(state, meter, [&] {
    return job.ApplySetting(&profile, macros, 2, lumera::kMsgApplyProgress, lumera::kApplyEverything);
  });
  platform::setSleepHook(nullptr, nullptr);
}

void q350FullWrite(benchmark::State& state) {
  Simulator sim;
  if (!sim.start(state, "q350")) return;
  PauseMeter meter;
  q350::CUSBDriver driver;
  driver.setPauseFunction([&meter](unsigned ms) { meter.pause(ms); });
  if (driver.Init(KAVRO_BENCH_QUILLFEN_PATH) != 1 || !driver.OpenDevice()) {
    state.SkipWithError("no keyboard");
    return;
  }
  const std::string folder = scratch() + "/q350-write";
  writeFile(folder + "/.keep", "");
  q350::SettingsStore store(folder);
  store.setPauseFunction([](unsigned) {});
  store.profileSettings.setFactoryLighting();
  store.keyMap = q350::DefaultKeyMap();
  for (std::uint32_t id = 1; id <= 20; ++id) {
    q350::MacroImage image;
    image.id = id;
    image.setName(u"Macro");
    for (std::uint32_t e = 0; e < 60; ++e)
      image.events.push_back(q350::makeEvent(e % 2 ? q350::kEventRelease : q350::kEventPress, 0x41 + e / 2 % 26));
    image.size = static_cast<std::uint32_t>(q350::MacroImage::kHeaderSize + 4 * image.events.size());
    store.macroLibrary.store(image);
    const std::uint32_t key = q350::KeyList()[id].matrixIndex;
    store.keyMap[key] = q350::kKindMacro;
    store.keyExtra.setMacroId(key, id);
  }
  Windows windows;
  std::mutex mainMutex;
  measure(state, meter, [&] {
    q350::FullWrite write(driver, store, mainMutex, windows, 1);
    write.setZoneSelection(0);
    return write.Run(2);
  });
}

}  // namespace

void registerApplyBenchmarks() {
  benchmark::RegisterBenchmark("apply/Lumera-0x8007-per-key-32-macros", lumeraApply)
      ->Iterations(5)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("apply/Q350-full-write-20-macros", q350FullWrite)
      ->Iterations(5)
      ->UseRealTime()
      ->Unit(benchmark::kMillisecond);
}

}  // namespace bench
