// Shared pieces of the benchmarks: a private scratch folder (and HOME) for
// the run and the shipped data.
#pragma once

#include <string>

namespace bench {

// The run's scratch folder (created on first use, removed at exit).
const std::string& scratch();
// The shipped data folder of the source tree.
std::string dataDir();
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace bench

namespace bench {
// Registration of each group (called by the main before the run).
void registerXmlBenchmarks();
void registerEncoderBenchmarks();
void registerApplyBenchmarks();
}  // namespace bench
