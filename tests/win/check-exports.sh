#!/usr/bin/env bash
# Checks the executable's export and import tables:
#   tests/win/check-exports.sh OBJDUMP CONTROLLER.exe
set -uo pipefail
objdump=$1 exe=$2
table=$("$objdump" -p "$exe")
failed=0
if grep -qE '^\s+\[\s*[0-9]+\] DoUI$' <<<"$table"; then echo "ok: DoUI is exported by name"; else echo "FAILED: no DoUI export"; failed=1; fi
allowed='^(ADVAPI32|bcrypt|COMCTL32|GDI32|KERNEL32|msvcrt|ole32|SHELL32|USER32)\.dll$'
while read -r dll; do
  if [[ $dll =~ $allowed ]]; then echo "ok: imports $dll"; else echo "FAILED: imports $dll"; failed=1; fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$table")
echo "exports: $((failed == 0)) passed, $failed failed"
exit $failed
