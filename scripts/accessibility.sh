#!/usr/bin/env bash
# KestrinWidget's boxes as a screen reader reads them, through AT-SPI: the Qt example program
# (a date box "Due" and a numeric box "Amount", each telling the outcome of its check) runs on
# an X server without a screen (Xvfb) with Qt's accessibility switched on, beside the AT-SPI
# bus and registry in a D-Bus session of its own; tests/accessibility/atspi_check.py reads the
# boxes back over the bus (names, description events, the invalid-entry state and its events,
# the numeric box's text) and prints one line per check.
#
# Installs what is missing (scripts/deps.sh --accessibility), builds the example in build/
# (KESTRINX_BUILD_DIR chooses another). Every step that can wait is bounded with `timeout`; the
# X server and the program are stopped on the way out. Exits 1 when a check fails.
# Usage: scripts/accessibility.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRINX_BUILD_DIR:-build}

timeout 1800 scripts/deps.sh --accessibility
source scripts/ccache.sh
[ -f "$build/CMakeCache.txt" ] ||
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRINX_WERROR=ON "${launcher[@]}"
cmake --build "$build" -j"$(nproc)" --target kestrinx_qt_example
example=$PWD/$build/examples/qt/kestrinx_qt_example
launcher_bin=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
  [ -x "$candidate" ] && { launcher_bin=$candidate; break; }
done
[ -n "$launcher_bin" ] || { echo "accessibility: no at-spi-bus-launcher" >&2; exit 1; }

# An X server of its own, on the first free display it finds.
log=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$log"
}
trap cleanup EXIT
exec 3>"$log/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$log/xvfb.txt" 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 100); do [ -s "$log/display" ] && break; sleep 0.1; done
[ -s "$log/display" ] || { echo "accessibility: Xvfb did not start" >&2; cat "$log/xvfb.txt" >&2; exit 1; }
export DISPLAY=":$(head -1 "$log/display")"
unset WAYLAND_DISPLAY

# The session: the AT-SPI bus, the program (its window focused, there being no window manager
# to do it), the check. The session's programs end with it.
export EXAMPLE=$example BUS_LAUNCHER=$launcher_bin LOGDIR=$log
set +e
timeout 180 dbus-run-session -- bash -c '
  "$BUS_LAUNCHER" --launch-immediately >"$LOGDIR/bus.txt" 2>&1 &
  sleep 1
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$EXAMPLE" >"$LOGDIR/example.txt" 2>&1 &
  example=$!
  window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --class kestrinx_qt_example 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] && timeout 10 xdotool windowfocus --sync "$window"
  timeout 150 /usr/bin/python3 tests/accessibility/atspi_check.py
  rc=$?
  kill "$example" 2>/dev/null
  exit $rc' 2> >(grep -v "Failed to set fd limit" >&2)
status=$?
set -e
if [ "$status" -ne 0 ]; then
  echo "accessibility: FAILED ($status); the example program said:" >&2
  cat "$log/example.txt" >&2 || true
fi
exit "$status"
