#!/usr/bin/env bash
# Installs what is missing, builds every libFuzzer target (each fuzz/*.cpp) with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer into build-fuzz, and runs each one for SECONDS
# (default 20) from a copy of its seed corpus fuzz/corpus/<name>/, so new inputs collect in
# build-fuzz/fuzz-corpus/<name>/ and the repository stays as it is. As many fuzzers run at once
# as there are cores.
# A crash, sanitizer report, leak, timeout or memory blow-up stops that fuzzer: the script prints
# the fuzzer's report and the input that caused it (path, hex dump, base64, the command that
# replays it), keeps the input in build-fuzz/fuzz-findings/<name>/, runs the other fuzzers and
# exits 1. KESTRINX_FUZZ_DIR chooses another build directory.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds == 0)); then
  echo "usage: scripts/fuzz.sh [seconds per fuzzer, default 20]" >&2
  exit 2
fi
build=${KESTRINX_FUZZ_DIR:-build-fuzz}

names=()
for src in fuzz/*.cpp; do
  [ -e "$src" ] && names+=("$(basename "$src" .cpp)")
done
if ((${#names[@]} == 0)); then
  echo "no fuzzers in fuzz/" >&2
  exit 1
fi

scripts/deps.sh --clang
source scripts/ccache.sh
cmake -S . -B "$build" "${launcher[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRINX_FUZZ=ON -DKESTRINX_TESTS=OFF -DKESTRINX_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target kestrinx_fuzzers

export ASAN_OPTIONS="detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# Runs one fuzzer; its exit status is kept in status, its output in fuzz.log.
fuzz() {
  local name=$1 findings=$build/fuzz-findings/$1 corpus=$build/fuzz-corpus/$1
  local status=0
  "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" >"$findings/fuzz.log" 2>&1 || status=$?
  echo "$status" >"$findings/status"
}

# Each fuzzer starts from a copy of its seeds; as many run at once as there are cores.
parallel=$(nproc)
running=0
for name in "${names[@]}"; do
  rm -rf "$build/fuzz-findings/$name"
  mkdir -p "$build/fuzz-corpus/$name" "$build/fuzz-findings/$name"
  if [ -d "fuzz/corpus/$name" ]; then
    cp -R "fuzz/corpus/$name/." "$build/fuzz-corpus/$name/"
  else
    echo "$name: no seed corpus in fuzz/corpus/$name/, starting from nothing"
  fi
  if ((running == parallel)); then
    wait -n
    running=$((running - 1))
  fi
  fuzz "$name" &
  running=$((running + 1))
done
wait

failed=()
for name in "${names[@]}"; do
  corpus=$build/fuzz-corpus/$name
  findings=$build/fuzz-findings/$name
  log=$findings/fuzz.log
  if [ "$(cat "$findings/status" 2>/dev/null)" = 0 ]; then
    runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log")
    seeds=0
    [ -d "fuzz/corpus/$name" ] && seeds=$(find "fuzz/corpus/$name" -type f | wc -l)
    echo "$name: ${seconds} s, ${runs:-?} runs, corpus $seeds seeds -> $(find "$corpus" -type f | wc -l) inputs, no finding"
    continue
  fi

  failed+=("$name")
  echo "=== $name FAILED; its report without the progress lines ($log):"
  grep -Ev $'^#[0-9]+\t' "$log" || true
  found=0
  for input in "$findings"/*; do
    case $(basename "$input") in fuzz.log | status | slow-unit-*) continue ;; esac
    found=1
    echo "=== $name reproducer: $input ($(wc -c <"$input") bytes)"
    echo "--- hex dump:"
    od -A x -t x1z -v "$input"
    echo "--- base64 (save with: base64 -d > input):"
    base64 "$input"
    echo "--- replay: $build/fuzz/$name $input"
  done
  ((found)) || echo "=== $name stopped without leaving an input; see the report above"
done

if ((${#failed[@]})); then
  echo "fuzzing FAILED: ${failed[*]} (inputs kept in $build/fuzz-findings/)"
  exit 1
fi
echo "fuzzing: ${#names[@]} fuzzers, no finding"
