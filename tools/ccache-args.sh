# Sourced by the build scripts, with $root set to the clone. Fills the array
# ccache_args with the CMake options that compile through ccache when it is
# installed (nothing otherwise). The cache stays outside the clone
# (~/.cache/ccache) and paths are hashed relative to the clone, so a fresh
# clone reuses what an earlier build on this machine compiled.
ccache_args=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
  ccache_args=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
