#!/usr/bin/env bash
# Sets up, builds and runs every test (GUI tests on Qt's offscreen platform).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/setup.sh" "$build"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 300
