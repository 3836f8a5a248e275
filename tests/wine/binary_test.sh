#!/usr/bin/env bash
# What the built velistra.exe promises by its make-up alone: a 32-bit x86
# GUI program that needs only Windows' own DLLs and imports no registry
# function that could change anything.
set -uo pipefail
: "${VELISTRA_WINDOWS_DIR:?}"
exe="$VELISTRA_WINDOWS_DIR/velistra.exe"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

header=$(i686-w64-mingw32-objdump -f "$exe") || fail "not an object file"
private=$(i686-w64-mingw32-objdump -p "$exe") || fail "no PE headers"

grep -q 'file format pei-i386' <<<"$header" || fail "not a PE image for i386: $header"
grep -qP '^Magic\t+010b\b' <<<"$private" || fail "not PE32 (optional header magic 010b)"
grep -qP '^Subsystem\t+00000002\b' <<<"$private" || fail "not the Windows GUI subsystem"

# DLL names, lower-cased, one per line.
dlls=$(sed -n 's/^\tDLL Name: //p' <<<"$private" | tr 'A-Z' 'a-z' | sort -u)
for dll in $dlls; do
  case $dll in
    kernel32.dll | advapi32.dll | msvcrt.dll) ;;
    *) fail "imports $dll, which is not one of Windows' own that the program may use" ;;
  esac
done
[ -n "$dlls" ] || fail "no imports found: the check could not read the table"

# Imported function names: the import tables list them as "hint name".
functions=$(awk '/^\tDLL Name:/ { in_table = 1; next }
                 in_table && /^\t[0-9a-f]+\t/ { print $NF }
                 /^$/ { in_table = 0 }' <<<"$private" | sort -u)
grep -qx 'RegOpenKeyExA' <<<"$functions" || fail "the import names could not be read"
registry=$(grep '^Reg' <<<"$functions")
expected_registry="RegCloseKey
RegEnumValueA
RegOpenKeyExA
RegQueryInfoKeyA
RegQueryValueExA"
[ "$registry" == "$expected_registry" ] ||
  fail "registry imports beyond the five that read:"$'\n'"$registry"
if grep -E '^(Reg|SH)[A-Za-z]*(Create|Set|Delete|Save|Restore|Load|Unload|Flush|Replace|Copy|Rename)' \
  <<<"$functions"; then
  fail "imports a function that changes the registry"
fi

if [ "$failures" -ne 0 ]; then exit 1; fi
echo "ok: PE32 i386 GUI, Windows DLLs only, read-only registry imports"
