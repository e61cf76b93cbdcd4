# Sourced by the build scripts: compiles through ccache when it can. The cache lives in the
# user's cache folder (${XDG_CACHE_HOME:-$HOME/.cache}/nvrp_rorerer_10/ccache, or CCACHE_DIR
# when set), is created when missing, and is shared by every clone: paths below the checkout
# are hashed relative to it, and the build folder's own path is left out. Without ccache or
# with no writable cache folder (a read-only home) the builds run without a cache.
# Sets NVRP_LAUNCHER_ARGS, the CMake arguments that choose the compiler launcher; exports them
# as CMAKE_<LANG>_COMPILER_LAUNCHER too, for the builds that other scripts configure. Without
# a cache CCACHE_DISABLE is set, so that a build configured with ccache compiles directly.
nvrp_setup_ccache() {
  local checkout=$1 cache=${CCACHE_DIR:-}
  if ! command -v ccache >/dev/null; then
    nvrp_build_without_ccache "not installed"
    return 0
  fi
  if [[ -z $cache ]]; then
    if [[ -n ${XDG_CACHE_HOME:-} ]]; then
      cache=$XDG_CACHE_HOME/nvrp_rorerer_10/ccache
    elif [[ -n ${HOME:-} ]]; then
      cache=$HOME/.cache/nvrp_rorerer_10/ccache
    else
      nvrp_build_without_ccache "no home folder"
      return 0
    fi
  fi
  if ! mkdir -p "$cache" 2>/dev/null || ! [[ -w $cache ]]; then
    nvrp_build_without_ccache "$cache cannot be written"
    return 0
  fi
  unset CCACHE_DISABLE
  export CCACHE_DIR=$cache CCACHE_BASEDIR=$checkout CCACHE_NOHASHDIR=1
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  NVRP_LAUNCHER_ARGS=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  echo "ccache: $CCACHE_DIR"
}

nvrp_build_without_ccache() {
  echo "ccache: $1, building without a cache"
  NVRP_LAUNCHER_ARGS=(-DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER=)
  unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
  export CCACHE_DISABLE=1
}
