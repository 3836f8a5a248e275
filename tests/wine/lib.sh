# Shared by the Wine end-to-end tests; sourced, not run.
#
# The tests run the real velistra.exe in a Wine prefix of their own, made by
# make_prefix.sh, and observe it only from outside: a probe process that asks
# the system for drive definitions, registry exports before and after, the
# exit code, and Wine's relay trace of the calls the exe made.
#
# Needs VELISTRA_WINDOWS_DIR (the Windows build tree) and VELISTRA_WINE_PREFIX.

set -uo pipefail

: "${VELISTRA_WINDOWS_DIR:?}" "${VELISTRA_WINE_PREFIX:?}"
export WINEPREFIX="$VELISTRA_WINE_PREFIX"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

readonly VELISTRA_EXE="$VELISTRA_WINDOWS_DIR/velistra.exe"
readonly DRIVE_PROBE="$VELISTRA_WINDOWS_DIR/tests/drive_probe.exe"
readonly WINE_TESTS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
readonly FIXTURES="$WINE_TESTS_DIR/fixtures"
readonly MAPPINGS_KEY='HKEY_CURRENT_USER\Software\Tarnhollow\Velistra\Mappings'
# Every letter a test maps; C: and Z: belong to the prefix itself.
readonly TEST_DRIVES=(A: B: D: E: F: G: H: P: Q: R: S: T: U: V: W: X: Y:)

# Each Wine process is bounded; a hung one fails its test instead of the run.
readonly WINE_TIMEOUT=60

failures=0
failures_reported=0
WORK="$(mktemp -d "${TMPDIR:-/tmp}/velistra-wine.XXXXXX")"
trap 'rm -rf "$WORK"' EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Reports a group of checks: ok when none of them failed since the last report.
pass() {
  if [ "$failures" -eq "$failures_reported" ]; then echo "ok: $*"; else echo "not ok: $*"; fi
  failures_reported=$failures
}

# Ends the test: exit code 0 only if nothing failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  exit 0
}

# Runs a Wine program, bounded, in the locale WINE_LOCALE names, if any.
run_wine() {
  timeout -k 5 "$WINE_TIMEOUT" env ${WINE_LOCALE:+LC_ALL="$WINE_LOCALE"} wine "$@"
}

# The Windows form of a Unix path: Wine maps / to drive Z:.
win_path() { printf 'Z:%s' "${1//\//\\}"; }

# Imports a REGEDIT4 file.
reg_import() { run_wine reg import "$(win_path "$1")" >/dev/null 2>&1; }

# Writes the registry below ROOT (default: the current user's) to FILE.
reg_snapshot() {
  run_wine reg export "${2:-HKEY_CURRENT_USER}" "$(win_path "$1")" /y >/dev/null
}

# Fails unless two snapshots are byte for byte the same.
expect_same_registry() {
  local label=$1 before=$2 after=$3
  if ! cmp -s "$before" "$after"; then
    fail "$label: the registry changed"
    diff <(iconv -f UTF-16LE -t UTF-8 "$before") <(iconv -f UTF-16LE -t UTF-8 "$after") |
      head -20 >&2
  fi
}

# Starts the tests' wineserver afresh, which drops every drive definition.
# (Wine 8 keeps a removed definition until the next attempt to define the
# name, which that attempt then only clears.) The server is persistent, so
# the calls in between find it warm; its registry is saved as it stops.
clear_drives() {
  timeout 60 wineserver -k 2>/dev/null
  timeout 60 wineserver -w 2>/dev/null
  setsid wineserver -p </dev/null >/dev/null 2>&1
  # The first process of a new server starts Wine's own services; let that
  # happen here, not in a traced run of the exe.
  run_wine "$DRIVE_PROBE" query C: >/dev/null 2>&1
}

# NAME<TAB>target... lines for the given names ("-" when undefined).
query_drives() { run_wine "$DRIVE_PROBE" query "$@" | tr -d '\r'; }

# Runs velistra.exe; its exit code is the function's.
run_velistra() { run_wine "$VELISTRA_EXE"; }

# The calls that velistra.exe itself made, from a relay trace in FILE: only
# lines whose return address lies inside the exe's image, wherever the
# loader placed it.
exe_calls() {
  local trace=$1 base size line address
  read -r base size < <(image_range "$trace")
  while IFS= read -r line; do
    [[ $line =~ :(Call|Ret)\ .*\ ret=([0-9a-f]+) ]] || continue
    address=$((16#${BASH_REMATCH[2]}))
    if ((address >= base && address < base + size)); then printf '%s\n' "$line"; fi
  done <"$trace"
}

# The exe's load address, from the loader's line in the trace FILE, and its
# image size, from its PE header.
image_range() {
  local key value base size=0 pattern='velistra\.exe" at ([0-9A-Fa-f]+)'
  [[ $(grep -a -m1 'loaddll.*velistra\.exe" at' "$1") =~ $pattern ]] || {
    echo "0 0"
    return
  }
  base=$((16#${BASH_REMATCH[1]}))
  while read -r key value _; do
    [ "$key" = SizeOfImage ] && size=$((16#$value))
  done < <(i686-w64-mingw32-objdump -p "$VELISTRA_EXE")
  echo "$base $size"
}

# Runs velistra.exe with a trace of the DLLs it loads and of the calls that
# matter to the tests (the prefix's RelayInclude) written to FILE; its exit
# code is the function's.
run_velistra_traced() {
  local trace=$1
  WINEDEBUG=+loaddll,+relay run_wine "$VELISTRA_EXE" 2>"$trace"
}

# The text and the title of the first MessageBoxA call in a relay trace, as
# the trace writes them (C escapes, \xNN for bytes from 0x80).
box_text() {
  exe_calls "$1" | sed -n 's/.*:Call user32\.MessageBoxA([0-9a-f]*,[0-9a-f]* "\(.*\)",[0-9a-f]* "\(.*\)",[0-9a-f]*).*/\1/p' | head -1
}
box_title() {
  exe_calls "$1" | sed -n 's/.*:Call user32\.MessageBoxA([0-9a-f]*,[0-9a-f]* "\(.*\)",[0-9a-f]* "\(.*\)",[0-9a-f]*).*/\2/p' | head -1
}
