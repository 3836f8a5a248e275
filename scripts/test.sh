#!/usr/bin/env bash
# Installs what is missing, builds both trees and runs every test: the unit
# tests on the host and the end-to-end tests of velistra.exe under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh --host
ctest --preset host -j2
