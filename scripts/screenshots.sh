#!/usr/bin/env bash
# Remakes the pictures of the user guide: starts the emulator with a few goods in its memory,
# walks the program offscreen through every screen and writes one PNG per screen.
# Usage: scripts/screenshots.sh [--build build-dir] [--no-build] [output-dir (default docs/images)]
# Fails, naming the screen, when one cannot be reached. --no-build takes the programs as they
# are (the test suite runs it so, beside other tests).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
rebuild=yes
while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$2; shift 2 ;;
    --no-build) rebuild=no; shift ;;
    *) break ;;
  esac
done
out=${1:-$root/docs/images}

if [ $rebuild = yes ]; then
  [ -x "$build/tests/tools/screen_tour" ] || "$root/scripts/setup.sh" "$build"
  cmake --build "$build" --target screen_tour tarnis-emulator tarnisctl >/dev/null
fi

work=$(mktemp -d)
emulator=""
cleanup() {
  if [ -n "$emulator" ]; then kill "$emulator" 2>/dev/null || true; wait "$emulator" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

export TARNIS_PORTS_DIR=$work/ports
"$build/tools/tarnis-emulator/tarnis-emulator" --port COM1 --factory 1 >"$work/emulator.log" 2>&1 &
emulator=$!
for _ in $(seq 100); do
  [ -e "$TARNIS_PORTS_DIR/COM1" ] && break
  sleep 0.05
done
[ -e "$TARNIS_PORTS_DIR/COM1" ] || { cat "$work/emulator.log" >&2; echo "screenshots: the emulator did not start" >&2; exit 1; }

# A few goods, so the goods page has something to show.
cat >"$work/goods.csv" <<'CSV'
Код товара;Наименование;Тип. шрифта;Штрих-код;Секция;Цена
0;ХЛЕБ БОРОДИНСКИЙ;узкий;4607001234567;1;45.00
1;МОЛОКО 3,2% 1Л;узкий;4601234567890;1;89.90
2;КОФЕ;широкий;0;2;150.00
3;ЧАЙ ЧЕРНЫЙ;узкий;4605678901234;2;120.50
4;ПАКЕТ;узкий;0;3;5.00
CSV
ctl=$build/tools/tarnisctl/tarnisctl
if ! { "$ctl" goods import --csv "$work/goods.csv" --file "$work/goods.base" &&
       "$ctl" goods write --port COM1 --file "$work/goods.base" --range 0-4; } >"$work/goods.log" 2>&1; then
  cat "$work/goods.log" >&2
  echo "screenshots: the emulator did not take the goods" >&2
  exit 1
fi

# The set of pictures is replaced only once the walk has taken every one.
QT_QPA_PLATFORM=offscreen "$build/tests/tools/screen_tour" --port COM1 "$work/pictures"
mkdir -p "$out"
rm -f "$out"/*.png
cp "$work/pictures"/*.png "$out"/
echo "screenshots: $(ls "$out"/*.png | wc -l) pictures in $out"
