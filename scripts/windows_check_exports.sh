#!/usr/bin/env bash
# Checks a Windows DLL against its .def file: exactly the listed exports, by undecorated name,
# with their ordinals, and imports from system DLLs only.
# Usage: windows_check_exports.sh DLL DEF
set -euo pipefail
dll=$1
def=$2
dump=$(objdump -p "$dll")

# Expected "ordinal name" pairs from the .def (quotes around reserved words removed).
expected=$(sed -n 's/^[[:space:]]*"\{0,1\}\([A-Za-z_][A-Za-z0-9_]*\)"\{0,1\}[[:space:]]*@\([0-9]*\).*/\2 \1/p' \
  "$def" | sort -n)
# The name table lists each name with its position in the address table, counted from the
# ordinal base (binutils 2.40): the ordinal is position + base.
actual=$(awk '/^Ordinal Base/ {base = $3}
              /\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
              on && /^[[:space:]]*$/ {on = 0}
              on && /\[[[:space:]]*[0-9]+\]/ {
                line = $0; sub(/^[^\[]*\[[[:space:]]*/, "", line)
                position = line; sub(/\].*/, "", position)
                name = line; sub(/^[^\]]*\][[:space:]]*/, "", name)
                print position + base, name }' <<<"$dump" | sort -n)
# Every exported address, named or not.
export_count=$(awk '/^Export Address Table/ {on = 1; next}
                    on && /^[[:space:]]*$/ {on = 0}
                    on && /\[[[:space:]]*[0-9]+\]/ {n++}
                    END {print n + 0}' <<<"$dump")

status=0
if [[ $expected != "$actual" ]]; then
  echo "Exports differ from $def (expected < > actual):" >&2
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  status=1
fi
if [[ $export_count -ne $(wc -l <<<"$expected") ]]; then
  echo "Export address table has $export_count entries, expected $(wc -l <<<"$expected")" >&2
  status=1
fi
if grep -q '@' <<<"$actual"; then
  echo "Decorated export names:" >&2
  grep '@' <<<"$actual" >&2
  status=1
fi

system_dlls='^(KERNEL32|USER32|GDI32|SHELL32|OLEAUT32|OLE32|ADVAPI32|WINHTTP|WINSPOOL\.DRV|WS2_32|COMDLG32|msvcrt|ntdll|api-ms-win-.*)(\.dll)?$'
imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
while read -r name; do
  [[ -z $name ]] && continue
  if ! grep -qiE "$system_dlls" <<<"$name"; then
    echo "Import of a non-system DLL: $name" >&2
    status=1
  fi
done <<<"$imports"

if ((status == 0)); then
  echo "Exports of $(basename "$dll"): $(wc -l <<<"$actual") names with their ordinals;" \
    "imports: $(tr '\n' ' ' <<<"$imports")"
fi
exit $status
