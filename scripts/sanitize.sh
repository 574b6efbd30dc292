#!/usr/bin/env bash
# Installs what is missing, builds the tests with clang's AddressSanitizer (leaks included) and
# UndefinedBehaviorSanitizer into build-asan, and runs every test. The first sanitizer report
# stops the test with its stack, and the test fails. KESTRINX_ASAN_DIR chooses another build
# directory.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KESTRINX_ASAN_DIR:-build-asan}
scripts/deps.sh --clang
# -O1 and line tables only: a quicker build, and stacks still name every file and line. The API
# documentation is checked by the test command's build, not again here.
source scripts/ccache.sh
cmake -S . -B "$build" "${launcher[@]}" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -gline-tables-only" -DKESTRINX_SANITIZE=ON -DKESTRINX_BENCH=OFF -DKESTRINX_DOCS=OFF
cmake --build "$build" -j"$(nproc)"
# Options given by the caller come last and win.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
