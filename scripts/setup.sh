#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the tools need.
# Only missing packages are installed; the package lists are refreshed only then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libpugixml-dev
  libcurl4-openssl-dev libcpp-httplib-dev
  libjpeg62-turbo-dev libfreetype-dev libfontconfig-dev fonts-urw-base35
  python3 chromium
  cups libcups2-dev
  locales
  mono-mcs mono-runtime libmono-system-xml-linq4.0-cil fp-compiler
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The amount texts follow the host's decimal separator; the tests that show it run as hosts
# in a German and a Greek locale (decimal comma), also under Wine, which takes its user locale
# from them.
for language in de_DE el_GR; do
  if ! locale -a 2>/dev/null | grep -qi "^${language}\.utf-\?8\$"; then
    echo "Generating the ${language}.UTF-8 locale"
    "${sudo_cmd[@]}" localedef -i "${language}" -f UTF-8 "${language}.UTF-8"
  fi
done
