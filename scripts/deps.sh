#!/usr/bin/env bash
# Installs the Debian packages the build needs, when any is missing (as root, or with sudo).
# --clang also installs clang with its sanitizer and libFuzzer runtimes and llvm-symbolizer
# (for readable sanitizer stacks), which scripts/sanitize.sh and scripts/fuzz.sh need;
# --conformance also installs wine64 and the MinGW-w64 cross compiler, which
# scripts/conformance.sh needs; --accessibility an X server without a screen, D-Bus, the AT-SPI
# registry and its Python bindings, which scripts/accessibility.sh needs.
set -euo pipefail
need=(g++ cmake make ccache pkg-config libgtest-dev libbenchmark-dev nlohmann-json3-dev libsimdjson-dev
      qt6-base-dev qt6-tools-dev qt6-tools-private-dev libqt6opengl6-dev doxygen fonts-dejavu-core
      fonts-dejavu-extra)
for arg in "$@"; do
  case $arg in
    --clang) need+=(clang libclang-rt-dev llvm) ;;
    --conformance) need+=(wine64 g++-mingw-w64-x86-64) ;;
    --accessibility) need+=(xvfb xdotool dbus at-spi2-core python3-pyatspi) ;;
    *) echo "usage: scripts/deps.sh [--clang] [--conformance] [--accessibility]" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${need[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  echo "installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
