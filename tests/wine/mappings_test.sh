#!/usr/bin/env bash
# The real velistra.exe over one mapping list at a time. For each case:
# the drives a second process then finds defined, the definitions the exe
# asked for (relay trace), its exit code, and a registry left as it was.
source "$(dirname "$0")/lib.sh"

TAB=$'\t'

# The DefineDosDeviceA calls of a relay trace, as "flags name target".
definitions_asked() {
  exe_calls "$1" | sed -n 's/.*:Call KERNEL32\.DefineDosDeviceA(\([0-9a-f]*\),[0-9a-f]* \("[^"]*"\),[0-9a-f]* \("[^"]*"\)).*/\1 \2 \3/p'
}

# check LABEL FIXTURE EXIT_CODE DRIVES ASKED [EXTRA_NAMES...]
#   DRIVES: the "NAME<TAB>target" lines of the test drives that are defined
#   afterwards, or * not to look; ASKED: the definitions asked for, as
#   definitions_asked prints them; EXTRA_NAMES: further device names that
#   must stay undefined.
check() {
  local label=$1 fixture=$2 want_exit=$3 want_drives=$4 want_asked=$5
  shift 5
  local trace="$WORK/$label.trace" exit_code drives name
  reg_import "$FIXTURES/$fixture" || { fail "$label: the fixture did not import"; return; }
  reg_snapshot "$WORK/$label.before" || { fail "$label: no registry export"; return; }

  run_velistra_traced "$trace"
  exit_code=$?
  grep -aqF 'Call advapi32.RegOpenKeyExA(' <<<"$(exe_calls "$trace")" ||
    fail "$label: the trace shows no call of the exe"

  reg_snapshot "$WORK/$label.after" || { fail "$label: no registry export"; return; }
  expect_same_registry "$label" "$WORK/$label.before" "$WORK/$label.after"
  [ "$exit_code" -eq "$want_exit" ] || fail "$label: exit code $exit_code, expected $want_exit"

  if [ "$want_drives" != "*" ]; then
    drives=$(query_drives "${TEST_DRIVES[@]}" | grep -a -v "${TAB}-\$")
    [ "$drives" == "$want_drives" ] ||
      fail "$label: defined drives"$'\n'"$drives"$'\n'"expected"$'\n'"$want_drives"
  fi
  [ "$(definitions_asked "$trace")" == "$want_asked" ] ||
    fail "$label: definitions asked for"$'\n'"$(definitions_asked "$trace")"$'\n'"expected"$'\n'"$want_asked"
  for name in "$@"; do
    [ "$(query_drives "$name")" == "$name$TAB-" ] || fail "$label: $name was defined"
  done
  pass "$label"
}

reg_snapshot "$WORK/machine.before" "HKEY_LOCAL_MACHINE\\Software" || fail "no export of the machine keys"

# The system makes a relative target absolute against the current folder.
cd "$WORK" || exit 1
here=$(win_path "$WORK")

clear_drives
check mixed mixed.reg 0 \
  "P:${TAB}\\??\\D:\\Work\\
Q:${TAB}\\??\\$here\\%USERPROFILE%\\Work
S:${TAB}\\??\\D:\\A"$'\xa0'"
T:${TAB}\\??\\D:\\A" \
  '00000000 "P:" "D:\\Work\\"
00000000 "Q:" "%USERPROFILE%\\Work"
00000000 "S:" "D:\\A\xa0"
00000000 "T:" "D:\\A"' \
  Notes 1: PP

clear_drives
check wrong_type wrong_type.reg 1 "A:${TAB}\\??\\D:\\First" '00000000 "A:" "D:\\First"'

for fixture in missing empty no_drives; do
  clear_drives
  check "$fixture" "$fixture.reg" 0 "" ""
done

# Every start repeats the whole pass.
clear_drives
check first_start single.reg 0 "P:${TAB}\\??\\D:\\Now" '00000000 "P:" "D:\\Now"'
check second_start single.reg 0 "P:${TAB}\\??\\D:\\Now" '00000000 "P:" "D:\\Now"'

# A drive that is already defined is defined again: nothing is looked up
# first and nothing is reported. What the system then does with the drive is
# its own affair (Windows stacks the definitions, Wine does not), so this
# case runs last and looks only at what was asked.
clear_drives
run_wine "$DRIVE_PROBE" define P: 'C:\Earlier' || fail "already_defined: probe could not define P:"
check already_defined single.reg 0 "*" '00000000 "P:" "D:\\Now"'

reg_snapshot "$WORK/machine.after" "HKEY_LOCAL_MACHINE\\Software"
expect_same_registry "all cases, machine keys" "$WORK/machine.before" "$WORK/machine.after"

clear_drives
finish
