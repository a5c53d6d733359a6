#!/usr/bin/env bash
# Runs the soak tests (tests/soak) again and again with fresh seeds for MINUTES and adds up their
# figures; ends with one line:
#   soak: R runs, E exchanges, F faults injected, P failures reported, W wrong values stored, X failed runs
# The output of a failed run is kept in <build>/soak-failures/<seed>.log to rerun with
# TARNIS_SOAK_SEED=<seed>.
# Usage: scripts/soak.sh MINUTES   (SOAK_BUILD_DIR: the build folder, default build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-}
if ! [[ "$minutes" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/soak.sh MINUTES" >&2
  exit 2
fi
build=${SOAK_BUILD_DIR:-$root/build}
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build "$build" --target soak_tests > /dev/null
mkdir -p "$build/soak-failures"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A copy, so that rebuilding the tree while this runs does not change the program under test.
binary="$work/soak_tests"
cp "$build/tests/soak/soak_tests" "$binary"
export TARNIS_PORTS_DIR="$work/ports"

deadline=$(( $(date +%s) + minutes * 60 ))
runs=0 exchanges=0 faults=0 reported=0 wrong=0 failed=0
while [ "$(date +%s)" -lt "$deadline" ]; do
  seed=$(od -An -N6 -tu8 /dev/urandom | tr -d ' ')
  log=$(mktemp)
  if ! TARNIS_SOAK_SEED=$seed "$binary" > "$log" 2>&1; then
    failed=$((failed + 1))
    cp "$log" "$build/soak-failures/$seed.log"
    echo "soak: seed $seed failed, see $build/soak-failures/$seed.log" >&2
  fi
  while read -r e f p w; do
    exchanges=$((exchanges + e)) faults=$((faults + f)) reported=$((reported + p)) wrong=$((wrong + w))
  done < <(sed -n 's/^soak [a-z]*: seed [0-9]*, \([0-9]*\) exchanges, \([0-9]*\) faults injected, \([0-9]*\) failures reported, \([0-9]*\) wrong values$/\1 \2 \3 \4/p' "$log")
  while read -r w; do
    wrong=$((wrong + w))
  done < <(sed -n 's/^soak save .*: [0-9]* kills, [0-9]* whole files, \([0-9]*\) wrong values$/\1/p' "$log")
  rm -f "$log"
  runs=$((runs + 1))
done
echo "soak: $runs runs, $exchanges exchanges, $faults faults injected, $reported failures reported, $wrong wrong values stored, $failed failed runs"
[ "$failed" -eq 0 ] && [ "$wrong" -eq 0 ]
