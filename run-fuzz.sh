#!/usr/bin/env bash
# Fuzzes every reader of outside input with libFuzzer under the address and
# undefined-behaviour sanitizers (clang from Debian), one target after the
# other, each for the given time, starting from the seed corpus and the kept
# crash inputs in tests/fuzz/.
#   ./run-fuzz.sh                  every target for 60 seconds
#   ./run-fuzz.sh 600              every target for 10 minutes
#   ./run-fuzz.sh 600 mck pro_dct  only these targets
#   KAVRO_FUZZ_JOBS=2 ./run-fuzz.sh 600   two targets at a time
# A finding (crash, hang over 10 s, leak, sanitizer report) is kept under
# build/fuzz/findings/<target>/ and makes the script exit non-zero. The grown
# corpus stays in build/fuzz/corpus/<target>/ for the next run; copy an input
# worth keeping into tests/fuzz/regressions/<target>/ so that CI replays it.
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

seconds=${1:-60}
[ $# -gt 0 ] && shift
all_targets=(xml_text xml_file update_manifest lumera_ini mck pro_dct q350_profile q350_macros
             lumera_replies q350_replies)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")
jobs=${KAVRO_FUZZ_JOBS:-1}

"$root/tools/install-deps.sh" clang libclang-rt-14-dev || exit 1

dir=${KAVRO_FUZZ_BUILD:-$root/build/fuzz}
mkdir -p "$dir"
echo "=== building the fuzz targets (clang, libFuzzer, address + undefined) ==="
if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
      -DKAVRO_SANITIZERS=address,undefined -DKAVRO_FUZZ=ON >"$dir/configure.log" 2>&1; then
  cat "$dir/configure.log"; echo "configure failed"; exit 1
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
if ! cmake --build "$dir" -j "$(nproc 2>/dev/null || echo 2)" "${build_targets[@]}" >"$dir/build.log" 2>&1; then
  grep -E "error" "$dir/build.log" | head -40; echo "build failed"; exit 1
fi

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/tests/lsan.supp

fuzz_one() {  # target
  local t=$1
  local bin="$dir/tests/fuzz/fuzz_$t" work="$dir/corpus/$t" found="$dir/findings/$t" log="$dir/logs/$t.log"
  mkdir -p "$work" "$found" "$dir/logs"
  # libFuzzer may write into any corpus folder it is given, so it gets only
  # the working copy, which starts from the seeds and the kept inputs.
  cp -rn "$root/tests/fuzz/corpus/$t/." "$work/"
  [ -d "$root/tests/fuzz/regressions/$t" ] && cp -rn "$root/tests/fuzz/regressions/$t/." "$work/"
  local inputs=("$work")
  local start rc
  start=$(date +%s)
  # The time limit is libFuzzer's; timeout only guards against a fuzzer
  # that does not come back (a hang in its own exit).
  timeout --kill-after=30 $((seconds + 300)) "$bin" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$found/" "${inputs[@]}" >"$log" 2>&1
  rc=$?
  local runs
  runs=$(grep -E "^stat::number_of_executed_units" "$log" | awk '{print $2}')
  echo "$t: ran $(( $(date +%s) - start )) s, ${runs:-?} inputs, exit $rc" >"$dir/logs/$t.result"
  cat "$dir/logs/$t.result"
  if [ $rc -ne 0 ]; then
    grep -E "ERROR|SUMMARY|runtime error|invariant|Test unit written" "$log" | head -20
    return 1
  fi
}

status=0
running=0
for t in "${targets[@]}"; do
  echo "=== fuzz_$t for $seconds s ==="
  if [ "$jobs" -gt 1 ]; then
    fuzz_one "$t" &
    running=$((running + 1))
    if [ $running -ge "$jobs" ]; then
      wait -n || status=1
      running=$((running - 1))
    fi
  else
    fuzz_one "$t" || status=1
  fi
done
while [ $running -gt 0 ]; do
  wait -n || status=1
  running=$((running - 1))
done

echo
echo "=== summary ==="
for t in "${targets[@]}"; do cat "$dir/logs/$t.result" 2>/dev/null || echo "$t: no result"; done
[ $status -eq 0 ] && echo "NO FINDINGS" || echo "FINDINGS: see $dir/findings/ and $dir/logs/"
exit $status
