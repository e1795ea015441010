#!/usr/bin/env bash
# Installs what the project needs from Debian's packages (only what is
# missing), then builds and runs the whole test suite twice: a normal build
# and an address + undefined-behaviour sanitizer build. Tests labelled
# "threads" also run in a thread-sanitizer build.
#   ./run-tests.sh            everything
#   KAVRO_BUILDS="normal" ./run-tests.sh   only the listed builds
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

"$root/tools/install-deps.sh" || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
builds=${KAVRO_BUILDS:-"normal asan tsan"}
status=0
summary=""

run_build() {  # name, extra cmake args..., then ctest args after "--"
  local name=$1; shift
  local cmake_args=() ctest_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  ctest_args=("$@")
  local dir="$root/build/$name"
  echo "=== $name build ==="
  if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_args[@]}" >"$dir.configure.log" 2>&1; then
    mkdir -p "$root/build"; cat "$dir.configure.log"; echo "configure failed ($name)"; return 1
  fi
  if ! cmake --build "$dir" -j "$jobs" ${KAVRO_BUILD_TARGET:+--target $KAVRO_BUILD_TARGET} >"$dir.build.log" 2>&1; then
    grep -E "error|Error" "$dir.build.log" | head -50; echo "build failed ($name)"; return 1
  fi
  echo "=== $name tests ==="
  local out rc
  out=$(cd "$dir" && ctest --output-on-failure -j "$jobs" "${ctest_args[@]}" 2>&1); rc=$?
  echo "$out" | grep -vE "^\s+(Start|[0-9]+/[0-9]+ Test)" | tail -n 60
  summary="$summary$name: $(echo "$out" | grep -E "tests passed|No tests were found" | tail -n 1)"$'\n'
  return $rc
}

mkdir -p build
for b in $builds; do
  case $b in
    normal) run_build normal || status=1 ;;
    asan)
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS=suppressions="$root/tests/lsan.supp" \
      run_build asan -DKAVRO_SANITIZERS=address,undefined || status=1 ;;
    tsan)
      TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/tests/tsan.supp" \
      KAVRO_BUILD_TARGET=kavro_thread_tests \
      run_build tsan -DKAVRO_SANITIZERS=thread -- -L threads || status=1 ;;
  esac
done
echo
echo "=== summary ==="
printf '%s' "$summary"
[ $status -eq 0 ] && echo "ALL PASSED" || echo "FAILURES"
exit $status
