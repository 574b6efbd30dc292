#!/usr/bin/env bash
# Installs what is missing, builds the command-line tool and tries the Kestrin box: the
# interactive box when run from a terminal (extra arguments go to `kestrinx try`), otherwise a
# short scripted session of numeric, date and time entries with a fixed clock.
# KESTRINX_BUILD_DIR chooses another build directory (default: build).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRINX_BUILD_DIR:-build}
scripts/deps.sh
source scripts/ccache.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRINX_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target kestrinx -j"$(nproc)"
tool="$build/apps/kestrinx"

if [ -t 0 ] && [ -t 1 ]; then
  exec "$tool" try --type date "$@"
fi

# Types each following line into a fresh box of the given kind and prints the outcomes.
entries() {
  local options=$1
  shift
  echo
  echo "\$ printf '$(printf '%s\\n' "$@")' | kestrinx try $options"
  # shellcheck disable=SC2086  # the options are meant to split into words
  printf '%s\n' "$@" | "$tool" try $options
}

entries "--type numeric" 1234567 -9876.5 12-25-98 T+1
entries "--type numeric --left --no-separators" 1234567
entries "--type date --today 2026-12-09" 12-25-98 98.12.25 T T+1 T-7 2026-02-30 Today
entries "--type date --date-format mmddyyyy --today 2026-12-09" 2026/1/5 T+30
entries "--type time --now 13:45:10" 9.30 N 24:00 12:60
entries "--type time --time-format hms --now 13:45:10" 12:30 12:30:59 N
entries "--type date --json --today 2026-12-09" T+1 12-25-98x
