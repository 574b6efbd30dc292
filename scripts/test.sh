#!/usr/bin/env bash
# Installs what is missing, builds everything (warnings are errors) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
source scripts/ccache.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRINX_WERROR=ON "${launcher[@]}"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
