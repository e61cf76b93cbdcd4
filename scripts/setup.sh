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

source "$(dirname "$0")/packages_env.sh"
nvrp_install_missing "${packages[@]}"

# The amount texts follow the host's decimal separator; the tests that show it run as hosts
# in a German and a Greek locale (decimal comma), also under Wine, which takes its user locale
# from them.
for language in de_DE el_GR; do
  if ! locale -a 2>/dev/null | grep -qi "^${language}\.utf-\?8\$"; then
    echo "Generating the ${language}.UTF-8 locale"
    "${sudo_cmd[@]}" localedef -i "${language}" -f UTF-8 "${language}.UTF-8"
  fi
done
