#!/usr/bin/env bash
# Stops the tests' wineserver; the drive definitions it held go with it.
source "$(dirname "$0")/lib.sh"
timeout 60 wineserver -k 2>/dev/null
exit 0
