#!/usr/bin/env bash
# The demo: builds the suite, installs it into a folder of the build tree,
# plugs a virtual Q350RGB into the keyboard simulator and starts the
# installed launcher, which finds the keyboard and starts Lumera.
#
#   ./run-demo.sh                         build/demo, installed in build/demo/install
#   KAVRO_DEMO_BUILD=/tmp/x ./run-demo.sh another build folder
#   KAVRO_DEMO_HEADLESS=1 ./run-demo.sh   the display-less run even with a display
#
# With a display the real window opens: change what you like, press Apply
# or OK, close it, and the script shows what the keyboard received. Without
# a display (or with KAVRO_DEMO_HEADLESS=1) it runs under Xvfb, saves a
# screenshot of the main window, clicks Apply, saves a second one, and
# shows that the simulator received the profile.
#
# Real keyboards are left alone: only the simulator's keyboard is seen. The
# demo's profiles live in build/demo/run/data, never in your own data folder.
set -euo pipefail
cd "$(dirname "$0")"
root=$PWD
build=${KAVRO_DEMO_BUILD:-$root/build/demo}
prefix=$build/install
run=$build/run
jobs=$(nproc 2>/dev/null || echo 2)

"$root/tools/install-deps.sh" xdotool imagemagick
mkdir -p "$build"

echo "=== building in $build ==="
. "$root/tools/ccache-args.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${ccache_args[@]}" >"$build.configure.log" 2>&1 ||
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
export XDG_DATA_HOME=$run/data
transcript=$run/transcript.txt
picture=$run/keyboard.png
appdata=$XDG_DATA_HOME/$(sed -n 's/^appdir=\(.*\)$/\1/p' "$prefix/Q350RGB/cfg.ini" | tr -d '\r')
title=$(sed -n 's:.*<tc_title>\(.*\)</tc_title>.*:\1:p' "$prefix/Q350RGB/text.xml" | head -n 1)
mkdir -p "$XDG_DATA_HOME"
rm -f "$transcript"

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

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${KAVRO_DEMO_HEADLESS:-}" ]; then
  echo "=== starting the launcher; it starts Lumera (close Lumera to end the demo) ==="
  "$prefix/KavroQ350" >"$run/launcher.log" 2>&1 || true
  # The launcher has started Lumera detached and ended; wait for Lumera.
  for _ in $(seq 100); do
    pgrep -u "$(id -u)" -f -- "$prefix/Q350RGB/Lumera" >/dev/null && break
    sleep 0.1
  done
  while pgrep -u "$(id -u)" -f -- "$prefix/Q350RGB/Lumera" >/dev/null; do sleep 0.5; done
else
  echo "=== no display: the launcher and Lumera under Xvfb ==="
  # Lumera's own runtime folder, so that a Lumera of yours running on the
  # same machine is neither woken nor blocking this one.
  export XDG_RUNTIME_DIR=$run/runtime
  mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  read -r okx oky < <(sed -n 's/^ptApplyBtn=\([0-9]*\),\([0-9]*\).*/\1 \2/p' "$prefix/Q350RGB/cfg.ini")
  read -r exx exy < <(sed -n 's/^ptExit=\([0-9]*\),\([0-9]*\).*/\1 \2/p' "$prefix/Q350RGB/cfg.ini")
  export DEMO_PREFIX=$prefix DEMO_RUN=$run DEMO_TITLE=$title DEMO_APPDATA=$appdata
  # Apply lies two buttons (57 pixels and 6 apart) right of OK; a click
  # goes to a button's middle.
  export DEMO_APPLY_X=$((okx + 2 * 63 + 28)) DEMO_APPLY_Y=$((oky + 15))
  export DEMO_EXIT_X=$((exx + 8)) DEMO_EXIT_Y=$((exy + 7))
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -euo pipefail
    "$DEMO_PREFIX/KavroQ350" >"$DEMO_RUN/launcher.log" 2>&1 || true
    wid=$(timeout 30 xdotool search --sync --onlyvisible --name "^$DEMO_TITLE\$" | head -n 1) ||
      { echo "Lumera did not open its window (see $DEMO_RUN/launcher.log)"; exit 1; }
    pid=$(xdotool getwindowpid "$wid")
    sleep 1
    import -window root "$DEMO_RUN/lumera.png"
    echo "Screenshot of the main window: $DEMO_RUN/lumera.png"
    echo "=== clicking Apply ==="
    xdotool mousemove --window "$wid" "$DEMO_APPLY_X" "$DEMO_APPLY_Y" click 1
    for _ in $(seq 300); do [ -s "$DEMO_APPDATA/curid.dct" ] && break; sleep 0.1; done
    [ -s "$DEMO_APPDATA/curid.dct" ] || { echo "the apply did not finish"; kill "$pid"; exit 1; }
    sleep 1
    import -window root "$DEMO_RUN/lumera-applied.png"
    echo "After Apply: $DEMO_RUN/lumera-applied.png"
    # No notification area under Xvfb: Exit ends Lumera.
    xdotool mousemove --window "$wid" "$DEMO_EXIT_X" "$DEMO_EXIT_Y" click 1
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill "$pid" 2>/dev/null || true
  '
fi

echo "=== what the keyboard received ==="
if [ -s "$transcript" ]; then
  echo "The simulator took $(grep -c ' out ' "$transcript" || true) reports from Lumera; the first ones:"
  head -n 7 "$transcript" | cut -c 1-96
else
  echo "Nothing was written to the keyboard (Apply or OK was not pressed)."
fi
if [ -f "$appdata/pro.dct" ]; then
  "$kavroctl" lumera profiles --program-dir "$prefix/Q350RGB" --appdata "$appdata"
fi
"$kavroctl" sim render 0 "$picture"

echo
echo "Installed tree:   $prefix"
echo "Profiles:         $appdata (pro.dct, curid.dct)"
echo "Transcript:       $transcript"
echo "Keyboard picture: $picture"
