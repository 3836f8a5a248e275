#!/usr/bin/env bash
# Builds velistra.exe, runs it under Wine on the sample mapping list in
# examples/mappings.reg, and prints the drives the system then knows.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

export WINEPREFIX="$PWD/build/demo/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  echo "demo: making a Wine prefix in $WINEPREFIX (once)"
  mkdir -p "$WINEPREFIX"
  if ! timeout 600 wineboot -i >"$WINEPREFIX.log" 2>&1 || ! timeout 120 wineserver -w; then
    cat "$WINEPREFIX.log" >&2
    rm -rf "$WINEPREFIX"
    echo "demo: the Wine prefix could not be made" >&2
    exit 1
  fi
fi
# The drive definitions live in the wineserver; keep it up across the runs.
timeout 60 wineserver -k 2>/dev/null || true
timeout 60 wineserver -w 2>/dev/null || true
setsid wineserver -p 30 </dev/null >/dev/null 2>&1

echo "demo: the mapping list (examples/mappings.reg):"
sed -n 's/^\("[A-Z]:"\)=/  \1 = /p' examples/mappings.reg
timeout 60 wine reg import "Z:${PWD//\//\\}\\examples\\mappings.reg" >/dev/null 2>&1

set +e
timeout 60 wine build/windows/velistra.exe
exit_code=$?
set -e
echo "demo: velistra.exe exited with code $exit_code"
echo "demo: drives defined now, as another process sees them:"
timeout 60 wine build/windows/tests/drive_probe.exe query P: S: T: | tr -d '\r' |
  sed 's/^/  /; s/\t/ -> /'
