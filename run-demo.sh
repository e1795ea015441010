#!/usr/bin/env bash
# The demo: builds the suite, installs it into a folder of the build tree,
# plugs a virtual Q350RGB into the keyboard simulator and writes Lumera's
# current profile into it with kavroctl, exactly as the Apply button does.
# The first run creates the three default profiles.
#
#   ./run-demo.sh                         build/demo, installed in build/demo/install
#   KAVRO_DEMO_BUILD=/tmp/x ./run-demo.sh another build folder
#
# Real keyboards are left alone: only the simulator's keyboard is seen.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
build=${KAVRO_DEMO_BUILD:-$root/build/demo}
prefix=$build/install
run=$build/run
jobs=$(nproc 2>/dev/null || echo 2)

"$root/tools/install-deps.sh"
mkdir -p "$build"

echo "=== building in $build ==="
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; exit 1; }
cmake --build "$build" -j "$jobs" >"$build.build.log" 2>&1 ||
  { grep -E "error|Error" "$build.build.log" | head -40; echo "build failed (log: $build.build.log)"; exit 1; }

echo "=== installing into $prefix ==="
cmake --install "$build" --prefix "$prefix" >"$build.install.log" 2>&1 ||
  { cat "$build.install.log"; exit 1; }

mkdir -p "$run"
kavroctl=$prefix/bin/kavroctl
export KAVRO_SIM_SOCKET=$run/kbsim.sock
export KAVRO_HID_REAL=0
transcript=$run/transcript.txt
picture=$run/keyboard.png
appdata=$run/appdata

echo "=== starting kbsim with a virtual Q350RGB ==="
"$prefix/bin/kbsim" --socket "$KAVRO_SIM_SOCKET" --transcript "$transcript" --keyboard q350rgb >"$run/kbsim.log" 2>&1 &
kbsim_pid=$!
stop_kbsim() {
  "$kavroctl" sim stop >/dev/null 2>&1 || true
  wait "$kbsim_pid" 2>/dev/null || true
}
trap stop_kbsim EXIT
for _ in $(seq 100); do
  grep -q '^ready' "$run/kbsim.log" 2>/dev/null && break
  kill -0 "$kbsim_pid" 2>/dev/null || { cat "$run/kbsim.log"; exit 1; }
  sleep 0.1
done
"$kavroctl" hid list

echo "=== applying Lumera's current profile (kavroctl lumera apply) ==="
"$kavroctl" lumera apply --program-dir "$prefix/Q350RGB" --appdata "$appdata"
"$kavroctl" lumera profiles --program-dir "$prefix/Q350RGB" --appdata "$appdata"
"$kavroctl" sim render 0 "$picture"

echo
echo "Installed tree:   $prefix"
echo "Profiles:         $appdata (pro.dct, curid.dct)"
echo "Transcript:       $transcript ($(wc -l <"$transcript") reports the keyboard exchanged)"
echo "Keyboard picture: $picture"
