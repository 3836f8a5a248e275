#!/usr/bin/env bash
# Instructions that the program spends per registry value, counted by
# callgrind against the fake at 1,000, 10,000 and 100,000 values. The fake's
# own work is taken out: what is left is the program's.
set -euo pipefail
cd "$(dirname "$0")/.."
# An optimised host tree of its own: the program as it would be built.
cmake -S . -B build/bench/host -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELISTRA_WINE_TESTS=OFF \
  >/dev/null
cmake --build build/bench/host --target bench_scaling >/dev/null
program=build/bench/host/bench/bench_scaling
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The fake's side of the platform interface, which the program calls.
# (callgrind_annotate lists each function twice; the lines that end in the
# binary's name are taken.)
fake_methods='FakePlatform::(OpenKey|QueryInfoKey|EnumValueName|QueryValue|CloseKey|ThreadLocale|DefineDosDeviceName|ConsultUnhandledErrorFilter|ModuleContaining|ShowMessageBox|ExitProcess|LanguageAbbreviation|OpenLanguageModule|LoadMessageText)[(]'

printf '| values | instructions | per value |\n|---:|---:|---:|\n'
for values in 1000 10000 100000; do
  valgrind --tool=callgrind --callgrind-out-file="$out/$values.cg" "$program" "$values" \
    >/dev/null 2>&1
  callgrind_annotate --inclusive=yes --threshold=100 "$out/$values.cg" 2>/dev/null |
    tr -d ',' | grep ']$' | awk -v values="$values" -v fake="$fake_methods" '
      /velistra::ProgramMain[(]/ { main = $1 }
      $0 ~ fake { spent_by_fake += $1 }
      END {
        own = main - spent_by_fake
        printf "| %d | %d | %.1f |\n", values, own, own / values
      }'
done
