#!/usr/bin/env bash
# Builds and runs the benchmarks (tests/bench/, Google Benchmark): the XML
# reader beside pugixml and tinyxml2, the encoders and profile stores, and
# the apply overhead against kbsim; then Lumera's start-up (process start
# to the main window's first paint, and resident memory after it) beside a
# bare Qt window, and the share of a core Lumera takes while its fastest
# effect preview runs beside the same with the preview paused, all under
# Xvfb. Installs what is missing (Debian
# packages), builds in build/bench (Release) and writes the figures, with
# the machine they came from, to tests/bench/results.txt.
#   ./run-benchmarks.sh                 everything, three repetitions (medians)
#   ./run-benchmarks.sh --benchmark_filter=xml_   Google Benchmark flags instead
# Run it on a quiet machine: other work on the cores shows in the figures.
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

"$root/tools/install-deps.sh" libpugixml-dev libtinyxml2-dev xdotool || exit 1

dir=${KAVRO_BENCH_BUILD:-$root/build/bench}
mkdir -p "$dir"
echo "=== building the benchmarks (Release) ==="
. "$root/tools/ccache-args.sh"
if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release "${ccache_args[@]}" >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log"; echo "configure failed"; exit 1
fi
if ! cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" --target kavro_bench kavro_bare_window kavro_preview_profile Lumera kbsim \
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
# ---- The programs' sandbox under Xvfb --------------------------------------
# A home, data, config and runtime folder of their own and a kbsim with a
# virtual Q350RGB, so that nothing measured touches the user's files or a
# keyboard on the desk. Sets $tmp; sandbox_end stops kbsim and removes it.
sandbox_start() {
  tmp=$(mktemp -d)
  export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/data XDG_CONFIG_HOME=$tmp/home/config XDG_RUNTIME_DIR=$tmp/run
  mkdir -p "$HOME" "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  export KAVRO_SIM_SOCKET=$tmp/kbsim.sock KAVRO_HID_REAL=0
  "$dir/stage/bin/kbsim" --socket "$KAVRO_SIM_SOCKET" --keyboard q350rgb >"$tmp/kbsim.log" 2>&1 &
  sandbox_sim=$!
  for _ in $(seq 100); do grep -q '^ready' "$tmp/kbsim.log" 2>/dev/null && break; sleep 0.1; done
}
sandbox_end() {
  kill "$sandbox_sim" 2>/dev/null; wait "$sandbox_sim" 2>/dev/null
  rm -rf "$tmp"
}

# ---- Start-up: Lumera against kbsim beside a bare Qt window -----------------
# Each program runs 5 times after one warm-up run; a run is the time from
# just before the program is started to its window's first paint (the
# KAVRO_FIRST_PAINT_FILE probe) and its resident memory (VmRSS) then. The
# medians are written.
startup() {
  sandbox_start
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
  sandbox_end
}
echo "=== start-up (under Xvfb) ==="
{
  echo
  echo "Start-up, medians of 5 runs after a warm-up, under Xvfb (Lumera against kbsim):"
  dir=$dir xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$(declare -f sandbox_start sandbox_end startup); dir='$dir'; startup"
} | tee -a "$out"

# ---- CPU share: Lumera with its fastest preview running, then paused ------
# Lumera starts on one profile with lighting on and the breathing effect at
# its shortest tick. Its user + system time (/proc/PID/stat) is read over
# 10 s after the window has settled; then the Macro button opens the macro
# library, a modal dialog during which the main window pauses the preview,
# and the same 10 s are measured again.
cpushare() {
  sandbox_start
  local folder=$dir/stage/Q350RGB
  local appdata=$XDG_DATA_HOME/$(sed -n 's/^appdir=\(.*\)$/\1/p' "$folder/cfg.ini" | tr -d '\r')
  local chosen
  chosen=$("$dir/tests/bench/kavro_preview_profile" "$folder" "$appdata") || { sandbox_end; return 1; }
  (cd "$folder" && KAVRO_FIRST_PAINT_FILE=$tmp/paint exec "$dir/stage/Q350RGB/Lumera") >"$tmp/lumera.log" 2>&1 &
  local pid=$! hz
  hz=$(getconf CLK_TCK)
  for _ in $(seq 300); do [ -s "$tmp/paint" ] && break; sleep 0.05; done
  # share of one core over 10 s, in per cent with one decimal
  share() {
    local a b
    a=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep 10
    b=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    awk -v t=$((b - a)) -v hz="$hz" 'BEGIN {printf "%.1f", 100 * t / hz / 10}'
  }
  local on=n/a paused=n/a windows
  if [ -s "$tmp/paint" ]; then
    sleep 2  # past the start-up work
    on=$(share)
    local mx my
    read -r mx my < <(sed -n 's/^ptMacro=\([0-9]*\),\([0-9]*\).*/\1 \2/p' "$folder/cfg.ini")
    local wid
    wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
    xdotool mousemove --window "$wid" $((mx + 10)) $((my + 10)) click 1
    for _ in $(seq 100); do
      windows=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
      [ "$windows" -ge 2 ] && break
      sleep 0.1
    done
    if [ "$windows" -ge 2 ]; then sleep 1; paused=$(share); fi
  fi
  printf '%-34s %s\n' "cpu/preview-running" "$on % of one core ($chosen)"
  printf '%-34s %s\n' "cpu/preview-paused" "$paused % of one core (macro library open)"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
  sandbox_end
}
echo "=== CPU share of the running program (under Xvfb) ==="
{
  echo
  echo "CPU share of Lumera over 10 s, under Xvfb against kbsim (user + system time):"
  dir=$dir xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$(declare -f sandbox_start sandbox_end cpushare); dir='$dir'; cpushare"
} | tee -a "$out"

mv "$out" "$results"
echo
echo "Results written to $results"
