#!/usr/bin/env bash
# Builds and runs the benchmarks (tests/bench/, Google Benchmark): the XML
# reader beside pugixml and tinyxml2, the encoders and profile stores, and
# the apply overhead against kbsim. Installs what is missing (Debian
# packages), builds in build/bench (Release) and writes the figures, with
# the machine they came from, to tests/bench/results.txt.
#   ./run-benchmarks.sh                 everything, three repetitions (medians)
#   ./run-benchmarks.sh --benchmark_filter=xml_   Google Benchmark flags instead
# Run it on a quiet machine: other work on the cores shows in the figures.
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

"$root/tools/install-deps.sh" libpugixml-dev libtinyxml2-dev || exit 1

dir=${KAVRO_BENCH_BUILD:-$root/build/bench}
mkdir -p "$dir"
echo "=== building the benchmarks (Release) ==="
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log"; echo "configure failed"; exit 1
fi
if ! cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" --target kavro_bench >"$dir/build.log" 2>&1; then
  grep -E "error" "$dir/build.log" | head -40; echo "build failed"; exit 1
fi

results=${KAVRO_BENCH_RESULTS:-$root/tests/bench/results.txt}
out=$(mktemp)
{
  echo "Benchmarks of $(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo "this tree"), $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "Machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//'), $(nproc) cores, $(free -g | awk '/Mem:/ {print $2}') GiB"
  echo "System: $(uname -sr); compiler: $(c++ --version | head -n1); load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo
} >"$out"
echo "=== running ==="
# Three repetitions, medians shown: single runs on a shared machine wander.
args=("$@")
[ ${#args[@]} -eq 0 ] && args=(--benchmark_repetitions=3 --benchmark_report_aggregates_only=true)
echo "Arguments: ${args[*]}" >>"$out"
if ! "$dir/tests/bench/kavro_bench" "${args[@]}" | tee -a "$out"; then
  rm -f "$out"; echo "benchmarks failed"; exit 1
fi
mv "$out" "$results"
echo
echo "Results written to $results"
