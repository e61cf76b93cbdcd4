#!/usr/bin/env bash
# Formats the project's C++ sources with clang-format; with --check, only reports.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- \
  'src/*.cpp' 'src/*.hpp' 'tests/*.cpp' 'tests/*.hpp' 'tools/*.cpp' 'tools/*.hpp' \
  'bench/*.cpp' 'fuzz/*.cpp' 'fuzz/*.hpp' 'tests/*.c' 'include/*.h' 'examples/*.c')
((${#files[@]})) || exit 0
if [[ ${1:-} == --check ]]; then
  clang-format --dry-run --Werror "${files[@]}"
else
  clang-format -i "${files[@]}"
fi
