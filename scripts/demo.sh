#!/usr/bin/env bash
# Installs what is missing, builds the demo (kestrinx-demo) and runs it on the sample form
# examples/contacts.kxform: in a window when there is a display (DISPLAY or WAYLAND_DISPLAY set;
# extra arguments go to kestrinx-demo), otherwise it draws the design view, the General page and
# the run view after a scripted entry offscreen into PNG files and prints their paths.
# KESTRINX_BUILD_DIR chooses another build directory (default: build); the screenshots go into
# its screenshots/ folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRINX_BUILD_DIR:-build}
scripts/deps.sh
source scripts/ccache.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRINX_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target kestrinx-demo -j"$(nproc)"
demo="$build/apps/kestrinx-demo/kestrinx-demo"
form=examples/contacts.kxform

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$demo" --form "$form" "$@"
fi

echo "no display: writing screenshots of the demo on $form"
QT_QPA_PLATFORM=offscreen "$demo" --screenshot "$build/screenshots" --form "$form"
