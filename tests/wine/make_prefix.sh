#!/usr/bin/env bash
# Makes the Wine tests' prefix afresh and leaves a persistent wineserver
# running for it, so that the tests after it start warm.
source "$(dirname "$0")/lib.sh"

timeout 60 wineserver -k 2>/dev/null
rm -rf "$VELISTRA_WINE_PREFIX"
mkdir -p "$(dirname "$VELISTRA_WINE_PREFIX")"
log="$VELISTRA_WINE_PREFIX.log"
if ! timeout -k 5 600 wineboot -i >"$log" 2>&1 || ! timeout 120 wineserver -w; then
  cat "$log" >&2
  fail "the prefix could not be made"
  finish
fi
reg_import "$FIXTURES/prefix.reg" || fail "the prefix settings could not be imported"
clear_drives
finish
