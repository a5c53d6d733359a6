#!/usr/bin/env bash
# Sets up, builds and runs every test (GUI tests on Qt's offscreen platform).
# Usage: scripts/test.sh [--fast] [build-dir]
#   --fast  only the unit, gui and device tiers (no soak runs, pictures, package or installation);
#           an existing build directory is only brought up to date, without the set-up.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fast=0
if [ "${1:-}" = "--fast" ]; then
  fast=1
  shift
fi
build=${1:-$root/build}
if [ $fast -eq 1 ] && [ -f "$build/CMakeCache.txt" ]; then
  cmake --build "$build" -j"$(nproc)"
else
  "$root/scripts/setup.sh" "$build"
fi
cd "$build"
if [ $fast -eq 1 ]; then
  ctest --output-on-failure -j"$(nproc)" --timeout 300 -L '^(unit|gui|device)$'
else
  ctest --output-on-failure -j"$(nproc)" --timeout 300
fi
