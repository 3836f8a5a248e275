#!/usr/bin/env bash
# Installs what is missing, builds the trees and runs every test: the unit
# tests on the host, again with the sanitizers together with a short fuzzing
# run, and the end-to-end tests of velistra.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh --host
cmake --preset host-sanitize >/dev/null
cmake --build --preset host-sanitize
ctest --preset host-sanitize -j2
ctest --preset host -j2
