#!/usr/bin/env bash
# Builds the libFuzzer targets in their own folder with clang, runs each for SECONDS starting from
# its seed corpus in tests/fuzz/corpus, and ends with one line:
#   fuzz: T targets, E executions, F findings
# New corpus entries stay in the build folder (corpus/<target>), never in the repository; each
# finding is kept there as a reproducer (findings/<target>/) to turn into a test.
# Usage: scripts/fuzz.sh SECONDS
#   FUZZ_BUILD_DIR  build folder (default build-fuzz)      FUZZ_JOBS  targets run at once (default: cores)
#   FUZZ_TARGETS    only these targets, e.g. "goods_csv config_json" (default: all)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-}
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: scripts/fuzz.sh SECONDS" >&2
  exit 2
fi
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
jobs=${FUZZ_JOBS:-$(nproc)}

cxx=$(command -v clang++-14 || command -v clang++ || true)
if [ -z "$cxx" ]; then
  echo "fuzz: clang++ is not installed (scripts/setup.sh installs it); no targets run" >&2
  exit 2
fi
cc=$(dirname "$cxx")/$(basename "$cxx" | sed 's/clang++/clang/')

mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_CXX_COMPILER="$cxx" -DTARNIS_FUZZ=ON -DTARNIS_BUILD_BENCH=OFF > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log" >&2; exit 2; }
cmake --build "$build" --target tarnis_fuzz_targets -j"$(nproc)" > "$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log" >&2; exit 2; }

# The longest input worth trying: the two file images are of one fixed size.
max_len() {
  case "$1" in
    config_file) echo 8875 ;;
    goods_file) echo 40040 ;;
    goods_csv) echo 16384 ;;
    config_json) echo 32768 ;;
    *) echo 4096 ;;
  esac
}

mkdir -p "$build/logs"
run_target() {
  local name=$1
  mkdir -p "$build/corpus/$name" "$build/findings/$name"
  ls "$build/findings/$name" > "$build/logs/$name.findings-before"
  "$build/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -max_len="$(max_len "$name")" -timeout=10 \
    -report_slow_units=30 -rss_limit_mb=1536 -print_final_stats=1 -artifact_prefix="$build/findings/$name/" \
    "$build/corpus/$name" "$root/tests/fuzz/corpus/$name" > "$build/logs/$name.log" 2>&1 || true
}

targets=()
for dir in "$root"/tests/fuzz/corpus/*/; do
  name=$(basename "$dir")
  if [ -n "${FUZZ_TARGETS:-}" ] && ! [[ " $FUZZ_TARGETS " == *" $name "* ]]; then continue; fi
  if [ -x "$build/tests/fuzz/fuzz_$name" ]; then targets+=("$name"); fi
done

running=0
for name in "${targets[@]}"; do
  run_target "$name" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
done
wait

executions=0
findings=0
for name in "${targets[@]}"; do
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$name.log" | tail -1)
  runs=${runs:-0}
  # Crashes, broken invariants, leaks, time-outs and memory blow-ups are findings; a slow unit
  # (libFuzzer's note of an input that took long on a busy machine) is only listed.
  fresh=$(ls "$build/findings/$name" | grep -vxF -f "$build/logs/$name.findings-before" || true)
  new=$(grep -cE '^(crash|leak|timeout|oom)-' <<< "$fresh" || true)
  echo "fuzz_$name: $runs executions, $new findings"
  for file in $fresh; do
    case "$file" in
      slow-unit-*) echo "  slow input (not a finding): $build/findings/$name/$file" ;;
      *) echo "  reproducer: $build/findings/$name/$file" ;;
    esac
  done
  executions=$((executions + runs))
  findings=$((findings + new))
done
echo "fuzz: ${#targets[@]} targets, $executions executions, $findings findings"
[ "$findings" -eq 0 ]
