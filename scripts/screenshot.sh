#!/usr/bin/env bash
# Takes docs/error-box.png: the real error box of velistra.exe, shown under
# Wine on a virtual screen for a mapping list whose Q: is no string.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dpkg-query -W -f='${db:Status-Status}' imagemagick 2>/dev/null | grep -qx installed ||
  { apt-get update -qq && apt-get install -y -qq --no-install-recommends imagemagick >/dev/null; }
scripts/build.sh >/dev/null

export WINEPREFIX="$PWD/build/screenshot/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
cleanup() {
  timeout 30 wineserver -k 2>/dev/null || true
  [ -z "${xvfb:-}" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

exec {display_fd}<> <(:)
Xvfb -displayfd "$display_fd" -screen 0 800x600x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 -u "$display_fd" display || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"

if [ ! -d "$WINEPREFIX/drive_c" ]; then
  mkdir -p "$WINEPREFIX"
  timeout 600 wineboot -i >"$WINEPREFIX.log" 2>&1 && timeout 120 wineserver -w ||
    { cat "$WINEPREFIX.log" >&2; exit 1; }
fi
cat >"$work/mappings.reg" <<'EOF'
REGEDIT4

; No debugger takes the error: the program's own box shows it.
[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="no-debugger-on-this-machine.exe %ld %ld"

[HKEY_LOCAL_MACHINE\Software\Wow6432Node\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"="no-debugger-on-this-machine.exe %ld %ld"

[-HKEY_CURRENT_USER\Software\Tarnhollow\Velistra\Mappings]

[HKEY_CURRENT_USER\Software\Tarnhollow\Velistra\Mappings]
"P:"="D:\\Projects\\Current"
"Q:"=dword:00000001
EOF
timeout 60 wine reg import "Z:${work//\//\\}\\mappings.reg" >/dev/null 2>&1

# A Wine desktop of its own draws the box with its frame and title bar.
timeout 300 wine explorer /desktop=velistra,460x180 "$PWD/build/windows/velistra.exe" \
  >/dev/null 2>&1 &
desktop=$(timeout 120 xdotool search --sync --name '^velistra - Wine desktop$' | head -1)
# The box lives inside the desktop window: wait until the picture has
# changed from the empty desktop and then stays still.
sleep 1
import -window "$desktop" "$work/empty.png"
empty=$(md5sum <"$work/empty.png")
previous=$empty
for _ in $(seq 120); do
  sleep 1
  import -window "$desktop" "$work/shot.png"
  current=$(md5sum <"$work/shot.png")
  [ "$current" == "$empty" ] || [ "$current" != "$previous" ] || break
  previous=$current
done
cp "$work/shot.png" docs/error-box.png
xdotool windowactivate --sync "$desktop" key Return 2>/dev/null || true
echo "screenshot: docs/error-box.png"
