#!/usr/bin/env bash
# What velistra.exe carries for Explorer and the loader, read back through
# Windows' own version and resource services: the version resource, the
# manifest, and the string table with the built-in message texts.
source "$(dirname "$0")/lib.sh"
: "${VELISTRA_VERSION:?}"

out=$(run_wine "$VELISTRA_WINDOWS_DIR/tests/resource_probe.exe" "$(win_path "$VELISTRA_EXE")" | tr -d '\r')
[ -n "$out" ] || fail "no resources could be read"

expect_line() { grep -qxF "$1" <<<"$out" || fail "missing: $1"; }
expect_line "version $VELISTRA_VERSION.0"
expect_line "CompanyName=Tarnhollow"
expect_line "ProductName=Velistra"
expect_line "FileVersion=$VELISTRA_VERSION"
expect_line "ProductVersion=$VELISTRA_VERSION"
expect_line "OriginalFilename=velistra.exe"
grep -qE '^FileDescription=.+' <<<"$out" || fail "no FileDescription"
pass "version resource $VELISTRA_VERSION of Tarnhollow's Velistra"

manifest=$(sed -n '/^manifest:$/,$p' <<<"$out")
grep -q 'requestedExecutionLevel level="asInvoker"' <<<"$manifest" || fail "the manifest does not ask for asInvoker"
for os in 35138b9a-5d96-4fbd-8e2d-a2440225f93a 4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 \
  1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  grep -q "<supportedOS Id=\"{$os}\"/>" <<<"$manifest" || fail "the manifest lacks supportedOS $os"
done
pass "manifest: asInvoker, Windows 7 to 11"

# The string table holds exactly the built-in texts, as the source lists them.
texts=0
while IFS= read -r line; do
  [[ $line =~ ^MESSAGE_TEXT\(([0-9]+),\ [A-Za-z]+,\ \"(.*)\"\)$ ]] || continue
  expect_line "string ${BASH_REMATCH[1]}=${BASH_REMATCH[2]}"
  texts=$((texts + 1))
done <"$WINE_TESTS_DIR/../../src/errors/message_texts.def"
[ "$texts" -gt 0 ] || fail "no texts found in the source list"
[ "$(grep -c '^string ' <<<"$out")" -eq "$texts" ] || fail "the string table holds other texts too"
pass "string table: the built-in message texts"

finish
