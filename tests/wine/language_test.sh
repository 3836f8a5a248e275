#!/usr/bin/env bash
# The error box in the language of a module beside velistra.exe, and in the
# built-in texts whenever there is no usable module: none, a broken one, one
# whose texts carry other directives. A module is only ever read as data: its
# code never runs.
source "$(dirname "$0")/lib.sh"

readonly TOOLS="$VELISTRA_WINDOWS_DIR/tests"
english_title='Application Error'
english_text='^Exception ERegistryException in module velistra\.exe at [0-9A-F]{8}\.\\r\\nInvalid data type for '"'B:'"'\.\\r\\n$'
german_title='Anwendungsfehler'
german_text='^Ausnahme ERegistryException in Modul velistra\.exe bei [0-9A-F]{8}\.\\r\\nUng\\xfcltiger Datentyp f\\xfcr '"'B:'"'\.\\r\\n$'

# A folder of its own with velistra.exe and, if given, FILE as MODULE_NAME.
folder() {
  local dir="$WORK/$1"
  mkdir -p "$dir"
  cp "$VELISTRA_EXE" "$dir/velistra.exe"
  if [ $# -eq 3 ]; then cp "$2" "$dir/$3"; fi
  echo "$dir"
}

# check LABEL DIR LOCALE TITLE TEXT_PATTERN: velistra.exe in DIR, started
# in LOCALE from another, empty folder (a module counts only beside the
# exe), ends with exit code 1 and one box of that title and text.
check() {
  local label=$1 dir=$2 locale=$3 title=$4 pattern=$5 exit_code trace="$WORK/$1.trace"
  mkdir -p "$WORK/elsewhere"
  (cd "$WORK/elsewhere" && WINE_LOCALE=$locale WINEDEBUG=+loaddll,+relay run_wine "$dir/velistra.exe" 2>"$trace")
  exit_code=$?
  [ "$exit_code" -eq 1 ] || fail "$label: exit code $exit_code, expected 1"
  [ "$(box_title "$trace")" == "$title" ] || fail "$label: box title '$(box_title "$trace")'"
  [[ $(box_text "$trace") =~ $pattern ]] || fail "$label: box text '$(box_text "$trace")'"
}

clear_drives
reg_import "$FIXTURES/wrong_type.reg" || fail "the fixture did not import"

# The German module as built, beside the exe.
check german "$VELISTRA_WINDOWS_DIR" de_DE.UTF-8 "$german_title" "$german_text"
grep -aqF 'velistra.DEU",00000000,00000022)' <<<"$(exe_calls "$WORK/german.trace")" ||
  fail "german: the module is not opened as data and image resource only"
pass "German locale, German module: the box is German"

for locale in C en_US.UTF-8 fr_FR.UTF-8; do
  check "locale_$locale" "$VELISTRA_WINDOWS_DIR" "$locale" "$english_title" "$english_text"
  pass "$locale, German module: the box keeps the built-in texts"
done

dir=$(folder two_letters "$VELISTRA_WINDOWS_DIR/velistra.DEU" velistra.DE)
check two_letters "$dir" de_DE.UTF-8 "$german_title" "$german_text"
pass "a module named with the first two letters (velistra.DE) is found too"

dir=$(folder none)
mkdir -p "$WORK/elsewhere"
cp "$VELISTRA_WINDOWS_DIR/velistra.DEU" "$WORK/elsewhere/velistra.DEU"
check no_module "$dir" de_DE.UTF-8 "$english_title" "$english_text"
rm -f "$WORK/elsewhere/velistra.DEU"
pass "no module beside the exe (one in the current folder does not count): built-in texts"

head -c 4096 /dev/urandom >"$WORK/noise"
dir=$(folder broken "$WORK/noise" velistra.DEU)
check broken_module "$dir" de_DE.UTF-8 "$english_title" "$english_text"
pass "a module that is no module: built-in texts"

dir=$(folder wrong "$TOOLS/wrong_directives.dll" velistra.DEU)
check wrong_directives "$dir" de_DE.UTF-8 "$english_title" "$english_text"
pass "a module whose texts carry other directives: built-in texts"

# A module with code: as a library (rundll32) its DllMain leaves a file;
# read by velistra.exe it gives its title and runs nothing.
control=$(folder control "$TOOLS/code_module.dll" velistra.DEU)
(cd "$control" && run_wine rundll32 "$(win_path "$control/velistra.DEU")",Run >/dev/null 2>&1)
[ -f "$control/dllmain-ran.txt" ] || fail "code_module: its DllMain does not run even as a library"
dir=$(folder code "$TOOLS/code_module.dll" velistra.DEU)
check code_module "$dir" de_DE.UTF-8 'Anwendungsfehler aus dem Modul mit Code' "$english_text"
[ ! -e "$WORK/elsewhere/dllmain-ran.txt" ] || fail "code_module: velistra.exe ran the module's DllMain"
pass "a module with code: its texts are read, its code never runs"

clear_drives
finish
