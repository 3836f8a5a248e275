#!/usr/bin/env bash
# Hostile mapping lists through the real velistra.exe. Every row checks the
# outcome the program promises, a registry left as it was, and that the run
# ended by itself with 0 or 1 (no crash, no hang).
source "$(dirname "$0")/lib.sh"

TAB=$'\t'
HEADER='REGEDIT4

[-HKEY_CURRENT_USER\Software\Tarnhollow\Velistra\Mappings]

[HKEY_CURRENT_USER\Software\Tarnhollow\Velistra\Mappings]'

# A string's bytes and a terminating NUL, as a .reg hex list: 44,3a,00
hex_sz() { { printf '%s' "$1"; printf '\0'; } | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//'; }

# A .reg file at WORK/NAME.reg holding HEADER and the lines given on stdin.
fixture() {
  { printf '%s\n' "$HEADER"; cat; } >"$WORK/$1.reg"
  echo "$WORK/$1.reg"
}

# row LABEL REG_FILE EXIT_CODE DEFINITIONS DRIVES
#   DEFINITIONS: how many definitions the exe asks for (relay trace);
#   DRIVES: the "NAME<TAB>target" lines of the test drives defined after,
#   or * not to look.
row() {
  local label=$1 file=$2 want_exit=$3 want_definitions=$4 want_drives=$5
  local exit_code drives calls
  clear_drives
  reg_import "$file" || { fail "$label: the list did not import"; return; }
  reg_snapshot "$WORK/$label.before" || { fail "$label: no registry export"; return; }
  run_velistra_traced "$WORK/$label.trace"
  exit_code=$?
  reg_snapshot "$WORK/$label.after" || { fail "$label: no registry export"; return; }
  expect_same_registry "$label" "$WORK/$label.before" "$WORK/$label.after"
  case $exit_code in
    0 | 1) [ "$exit_code" -eq "$want_exit" ] || fail "$label: exit code $exit_code, expected $want_exit" ;;
    124 | 137) fail "$label: the run hung" ;;
    *) fail "$label: the run crashed (exit code $exit_code)" ;;
  esac
  calls=$(exe_calls "$WORK/$label.trace")
  grep -aqF 'Call advapi32.RegOpenKeyExA(' <<<"$calls" || fail "$label: no call of the exe traced"
  [ "$(grep -ac 'Call KERNEL32.DefineDosDeviceA(' <<<"$calls")" -eq "$want_definitions" ] ||
    fail "$label: definitions asked for:"$'\n'"$(grep -a 'Call KERNEL32.DefineDosDeviceA(' <<<"$calls" | cut -c1-200)"
  if [ "$want_drives" != "*" ]; then
    drives=$(query_drives "${TEST_DRIVES[@]}" | grep -a -v "${TAB}-\$")
    [ "$drives" == "$want_drives" ] ||
      fail "$label: defined drives"$'\n'"$drives"$'\n'"expected"$'\n'"$want_drives"
  fi
  rm -f "$WORK/$label".*
  pass "$label"
}

# 10,000 values, drive names among them.
file=$(for i in $(seq -w 1 10000); do
  printf '"Value%s"="E:\\\\Folder\\\\%s"\n' "$i" "$i"
done | { cat; printf '"P:"="D:\\\\Among\\\\Many"\n"Y:"="D:\\\\Last"\n'; } | fixture many_values)
row many_values "$file" 0 2 "P:${TAB}\\??\\D:\\Among\\Many
Y:${TAB}\\??\\D:\\Last"

# A value name of 16,383 characters, the registry's limit.
long_name=$(head -c 16383 /dev/zero | tr '\0' 'n')
file=$(printf '"%s"="E:\\\\Long"\n"P:"="D:\\\\After\\\\Long"\n' "$long_name" | fixture long_name)
row long_name "$file" 0 1 "P:${TAB}\\??\\D:\\After\\Long"

# 1 MiB of string data for a drive: whatever the system makes of such a
# target, the pass goes on to the next drive.
big=$(head -c 1048576 /dev/zero | tr '\0' 'a')
file=$(printf '"P:"="D:\\\\%s"\n"Q:"="D:\\\\After\\\\Big"\n' "$big" | fixture big_data)
row big_data "$file" 0 2 "*"
[ "$(query_drives Q:)" == "Q:${TAB}\\??\\D:\\After\\Big" ] || fail "big_data: Q: is not defined"
pass "big_data: the drive after it"

# Every value type, with data: only strings define; any other type ends the
# pass with the error box, before Q:.
for type in $(seq 0 11); do
  file=$(printf '"P:"=hex(%x):%s\n"Q:"="D:\\\\Next"\n' "$type" "$(hex_sz 'D:\A')" |
    fixture "type_$type")
  case $type in
    1 | 2) row "type_${type}_with_data" "$file" 0 2 "P:${TAB}\\??\\D:\\A
Q:${TAB}\\??\\D:\\Next" ;;
    *) row "type_${type}_with_data" "$file" 1 0 "" ;;
  esac
done

# Every value type without data: nothing to define, nothing to report.
letters=(A B D E F G H P Q R S T)
file=$(for type in $(seq 0 11); do
  printf '"%s:"=hex(%x):\n' "${letters[type]}" "$type"
done | fixture types_without_data)
row types_without_data "$file" 0 0 ""

# Bytes 0x80-0xFF: in a name that is then no drive, and in a target, where
# they stay.
high=$(printf "$(printf '\\x%x' $(seq 128 255))")
file=$(printf '"\xc4:"="E:\\\\Umlaut"\n"P:"=hex(1):%s\n' "$(hex_sz "D:\\$high")" |
  fixture high_bytes)
row high_bytes "$file" 0 1 "P:${TAB}\\??\\D:\\$high"

# The unnamed default value of a non-text type is no drive and is not read.
file=$(printf '@=dword:00000007\n"P:"="D:\\\\Work"\n' | fixture default_dword)
row default_dword "$file" 0 1 "P:${TAB}\\??\\D:\\Work"

# printf directives in the data are only text.
file=$(printf '"P:"="D:\\\\%%s%%n%%p%%x%%%%"\n' | fixture directives)
row directives "$file" 0 1 "P:${TAB}\\??\\D:\\%s%n%p%x%%"

# The Far-Eastern locale (code page 932): a double-byte name beside a drive
# whose target is double-byte text.
sjis=$'\x93\xfa\x96\x7b'  # two kanji in code page 932
file=$(printf '"%s"="E:\\\\Name"\n"P:"=hex(1):%s\n' "$sjis" "$(hex_sz "D:\\$sjis")" |
  fixture far_east)
WINE_LOCALE=ja_JP.UTF-8 row far_east "$file" 0 1 "P:${TAB}\\??\\D:\\$sjis"

clear_drives
finish
