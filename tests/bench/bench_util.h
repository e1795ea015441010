// Shared pieces of the benchmarks: a private scratch folder (and HOME) for
// the run and the shipped data.
#pragma once

#include <string>

#include "lumera/model/macro.h"
#include "lumera/model/profile.h"

namespace bench {

// The run's scratch folder (created on first use, removed at exit).
const std::string& scratch();
// The shipped data folder of the source tree.
std::string dataDir();
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// A clock that stands still, so that new macros and profiles need no pause.
class StillClock final : public lumera::Clock {
 public:
  platform::LocalTime now() const override { return {2024, 5, 6, 7, 8, 9, 10}; }
  void sleepMs(unsigned) const override {}
};

// A profile of the shipped configuration whose first 32 keys each play
// their own macro of 40 events (ids 1000..1031).
void profileWith32Macros(const lumera::LumeraConfig& config, lumera::ProfileRecord& profile,
                         lumera::MacroList& macros);

}  // namespace bench

namespace bench {
// Registration of each group (called by the main before the run).
void registerXmlBenchmarks();
void registerEncoderBenchmarks();
void registerApplyBenchmarks();
}  // namespace bench
