#!/usr/bin/env bash
# Checks the release that scripts/package.sh made in build/package:
#   - one version everywhere: the zip's name, CMake's project version, the DLLs' version
#     resources, the Debian package, its pkg-config file and the VERSION answer;
#   - the zip: its files, the 32-bit DLL byte for byte the one windows.sh checked, SHA256SUMS;
#   - a 32-bit C host linked against each import library (clang + lld-link against the .lib,
#     MinGW against the .a) imports the undecorated names, and runs under the 32-bit Wine of
#     scripts/wine32.sh when it can make one: VERSION, then OPEN, PRINTFR and CLOSE on ibox-sim;
#   - the Debian package unpacked into a scratch root: the C example built against it through
#     its pkg-config file and its CMake package prints on the packaged ibox-sim, and the
#     packaged fiscalctl loads the packaged library.
# Usage: scripts/package_test.sh LINUX_BUILD (the build that was packaged)
set -euo pipefail
cd "$(dirname "$0")/.."
source tests/support/ibox_sim.sh
root=$PWD
out=$root/build/package
windows=$root/build/windows
(($# == 1)) || { echo "usage: $0 LINUX_BUILD" >&2; exit 2; }
linux_build=$1
work=$out/test
rm -rf "$work"
mkdir -p "$work"

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# The FILEVERSION of a DLL's version resource (VS_FIXEDFILEINFO), as major.minor.
dll_file_version() {
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = data.find(struct.pack("<I", 0xFEEF04BD))
if at < 0:
    sys.exit("no version resource in " + sys.argv[1])
high, = struct.unpack_from("<I", data, at + 8)
print(f"{high >> 16}.{high & 0xFFFF}")
EOF
}

# The names a program imports from NVRP_RORERER_10.dll, one a line, sorted.
driver_imports() {
  objdump -p "$1" | awk '/DLL Name:/ { inside = ($3 == "NVRP_RORERER_10.dll"); next }
                         inside && NF == 3 && $1 ~ /^[0-9a-f]+$/ { print $3 }
                         inside && NF == 0 { inside = 0 }' | LC_ALL=C sort
}

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$linux_build/CMakeCache.txt")
[[ -n $version ]] || fail "no project version in $linux_build"
zip=$out/NVRP_RORERER_10-$version-win32.zip
shopt -s nullglob
debs=("$out"/*.deb)
shopt -u nullglob
[[ -f $zip ]] || fail "no $zip (the zip's name must carry the project version $version)"
((${#debs[@]} == 1)) || fail "expected one Debian package in $out, found ${#debs[@]}"
deb=${debs[0]}

echo "--- the zip"
unpacked=$work/zip
unzip -q "$zip" -d "$unpacked"
expected_files="NVRP_RORERER_10.dll
NVRP_RORERER_10.ini
NVRP_RORERER_10.lib
README.txt
SHA256SUMS
docs/requests.md
docs/troubleshooting.md
libNVRP_RORERER_10.a
nvrp_rorerer_10.h
x64/NVRP_RORERER_10.dll"
files=$(cd "$unpacked" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[[ $files == "$expected_files" ]] ||
  fail "the zip holds:"$'\n'"$files"$'\n'"expected:"$'\n'"$expected_files"
(cd "$unpacked" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not verify"
[[ $(wc -l <"$unpacked/SHA256SUMS") -eq 9 ]] || fail "SHA256SUMS does not name the 9 other files"
same_file() {
  [[ $(sha256sum <"$1") == $(sha256sum <"$2") ]] || fail "$1 differs from $2"
}
same_file "$unpacked/NVRP_RORERER_10.dll" "$windows/i686/src/NVRP_RORERER_10.dll"
objdump -f "$unpacked/NVRP_RORERER_10.dll" | grep -q 'file format pei-i386' ||
  fail "the top DLL is not 32-bit"
objdump -f "$unpacked/x64/NVRP_RORERER_10.dll" | grep -q 'file format pei-x86-64' ||
  fail "x64/NVRP_RORERER_10.dll is not 64-bit"
# Both import libraries cover every export of the .def, as NAME@12 (three pointers).
exports=$(sed -n 's/^ *"\{0,1\}\([A-Z]*\)"\{0,1\} *@[0-9]*$/\1/p' src/command/NVRP_RORERER_10.def |
  LC_ALL=C sort)
for library in NVRP_RORERER_10.lib libNVRP_RORERER_10.a; do
  imported=$(llvm-nm "$unpacked/$library" | sed -n 's/.* __imp__\([A-Z]*\)@12$/\1/p' | LC_ALL=C sort -u)
  [[ $imported == "$exports" ]] || fail "$library has: $(echo $imported)"
done
echo "ok: files, SHA256SUMS, the 32-bit DLL that windows.sh checked, the import libraries"

echo "--- one version: $version"
for dll in NVRP_RORERER_10.dll x64/NVRP_RORERER_10.dll; do
  [[ $(dll_file_version "$unpacked/$dll") == "$version" ]] ||
    fail "$dll: version resource $(dll_file_version "$unpacked/$dll"), project $version"
done
[[ $(dpkg-deb -f "$deb" Version) == "$version" ]] ||
  fail "Debian package version $(dpkg-deb -f "$deb" Version)"
grep -q "^NVRP_RORERER_10 $version for Windows" "$unpacked/README.txt" || fail "README.txt version"
echo "ok: zip name, version resources, Debian package, README.txt"

echo "--- the Debian package $(basename "$deb")"
deb_root=$work/deb-root
dpkg-deb -x "$deb" "$deb_root"
for file in usr/lib/libNVRP_RORERER_10.so usr/include/nvrp_rorerer_10.h \
  usr/lib/cmake/NVRP_RORERER_10/NVRP_RORERER_10Config.cmake usr/lib/pkgconfig/NVRP_RORERER_10.pc \
  usr/lib/NVRP_RORERER_10.ini.sample usr/bin/fiscalctl usr/bin/ibox-sim; do
  [[ -f $deb_root/$file ]] || fail "not in the package: /$file"
done
[[ $(dpkg-deb -f "$deb" Package) == nvrp-rorerer-10 ]] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libc6 libcurl4 libpugixml1v5; do
  [[ $depends == *"$dependency"* ]] || fail "Depends lacks $dependency: $depends"
done
# Every dependency is installed here (the machine the package is tested on).
for dependency in $(echo "$depends" | tr ',' '\n' | sed 's/(.*)//; s/|.*//; s/ //g'); do
  dpkg-query -W -f='${Status}' "$dependency" 2>/dev/null | grep -q "install ok installed" ||
    fail "dependency $dependency is not installed"
done
export PKG_CONFIG_PATH=$deb_root/usr/lib/pkgconfig
[[ $(pkg-config --modversion NVRP_RORERER_10) == "$version" ]] ||
  fail "pkg-config version $(pkg-config --modversion NVRP_RORERER_10)"
warnings="-Wall -Wextra -Wpedantic -Werror"
read -r -a pc_flags <<<"$(pkg-config --cflags --libs NVRP_RORERER_10)"
cc -std=c11 $warnings examples/c/print_day.c "${pc_flags[@]}" -o "$work/pkg-config-host"
cmake -S examples/c -B "$work/cmake-host" -G Ninja -DCMAKE_PREFIX_PATH="$deb_root/usr" \
  -DCMAKE_C_FLAGS="$warnings" >"$work/cmake-host.log"
cmake --build "$work/cmake-host" >>"$work/cmake-host.log"
mkdir -p "$work/host"
cp "$deb_root/usr/lib/NVRP_RORERER_10.ini.sample" "$work/host/NVRP_RORERER_10.ini"
export NVRP_HOST_DIR=$work/host
packaged_library=$(realpath "$deb_root/usr/lib/libNVRP_RORERER_10.so")
start_ibox_sim "$work/ibox-sim.out" "$deb_root/usr/bin/ibox-sim"
for host in "$work/pkg-config-host" "$work/cmake-host/print_day"; do
  env -u LD_LIBRARY_PATH "$host" 127.0.0.1 "$sim_port" PRINTFR >"$host.out" ||
    { cat "$host.out" >&2; fail "$host"; }
  grep -q "^<ReceiptNumber>[1-9][0-9]*</ReceiptNumber>" "$host.out" || fail "$host: no receipt"
  loaded=$(env -u LD_LIBRARY_PATH ldd "$host" | awk '$1 == "libNVRP_RORERER_10.so" { print $3 }')
  [[ $(realpath "$loaded") == "$packaged_library" ]] ||
    fail "$host loads '$loaded', not the packaged library"
done
fiscalctl=$deb_root/usr/bin/fiscalctl
env -u NVRP_LIBRARY "$fiscalctl" --help | grep -qF "$packaged_library" ||
  fail "the packaged fiscalctl does not load the packaged library"
answer=$(env -u NVRP_LIBRARY "$fiscalctl" VERSION NVRP_RORERER_10)
[[ $answer == *"Version $version - "* ]] || fail "VERSION answers: $answer"
echo "ok: files, dependencies, C example through pkg-config and CMake, fiscalctl VERSION"

echo "--- a 32-bit host linked against the import libraries"
hosts=$work/win32
mkdir -p "$hosts/lib" "$hosts/mingw"
# The MSVC way: lld-link with nothing but import libraries, the system's made here as Windows'
# SDK has them (short import libraries). Debian has no Windows SDK headers: the object is
# compiled with the MinGW headers, for the same i386 COFF and __stdcall names.
system_import_library() {
  local dll=$1 name=$2
  shift 2
  { echo "LIBRARY $dll"; echo EXPORTS; printf '  %s\n' "$@"; } >"$hosts/lib/$name.def"
  llvm-dlltool -m i386 -k -d "$hosts/lib/$name.def" -l "$hosts/lib/$name.lib"
}
system_import_library KERNEL32.dll kernel32 ExitProcess@4 GetCommandLineW@0 GetStdHandle@4 \
  WriteFile@20
system_import_library OLEAUT32.dll oleaut32 SysAllocString@4 SysFreeString@4 SysStringLen@4
clang --target=i686-w64-windows-gnu -O0 -DNVRP_HOST_WITHOUT_CRT $warnings -I"$unpacked" \
  -c tests/package/win32_host.c -o "$hosts/win32_host.obj"
lld-link /nologo /subsystem:console /entry:HostStart /nodefaultlib /out:"$hosts/host_msvc.exe" \
  "$hosts/win32_host.obj" "$unpacked/NVRP_RORERER_10.lib" "$hosts/lib/kernel32.lib" \
  "$hosts/lib/oleaut32.lib"
cp "$unpacked/libNVRP_RORERER_10.a" "$hosts/mingw/"
i686-w64-mingw32-gcc-posix -std=c11 $warnings -I"$unpacked" tests/package/win32_host.c \
  -L"$hosts/mingw" -lNVRP_RORERER_10 -loleaut32 -o "$hosts/host_mingw.exe"
for exe in host_msvc host_mingw; do
  imports=$(driver_imports "$hosts/$exe.exe" | tr '\n' ' ')
  [[ $imports == "CLOSE OPEN PRINTFR VERSION " ]] ||
    fail "$exe imports from NVRP_RORERER_10.dll: '$imports' (want the undecorated names)"
done
echo "ok: both hosts import CLOSE OPEN PRINTFR VERSION from NVRP_RORERER_10.dll"

run=$work/run32
mkdir -p "$run"
cp "$unpacked/NVRP_RORERER_10.dll" "$unpacked/NVRP_RORERER_10.ini" "$hosts"/host_*.exe "$run/"
status=0
bash scripts/wine32.sh ensure >"$work/wine32-ensure.log" 2>&1 || status=$?
if ((status == 3)); then
  echo "skipped: no 32-bit Wine: $(tail -n 1 "$work/wine32-ensure.log")"
  exit 0
fi
((status == 0)) || { cat "$work/wine32-ensure.log" >&2; fail "wine32.sh ensure"; }
for exe in host_msvc host_mingw; do
  status=0
  bash scripts/wine32.sh run --bind "$run" -- wine "$run/$exe.exe" "$sim_port" \
    >"$run/$exe.out" 2>"$run/$exe.err" || status=$?
  if ((status == 3)); then
    echo "skipped: no 32-bit Wine: $(tail -n 1 "$run/$exe.err")"
    exit 0
  fi
  ((status == 0)) || { cat "$run/$exe.out" "$run/$exe.err" >&2; fail "$exe under 32-bit Wine"; }
  grep -q "^VERSION 0: Version $version - " "$run/$exe.out" || fail "$exe: VERSION"
  grep -q "^PRINTFR 0: .*<ReceiptNumber>[1-9]" "$run/$exe.out" || fail "$exe: PRINTFR"
  echo "ok: $exe under 32-bit Wine: VERSION, OPEN, PRINTFR, CLOSE"
done
