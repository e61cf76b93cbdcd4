#!/usr/bin/env bash
# The C# binding: built with Mono's C# compiler and run on Mono against the ibox-sim program,
# through the library of this build. Exits 77 (skipped) when Mono is not installed.
# Arguments: source directory, scratch directory, library file, ibox-sim program.
set -euo pipefail
source_dir=$1 work=$2 library=$3 simulator=$4

for tool in mcs mono; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool not found (Debian packages mono-mcs, mono-runtime and"
    echo "libmono-system-xml-linq4.0-cil; scripts/setup.sh installs them)"
    exit 77
  fi
done

rm -rf "$work"
mkdir -p "$work/host"
binding=$source_dir/bindings/dotnet
mcs -nologo -warnaserror+ -out:"$work/FiscalDeviceTest.exe" \
  -r:System.Xml.dll -r:System.Xml.Linq.dll -r:System.Core.dll \
  "$binding/NativeMethods.cs" "$binding/FiscalDevice.cs" "$binding/tests/FiscalDeviceTest.cs"

# The host folder is Mono's own (the folder of the mono program) unless NVRP_HOST_DIR says
# otherwise; it gets the payment codes first.
cp "$source_dir/examples/NVRP_RORERER_10.ini" "$work/host/"
export NVRP_HOST_DIR=$work/host
LD_LIBRARY_PATH=$(dirname "$library")${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH} \
  mono "$work/FiscalDeviceTest.exe" "$simulator"
