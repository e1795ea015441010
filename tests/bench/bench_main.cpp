// The benchmark program: registers every group, runs what the command line
// selects (Google Benchmark's flags) and prints, after the usual table, the
// ratio of our XML reader's time to each peer's on the same input.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "tests/bench/bench_util.h"

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so that the results file stays plain text.
  RatioReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.error_occurred) continue;
      // With repetitions the median stands for the benchmark.
      const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
      if (r.run_type != Run::RT_Iteration && !median) continue;
      seconds_[r.run_name.str()] = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
  }

  // "group/input/kavro" against "group/input/<peer>".
  void printRatios() const {
    std::printf("\nRatio of time, kavro / peer (below 1: kavro is faster)\n");
    std::printf("%-44s %12s %12s\n", "", "pugixml", "tinyxml2");
    for (const auto& [name, ours] : seconds_) {
      const std::string suffix = "/kavro";
      if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        continue;
      const std::string stem = name.substr(0, name.size() - suffix.size());
      std::printf("%-44s", stem.c_str());
      for (const char* peer : {"/pugixml", "/tinyxml2"}) {
        const auto it = seconds_.find(stem + peer);
        if (it == seconds_.end() || it->second <= 0)
          std::printf(" %12s", "n/a");
        else
          std::printf(" %12.2f", ours / it->second);
      }
      std::printf("\n");
    }
  }

 private:
  std::map<std::string, double> seconds_;
};

}  // namespace

int main(int argc, char** argv) {
  // Memory a benchmark frees stays with the process. By default glibc maps
  // large blocks afresh and trims the heap after big frees, so whether an
  // iteration pays for first-touch page faults (some 1,100 per 1 MB document,
  // which on a virtual machine cost more than the parse) depends on what ran
  // before it: the same pugixml load measured 0.7 ms in one run and 16 ms in
  // another. With both thresholds fixed every reader reuses warm memory and
  // the figures compare the readers, not the page-fault cost.
  mallopt(M_MMAP_THRESHOLD, 256 << 20);
  mallopt(M_TRIM_THRESHOLD, 512 << 20);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  bench::registerXmlBenchmarks();
  bench::registerEncoderBenchmarks();
  bench::registerApplyBenchmarks();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  bench::scratch();
  return 0;
}
