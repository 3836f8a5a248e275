#!/usr/bin/env bash
# The error path of the real velistra.exe, as Wine's relay trace records it:
# the filter is asked first, the key is closed next, then one box with the
# report, then exit code 1. And user32 is loaded only for that box.
source "$(dirname "$0")/lib.sh"

# The names of the functions the exe called, in order, one per line.
called() { exe_calls "$1" | sed -n 's/^[0-9a-f]*:Call [A-Za-z0-9]*\.\([A-Za-z]*\)(.*/\1/p'; }

clear_drives
reg_import "$FIXTURES/wrong_type.reg" || fail "the fixture did not import"
run_velistra_traced "$WORK/first.trace"
exit_code=$?
[ "$exit_code" -eq 1 ] || fail "exit code $exit_code, expected 1"

expected_calls="SetUnhandledExceptionFilter
RegOpenKeyExA
RegQueryInfoKeyA
GetLocaleInfoA
RegEnumValueA
RegEnumValueA
RegEnumValueA
RegQueryValueExA
RegQueryValueExA
DefineDosDeviceA
RegQueryValueExA
RegQueryValueExA
GetLocaleInfoA
LoadLibraryExW
LoadLibraryExW
UnhandledExceptionFilter
RegCloseKey
LoadLibraryA
MessageBoxA
ExitProcess"
# The run-time library's start-up installs its own filter first; it passes
# the program's errors on to the system's. The locale is asked once for the
# name buffer, and once more, with the language modules looked for (ENU,
# EN: none here), when the error first needs a text.
actual_calls=$(called "$WORK/first.trace")
[ "$actual_calls" == "$expected_calls" ] ||
  fail "calls, in order:"$'\n'"$actual_calls"$'\n'"expected:"$'\n'"$expected_calls"

calls=$(exe_calls "$WORK/first.trace")
grep -aqF 'Call advapi32.RegOpenKeyExA(80000001,' <<<"$calls" &&
  grep -aqF '"Software\\Tarnhollow\\Velistra\\Mappings",00000000,00020019,' <<<"$calls" ||
  fail "the key is not opened below HKEY_CURRENT_USER for reading, without its backslash"
grep -aqE 'Ret  KERNEL32\.UnhandledExceptionFilter\(\) retval=00000001' <<<"$calls" ||
  fail "the filter did not leave the error to the program"
grep -aqF 'Call KERNEL32.LoadLibraryA(' <<<"$calls" && grep -aqF '"user32.dll")' <<<"$calls" ||
  fail "user32 was not loaded for the box"
box=$(exe_calls "$WORK/first.trace" | grep -a 'Call user32.MessageBoxA(')
[[ $box =~ MessageBoxA\(00000000, ]] || fail "the box has an owner window: $box"
[[ $box =~ ,[0-9a-f]+\ \"Application\ Error\",00002010\) ]] ||
  fail "the box's title or style is not 'Application Error', MB_OK | MB_ICONSTOP | MB_TASKMODAL: $box"
text=$(box_text "$WORK/first.trace")
text_pattern='^Exception ERegistryException in module velistra\.exe at [0-9A-F]{8}\.\\r\\nInvalid data type for '"'"'B:'"'"'\.\\r\\n$'
[[ $text =~ $text_pattern ]] || fail "box text: $text"
pass "the error path: filter, key closed, one box, exit code 1"

# The code position is the same on every run of the same error.
run_velistra_traced "$WORK/second.trace"
[ "$(box_text "$WORK/second.trace")" == "$text" ] ||
  fail "the report differs between two runs: $(box_text "$WORK/second.trace")"
pass "the same error reports the same position"

# A run without an error loads no user32 at all.
clear_drives
reg_import "$FIXTURES/single.reg" || fail "the fixture did not import"
run_velistra_traced "$WORK/clean.trace"
exit_code=$?
[ "$exit_code" -eq 0 ] || fail "clean run: exit code $exit_code"
if grep -aqiE 'loaddll.*user32' "$WORK/clean.trace"; then
  fail "a run without an error loaded user32: $(grep -aiE -m1 'loaddll.*user32' "$WORK/clean.trace")"
fi
grep -aqiE 'loaddll.*advapi32' "$WORK/clean.trace" || fail "the trace shows no DLL loads at all"
if grep -qi 'DLL Name: user32' <<<"$(i686-w64-mingw32-objdump -p "$VELISTRA_EXE")"; then
  fail "the exe imports user32 at load"
fi
pass "user32 is loaded only for the box"

clear_drives
finish
