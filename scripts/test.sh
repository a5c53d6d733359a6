#!/usr/bin/env bash
# Sets up, builds and runs every test (GUI tests on Qt's offscreen platform).
# Usage: scripts/test.sh [--fast] [build-dir]
#   --fast  leaves out the real-driver machine (the vm test), its set-up included.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
fast=0
if [ "${1:-}" = "--fast" ]; then
  fast=1
  shift
fi
build=${1:-$root/build}
"$root/scripts/setup.sh" "$build"
cd "$build"
if [ $fast -eq 1 ]; then
  ctest --output-on-failure -j"$(nproc)" --timeout 300 -LE '^vm$'
else
  # QEMU, the kernel, busybox and udev for the real-driver machine (a cache, about 50 MB).
  "$root/scripts/vmtest.sh" setup
  ctest --output-on-failure -j"$(nproc)" --timeout 300
fi
