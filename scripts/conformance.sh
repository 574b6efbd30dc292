#!/usr/bin/env bash
# The type library read by an independent loader of its format: the platform's automation
# library as a Windows-compatible loader provides it (Debian's wine64, 64-bit, in a fresh 64-bit
# prefix of its own). A small Windows program (tests/conformance/typelib_loader.cpp, built with
# the MinGW-w64 cross compiler) loads the library with LoadTypeLibEx and walks every type entry;
# its listing must equal the one kestrinx_typelib_expected prints from the member tables. It
# loads the built KestrinX.tlb and, as a file of its own, the library's TYPELIB resource (which
# must be the same bytes). A difference is printed as a unified diff (expected, then what the
# loader read) and the script exits 1.
#
# Installs what is missing (scripts/deps.sh --conformance: wine64, g++-mingw-w64-x86-64), builds the type
# library and kestrinx_typelib_expected in build/ (KESTRINX_BUILD_DIR chooses another), and
# keeps its files in <build>/conformance/: the loader, the prefix, the listings and the loader's
# notes (referenced types it could not resolve, with its result code). Every step that can wait
# is bounded with `timeout`; the prefix's server is stopped on the way out.
# Usage: scripts/conformance.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KESTRINX_BUILD_DIR:-build}
work=$build/conformance

# ---- what the check needs -------------------------------------------------------------------
timeout 1800 scripts/deps.sh --conformance
wine=$(command -v wine64 || true)
[ -n "$wine" ] || wine=/usr/lib/wine/wine64
wineserver=$(dirname "$wine")/wineserver64
[ -x "$wineserver" ] || wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
if [ ! -x "$wine" ]; then
  echo "conformance: no wine64 loader found" >&2
  exit 1
fi

# ---- the host side: the type library, the expected listing, the resource ---------------------
source scripts/ccache.sh
[ -f "$build/CMakeCache.txt" ] ||
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRINX_WERROR=ON "${launcher[@]}"
cmake --build "$build" -j"$(nproc)" --target kestrinx_typelib kestrinx_typelib_expected
rm -rf "$work"
mkdir -p "$work"
tlb=$build/packaging/KestrinX.tlb
resource=$work/KestrinX-resource.tlb
"$build/tests/conformance/kestrinx_typelib_expected" listing >"$work/expected.txt"
"$build/tests/conformance/kestrinx_typelib_expected" resource "$resource"
status=0
if cmp -s "$tlb" "$resource"; then
  echo "conformance: the TYPELIB resource holds the same $(stat -c %s "$tlb") bytes as KestrinX.tlb"
else
  echo "conformance: FAILED: the TYPELIB resource differs from KestrinX.tlb"
  status=1
fi

# ---- the loader and its prefix ---------------------------------------------------------------
timeout 300 x86_64-w64-mingw32-g++ -std=c++17 -O1 -Wall -Wextra -Werror -municode -static \
  -o "$work/typelib_loader.exe" tests/conformance/typelib_loader.cpp -loleaut32 -lole32 -luuid

export WINEPREFIX=$root/$work/prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
stop_server() { timeout 60 "$wineserver" -k >/dev/null 2>&1 || true; }
trap stop_server EXIT
start=$SECONDS
if ! timeout 600 "$wine" wineboot --init >"$work/wineboot.log" 2>&1; then
  echo "conformance: FAILED: the prefix could not be made (wineboot); its output:" >&2
  cat "$work/wineboot.log" >&2
  exit 1
fi
echo "conformance: a fresh 64-bit prefix in $((SECONDS - start)) s"

# A Unix path as the loader sees it on drive Z:.
windows_path() { local p; p=$(realpath "$1"); echo "Z:${p//\//\\}"; }

for name in KestrinX.tlb KestrinX-resource.tlb; do
  file=$tlb
  [ "$name" = KestrinX.tlb ] || file=$resource
  loaded=$work/${name%.tlb}.loaded.txt
  notes=$work/${name%.tlb}.notes.txt
  rc=0
  timeout 180 "$wine" "$work/typelib_loader.exe" "$(windows_path "$file")" >"$loaded.raw" 2>"$notes" || rc=$?
  tr -d '\r' <"$loaded.raw" >"$loaded"
  rm -f "$loaded.raw"
  if ((rc != 0)); then
    reason="exit $rc"
    [ "$rc" -ne 124 ] || reason="timed out"
    echo "conformance: FAILED: the loader could not load $name ($reason):"
    cat "$loaded" "$notes"
    status=1
    continue
  fi
  if diff -u --label "expected (member tables)" --label "read by the loader ($name)" "$work/expected.txt" "$loaded" \
    >"$work/${name%.tlb}.diff"; then
    echo "conformance: $name: the loader reads $(grep -c '^type ' "$loaded") type entries exactly as described" \
      "($(wc -l <"$loaded") lines)"
  else
    echo "conformance: FAILED: $name: the loader reads it differently ($(grep -c '^[-+][^-+]' "$work/${name%.tlb}.diff") lines differ):"
    cat "$work/${name%.tlb}.diff"
    status=1
  fi
  if grep -q '^note:' "$notes"; then
    echo "conformance: $name: what the loader could not resolve (its result codes):"
    grep '^note:' "$notes" | sed 's/^note: /  /'
  fi
done
exit "$status"
