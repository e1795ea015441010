#!/usr/bin/env bash
# Installs what the project needs from Debian's packages (only what is
# missing), then builds and runs the whole test suite twice: a normal build
# and an address + undefined-behaviour sanitizer build. Tests labelled
# "threads" also run in a thread-sanitizer build.
#   ./run-tests.sh            everything
#   KAVRO_BUILDS="normal" ./run-tests.sh   only the listed builds
#   KAVRO_REPEAT=20 KAVRO_LOAD=1 ./run-tests.sh
#                             the soak: every test 20 times (until it fails),
#                             with stress-ng keeping every core busy meanwhile
set -uo pipefail
cd "$(dirname "$0")"
root=$PWD

extra=()
[ -n "${KAVRO_LOAD:-}" ] && extra+=(stress-ng)
"$root/tools/install-deps.sh" "${extra[@]}" || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
. "$root/tools/ccache-args.sh"
builds=${KAVRO_BUILDS:-"normal asan tsan"}
status=0
summary=""

minutes() { printf '%dm%02ds' $(($1 / 60)) $(($1 % 60)); }

run_build() {  # name, extra cmake args..., then ctest args after "--"
  local name=$1; shift
  local cmake_args=() ctest_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  ctest_args=("$@")
  local dir="$root/build/$name"
  echo "=== $name build ==="
  local started=$SECONDS
  if ! cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${ccache_args[@]}" "${cmake_args[@]}" >"$dir.configure.log" 2>&1; then
    mkdir -p "$root/build"; cat "$dir.configure.log"; echo "configure failed ($name)"; return 1
  fi
  if ! cmake --build "$dir" -j "$jobs" ${KAVRO_BUILD_TARGET:+--target $KAVRO_BUILD_TARGET} >"$dir.build.log" 2>&1; then
    grep -E "error|Error" "$dir.build.log" | head -50; echo "build failed ($name)"; return 1
  fi
  local built=$SECONDS
  echo "=== $name tests ==="
  local out rc load=""
  [ -n "${KAVRO_REPEAT:-}" ] && ctest_args+=(--repeat "until-fail:$KAVRO_REPEAT")
  if [ -n "${KAVRO_LOAD:-}" ]; then
    stress-ng --cpu "$jobs" --timeout 0 >/dev/null 2>&1 &
    load=$!
  fi
  out=$(cd "$dir" && ctest --output-on-failure -j "$jobs" "${ctest_args[@]}" 2>&1); rc=$?
  [ -n "$load" ] && { kill "$load"; wait "$load"; } 2>/dev/null
  echo "$out" | grep -vE "^\s+(Start|[0-9]+/[0-9]+ Test)" | tail -n 60
  summary="$summary$name: $(echo "$out" | grep -E "tests passed|No tests were found" | tail -n 1)"
  summary="$summary (build $(minutes $((built - started))), tests $(minutes $((SECONDS - built))))"$'\n'
  return $rc
}

mkdir -p build
for b in $builds; do
  case $b in
    normal) run_build normal || status=1 ;;
    asan)
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
      UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
      LSAN_OPTIONS=suppressions="$root/tests/lsan.supp":print_suppressions=0 \
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
echo "total: $(minutes $SECONDS)"
command -v ccache >/dev/null 2>&1 && ccache --show-stats 2>/dev/null | grep -iE "^\s*(hits|misses|cacheable)" | head -n 3
[ $status -eq 0 ] && echo "ALL PASSED" || echo "FAILURES"
exit $status
