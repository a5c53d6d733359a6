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
emulators=()
cleanup() {
  for pid in "${emulators[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# The device the tour works with on COM3 at 57600 with factory number 4242 — port, speed and
# number all differ from the connection settings' defaults, so the search visibly fills them in —
# and a second one at 9600 on COM2, so that "Найти аппарат" finds two and asks which to take.
export TARNIS_PORTS_DIR=$work/ports
start_emulator() {
  local port=$1
  shift
  "$build/tools/tarnis-emulator/tarnis-emulator" --port "$port" "$@" >"$work/emulator-$port.log" 2>&1 &
  emulators+=($!)
  for _ in $(seq 100); do
    [ -e "$TARNIS_PORTS_DIR/$port" ] && return
    sleep 0.05
  done
  cat "$work/emulator-$port.log" >&2
  echo "screenshots: the emulator on $port did not start" >&2
  exit 1
}
device=(--port COM3 --baud 57600 --factory 4242)
start_emulator COM3 --factory 4242 --line-speed 57600
start_emulator COM2 --factory 1 --line-speed 9600

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
       "$ctl" goods write "${device[@]}" --file "$work/goods.base" --range 0-4; } >"$work/goods.log" 2>&1; then
  cat "$work/goods.log" >&2
  echo "screenshots: the emulator did not take the goods" >&2
  exit 1
fi

# A few texts in the device that differ from the program's defaults, for the comparison.
if ! { "$ctl" config read "${device[@]}" --file "$work/device.cfg" &&
       "$ctl" config export --file "$work/device.cfg" --json "$work/device.json" &&
       sed -e 's/"ОПЕРАТОР 2"/"СТАРШИЙ КАССИР"/' -e 's/"ФАМИЛИЯ 1"/"ИВАНОВ И.И."/' \
           -e 's/"УСЛУГА 1 - СТРОКА 1"/"СТИРКА"/' "$work/device.json" >"$work/changed.json" &&
       ! cmp -s "$work/device.json" "$work/changed.json" &&
       "$ctl" config import --json "$work/changed.json" --file "$work/changed.cfg" &&
       "$ctl" config write "${device[@]}" --file "$work/changed.cfg"; } >"$work/config.log" 2>&1; then
  cat "$work/config.log" >&2
  echo "screenshots: the emulator did not take the configuration" >&2
  exit 1
fi

# The set of pictures is replaced only once the walk has taken every one.
QT_QPA_PLATFORM=offscreen "$build/tests/tools/screen_tour" --port COM3 --factory 4242 "$work/pictures"
mkdir -p "$out"
rm -f "$out"/*.png
cp "$work/pictures"/*.png "$out"/
echo "screenshots: $(ls "$out"/*.png | wc -l) pictures in $out"
