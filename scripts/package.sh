#!/usr/bin/env bash
# Makes the release in build/package and checks it (scripts/package_test.sh):
#   - NVRP_RORERER_10-<version>-win32.zip: the 32-bit DLL, the 64-bit one in x64/, the sample
#     NVRP_RORERER_10.ini, the C header, import libraries for MSVC (NVRP_RORERER_10.lib) and
#     MinGW (libNVRP_RORERER_10.a), docs/requests.md and docs/troubleshooting.md, README.txt
#     and SHA256SUMS;
#   - the Debian package of the Linux Release build (CPack): nvrp-rorerer-10_<version>_<arch>.deb.
# Usage: scripts/package.sh [--linux-build DIR]
#   --linux-build  the Linux Release build to package (default build-release when configured,
#                  else build/package/linux, made here without the tests)
# The DLLs are those of scripts/windows.sh, which builds only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/package
windows=$root/build/windows
linux_build=""
while (($#)); do
  case $1 in
    --linux-build) linux_build=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
jobs=$(nproc)
source "$root/scripts/ccache_env.sh"
nvrp_setup_ccache "$root"

source "$root/scripts/packages_env.sh"

install_missing() {
  nvrp_install_missing zip unzip dpkg-dev clang lld llvm binutils-mingw-w64-i686 \
    gcc-mingw-w64-i686-posix cmake ninja-build pkg-config python3
}

# The Linux Release build: the given one, build-release, or one made here without the tests.
linux_release() {
  if [[ -z $linux_build ]]; then
    linux_build=$root/build-release
    [[ -f $linux_build/CMakeCache.txt ]] || linux_build=$out/linux
  fi
  if [[ ! -f $linux_build/CMakeCache.txt ]]; then
    # A folder of its own only: another one would keep the tests switched off.
    [[ $linux_build == "$out/linux" ]] || { echo "$linux_build is not configured" >&2; exit 1; }
    cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNVRP_BUILD_TESTS=OFF \
      -DNVRP_BUILD_BENCH=OFF >/dev/null
  fi
  if ! grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$linux_build/CMakeCache.txt"; then
    echo "$linux_build is not a Release build" >&2
    exit 1
  fi
  cmake --build "$linux_build" -j "$jobs"
}

# The version of the build (CMake's, read from the library's version history).
project_version() {
  sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_build/CMakeCache.txt"
}

# The DLLs of a tested run: scripts/windows.sh --ship puts them in build/windows/ship.
windows_dlls() {
  bash "$root/scripts/windows.sh" --ship --linux-build "$linux_build"
  dll32=$windows/ship/NVRP_RORERER_10.dll
  dll64=$windows/ship/x64/NVRP_RORERER_10.dll
}

# Import libraries from the .def: every command takes three pointers (12 bytes of __stdcall
# arguments), so the programs' references are _NAME@12; the libraries map them to the
# undecorated names the DLL exports (IMPORT_NAME_UNDECORATE with -k).
import_libraries() {
  local dir=$1 def=$out/NVRP_RORERER_10-imports.def
  {
    echo "LIBRARY NVRP_RORERER_10.dll"
    echo "EXPORTS"
    sed -n 's/^ *"\{0,1\}\([A-Z]*\)"\{0,1\} *@\([0-9]*\)$/  "\1@12" @\2/p' \
      "$root/src/command/NVRP_RORERER_10.def"
  } >"$def"
  llvm-dlltool -m i386 -k -d "$def" -l "$dir/NVRP_RORERER_10.lib"
  i686-w64-mingw32-dlltool -k -d "$def" -l "$dir/libNVRP_RORERER_10.a"
}

windows_zip() {
  local version=$1 name=NVRP_RORERER_10-$1-win32
  local stage=$out/$name
  rm -rf "$stage" "$out/$name.zip"
  mkdir -p "$stage/x64" "$stage/docs"
  cp "$dll32" "$stage/NVRP_RORERER_10.dll"
  cp "$dll64" "$stage/x64/NVRP_RORERER_10.dll"
  cp "$root/examples/NVRP_RORERER_10.ini" "$root/include/nvrp_rorerer_10.h" "$stage/"
  cp "$root/docs/requests.md" "$root/docs/troubleshooting.md" "$stage/docs/"
  import_libraries "$stage"
  # Windows line ends for Notepad.
  sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$root/scripts/release_readme.txt" \
    >"$stage/README.txt"
  (cd "$stage" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort |
     xargs sha256sum >SHA256SUMS)
  # The same files give the same archive: the commit's time on every file, no extra fields.
  local stamp
  stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
  find "$stage" -exec touch -d "@$stamp" {} +
  (cd "$stage" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | zip -q -X -D "../$name.zip" -@)
  echo "zip: $out/$name.zip"
}

debian_package() {
  rm -f "$out"/*.deb
  cpack --config "$linux_build/CPackConfig.cmake" -G DEB -B "$out" >"$out/cpack.log" ||
    { cat "$out/cpack.log" >&2; exit 1; }
  rm -rf "$out/_CPack_Packages"
  echo "Debian package: $(ls "$out"/*.deb)"
}

install_missing
mkdir -p "$out"
linux_release
version=$(project_version)
windows_dlls
windows_zip "$version"
debian_package
bash "$root/scripts/package_test.sh" "$linux_build"
