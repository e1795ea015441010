// Time, sleeping and the debugger output line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Milliseconds from a steady clock (never goes backwards, wraps like a
// 32-bit tick count only when the caller truncates it).
std::uint64_t tickCount();
void sleepMs(unsigned ms);

// Takes the place of sleepMs's pause, for every thread of the process: the
// hook receives the milliseconds and decides whether and how long to wait
// (a benchmark sums the pauses the protocols take, a fuzz target skips
// them). nullptr restores real sleeps.
using SleepHook = void (*)(unsigned ms, void* context);
void setSleepHook(SleepHook hook, void* context);

// Local wall-clock time broken down, with milliseconds.
struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};
LocalTime localTimeNow();

// The debugger output: one line on standard error, prefixed with the
// program name ("Lumera: ..."). Trailing line breaks are not doubled.
void setProgramName(std::string name);
const std::string& programName();
void debugOutput(std::string_view text);
void debugOutput(std::u16string_view text);

// Redirects debugOutput for tests (nullptr restores standard error).
using DebugSink = void (*)(std::string_view line, void* context);
void setDebugSink(DebugSink sink, void* context);

}  // namespace platform
