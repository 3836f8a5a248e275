#!/usr/bin/env bash
# Start-up cost of velistra.exe against two reference programs under one
# warm wineserver: floor.exe, the least program that makes the same calls,
# and empty.exe, which makes none. Prints the table and writes it, with the
# exe's size and the host-side scaling, to docs/performance.md.
#
#   bench/run.sh [PAIRS]      PAIRS timed pairs per comparison (default 30)
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-30}
scripts/setup.sh >/dev/null
scripts/build.sh >/dev/null

export WINEPREFIX="$PWD/build/bench/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
if [ ! -d "$WINEPREFIX/drive_c" ]; then
  mkdir -p "$WINEPREFIX"
  timeout 600 wineboot -i >"$WINEPREFIX.log" 2>&1 && timeout 120 wineserver -w ||
    { cat "$WINEPREFIX.log" >&2; exit 1; }
fi
timeout 60 wineserver -k 2>/dev/null || true
timeout 60 wineserver -w 2>/dev/null || true
setsid wineserver -p </dev/null >/dev/null 2>&1

velistra=build/windows/velistra.exe
floor=build/windows/bench/floor.exe
empty=build/windows/bench/empty.exe
work=$(mktemp -d)
trap 'rm -rf "$work"; timeout 60 wineserver -k 2>/dev/null || true' EXIT

# Wall time of one run, in microseconds.
run_time() {
  local start end
  start=$(date +%s%N)
  timeout 60 wine "$1" >/dev/null 2>&1 || { echo "bench: $1 failed" >&2; exit 1; }
  end=$(date +%s%N)
  echo $(((end - start) / 1000))
}

# The mapping lists. W1: 24 drives (every letter but C: and Z:, which the
# prefix uses); W2: W1 and 5,000 other values; W3: no mapping key.
key='HKEY_CURRENT_USER\Software\Tarnhollow\Velistra\Mappings'
w1() {
  printf 'REGEDIT4\n\n[-%s]\n\n[%s]\n' "$key" "$key"
  for letter in A B D E F G H I J K L M N O P Q R S T U V W X Y; do
    printf '"%s:"="C:\\\\Bench\\\\%s"\n' "$letter" "$letter"
  done
}
w2() {
  w1
  for i in $(seq -w 1 5000); do printf '"Other%s"="E:\\\\Folder\\\\%s"\n' "$i" "$i"; done
}
w3() { printf 'REGEDIT4\n\n[-%s]\n' "$key"; }

# median, min and max of the numbers on stdin
summary() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f %.3f %.3f\n", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2), v[1], v[NR] }'; }

# compare OTHER: PAIRS ratios velistra/OTHER, the runs alternating. Within
# a pair the order alternates too (AB, BA, ...): Wine drops a drive that is
# defined again, so every run leaves the next the opposite state, and each
# program must meet both states equally.
compare() {
  local other=$1 i a b
  : >"$work/ratios" && : >"$work/a" && : >"$work/b"
  for i in $(seq "$pairs"); do
    if ((i % 2)); then
      a=$(run_time "$velistra"); b=$(run_time "$other")
    else
      b=$(run_time "$other"); a=$(run_time "$velistra")
    fi
    echo "$a" >>"$work/a"
    echo "$b" >>"$work/b"
    awk -v a="$a" -v b="$b" 'BEGIN { printf "%.6f\n", a / b }' >>"$work/ratios"
  done
  read -r median low high < <(summary <"$work/ratios")
  read -r a_median _ _ < <(summary <"$work/a")
  read -r b_median _ _ < <(summary <"$work/b")
  printf '| %s | %s | %.3f | %.3f | %.3f | %.1f | %.1f |\n' "$workload" "$(basename "$other")" \
    "$median" "$low" "$high" "$(awk -v t="$a_median" 'BEGIN { print t / 1000 }')" \
    "$(awk -v t="$b_median" 'BEGIN { print t / 1000 }')"
}

table="$work/table"
{
  printf '| workload | against | median ratio | min | max | velistra.exe, ms | other, ms |\n'
  printf '|---|---|---:|---:|---:|---:|---:|\n'
} >"$table"
for workload in W1 W2 W3; do
  "$(tr 'W' 'w' <<<"$workload")" >"$work/$workload.reg"
  timeout 60 wine reg import "Z:${work//\//\\}\\$workload.reg" >/dev/null 2>&1
  for _ in 1 2 3; do run_time "$velistra" >/dev/null; run_time "$floor" >/dev/null; run_time "$empty" >/dev/null; done
  compare "$floor" >>"$table"
  compare "$empty" >>"$table"
  echo "bench: $workload done" >&2
done

size=$(stat -c %s "$velistra")
scaling=$(bench/scaling.sh)
cat "$table"
printf '\nvelistra.exe: %d bytes (%.1f KiB)\n\n%s\n' "$size" "$(awk -v s="$size" 'BEGIN { print s / 1024 }')" "$scaling"

machine="$(nproc) cores, $(uname -sr), $(wine --version), $(
  if /usr/lib/wine/wine --version >/dev/null 2>&1 && [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    echo "32-bit code under qemu-i386 $(qemu-i386-static --version | head -1 | awk '{print $3}')"
  else
    echo "32-bit code native"
  fi)"
{
  sed '/<!-- results -->/q' docs/performance.md
  printf '\nMeasured %s on %s; %d pairs per row.\n\n' "$(date -u +%Y-%m-%d)" "$machine" "$pairs"
  cat "$table"
  printf '\nSize of velistra.exe: %d bytes (%.1f KiB).\n\n' "$size" "$(awk -v s="$size" 'BEGIN { print s / 1024 }')"
  printf 'Instructions the program spends, against the fake (callgrind):\n\n%s\n' "$scaling"
  sed -n '/<!-- end of results -->/,$p' docs/performance.md
} >"$work/performance.md"
cp "$work/performance.md" docs/performance.md
