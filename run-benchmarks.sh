#!/usr/bin/env bash
# Builds and runs the benchmarks (tests/bench/, Google Benchmark): the XML
# reader beside pugixml and tinyxml2, the encoders and profile stores, and
# the apply overhead against kbsim; then Lumera's start-up (process start
# to the main window's first paint, and resident memory after it) beside a
# bare Qt window, both under Xvfb. Installs what is missing (Debian
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
. "$root/tools/ccache-args.sh"
if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${ccache_args[@]}" >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log"; echo "configure failed"; exit 1
fi
if ! cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" --target kavro_bench kavro_bare_window Lumera kbsim \
    kavro_data >"$dir/build.log" 2>&1; then
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
# ---- Start-up: Lumera against kbsim beside a bare Qt window -----------------
# Each program runs 5 times after one warm-up run; a run is the time from
# just before the program is started to its window's first paint (the
# KAVRO_FIRST_PAINT_FILE probe) and its resident memory (VmRSS) then. The
# medians are written.
startup() {
  local tmp
  tmp=$(mktemp -d)
  export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/data XDG_CONFIG_HOME=$tmp/home/config XDG_RUNTIME_DIR=$tmp/run
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  export KAVRO_SIM_SOCKET=$tmp/kbsim.sock KAVRO_HID_REAL=0
  "$dir/stage/bin/kbsim" --socket "$KAVRO_SIM_SOCKET" --keyboard q350rgb >"$tmp/kbsim.log" 2>&1 &
  local sim=$!
  for _ in $(seq 100); do grep -q '^ready' "$tmp/kbsim.log" 2>/dev/null && break; sleep 0.1; done
  # one run: program, folder -> "milliseconds kilobytes"
  run_one() {
    local program=$1 folder=$2 probe=$tmp/paint start pid painted rss
    rm -f "$probe"
    start=$(date +%s%N)
    (cd "$folder" && KAVRO_FIRST_PAINT_FILE=$probe exec "$program") >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 200); do [ -s "$probe" ] && break; sleep 0.05; done
    painted=$(cat "$probe" 2>/dev/null || echo 0)
    rss=$(awk '/VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    echo "$(((painted - start) / 1000000)) $rss"
  }
  median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }
  for which in Lumera bare; do
    local program folder
    if [ "$which" = Lumera ]; then program=$dir/stage/Q350RGB/Lumera folder=$dir/stage/Q350RGB
    else program=$dir/tests/bench/kavro_bare_window folder=$tmp; fi
    run_one "$program" "$folder" >/dev/null  # warm cache
    local runs=()
    for _ in 1 2 3 4 5; do runs+=("$(run_one "$program" "$folder")"); done
    local ms kb
    ms=$(printf '%s\n' "${runs[@]}" | cut -d' ' -f1 | median)
    kb=$(printf '%s\n' "${runs[@]}" | cut -d' ' -f2 | median)
    printf '%-34s %6s ms to first paint %8s KiB resident\n' "startup/$which" "$ms" "$kb"
  done
  kill "$sim" 2>/dev/null; wait "$sim" 2>/dev/null
  rm -rf "$tmp"
}
echo "=== start-up (under Xvfb) ==="
{
  echo
  echo "Start-up, medians of 5 runs after a warm-up, under Xvfb (Lumera against kbsim):"
  dir=$dir xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$(declare -f startup); dir='$dir'; startup"
} | tee -a "$out"

mv "$out" "$results"
echo
echo "Results written to $results"
