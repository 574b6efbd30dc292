# Sourced by the build scripts: when ccache is installed, compile through it, with paths taken
# relative to the checkout so that another checkout of the same sources reuses its results.
# Sets the array `launcher` to the CMake arguments that do it (empty without ccache).
launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
