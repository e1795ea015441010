#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "platform/text.h"

namespace platform {

namespace {
std::mutex gDebugMutex;
std::string gProgramName;
DebugSink gSink = nullptr;
void* gSinkContext = nullptr;
std::mutex gSleepMutex;
SleepHook gSleepHook = nullptr;
void* gSleepContext = nullptr;
}  // namespace

std::uint64_t tickCount() {
  using namespace std::chrono;
  return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void sleepMs(unsigned ms) {
  SleepHook hook;
  void* context;
  {
    std::lock_guard<std::mutex> lock(gSleepMutex);
    hook = gSleepHook;
    context = gSleepContext;
  }
  if (hook) {
    hook(ms, context);
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void setSleepHook(SleepHook hook, void* context) {
  std::lock_guard<std::mutex> lock(gSleepMutex);
  gSleepHook = hook;
  gSleepContext = context;
}

LocalTime localTimeNow() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const std::time_t t = system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&t, &tm);
  const int ms = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, ms};
}

void setProgramName(std::string name) {
  std::lock_guard<std::mutex> lock(gDebugMutex);
  gProgramName = std::move(name);
}

const std::string& programName() { return gProgramName; }

void debugOutput(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
  std::lock_guard<std::mutex> lock(gDebugMutex);
  if (gSink) {
    gSink(text, gSinkContext);
    return;
  }
  std::string line;
  if (!gProgramName.empty()) line = gProgramName + ": ";
  line.append(text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stderr);
}

void debugOutput(std::u16string_view text) { debugOutput(std::string_view(toUtf8(text))); }

void setDebugSink(DebugSink sink, void* context) {
  std::lock_guard<std::mutex> lock(gDebugMutex);
  gSink = sink;
  gSinkContext = context;
}

}  // namespace platform
