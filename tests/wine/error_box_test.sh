#!/usr/bin/env bash
# The real box on a real (virtual) screen: it appears under its title, waits
# until it is dismissed, and the program then exits with code 1.
source "$(dirname "$0")/lib.sh"

# Xvfb picks a free display and says which.
exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 1024x768x24 -nolisten tcp >"$WORK/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null; rm -rf "$WORK"' EXIT
if ! read -r -t 30 -u "$display_fd" display_number; then
  fail "Xvfb did not start: $(cat "$WORK/xvfb.log")"
  finish
fi
export DISPLAY=":$display_number"

clear_drives
reg_import "$FIXTURES/wrong_type.reg" || fail "the fixture did not import"

# Long enough for the box to be found and dismissed, even under emulation.
timeout -k 5 300 wine "$VELISTRA_EXE" >"$WORK/velistra.log" 2>&1 &
velistra=$!

window=$(timeout 120 xdotool search --sync --name '^Application Error$' | head -1)
if [ -z "$window" ]; then
  fail "no window titled 'Application Error' appeared"
  kill "$velistra" 2>/dev/null
else
  # The box must still be waiting for the user.
  sleep 1
  kill -0 "$velistra" 2>/dev/null || fail "the program ended before the box was dismissed"
  xdotool windowactivate --sync "$window" 2>/dev/null
  xdotool key --window "$window" Return
  pass "the box appeared and was dismissed"
fi

wait "$velistra"
exit_code=$?
[ "$exit_code" -eq 1 ] || fail "exit code $exit_code after the box, expected 1"

clear_drives
finish
