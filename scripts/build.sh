#!/usr/bin/env bash
# Builds velistra.exe (build/windows) and, with --host, the logic and its
# unit tests (build/host).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset windows >/dev/null
cmake --build --preset windows
if [ "${1:-}" = --host ]; then
  cmake --preset host >/dev/null
  cmake --build --preset host
fi
