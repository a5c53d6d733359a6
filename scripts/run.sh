#!/usr/bin/env bash
# Sets up and builds, starts the device emulator on a pseudo-terminal registered as COM1,
# then the program. In the program choose "Настройки подключения", apply COM1, and talk to it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/setup.sh" "$build"

export TARNIS_PORTS_DIR=${TARNIS_PORTS_DIR:-$(mktemp -d)/ports}
"$build/tools/tarnis-emulator/tarnis-emulator" --port COM1 --factory 1 &
emulator=$!
trap 'kill $emulator 2>/dev/null; wait $emulator 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "$TARNIS_PORTS_DIR/COM1" ] && break; sleep 0.1; done
echo "Emulator on COM1 ($(readlink "$TARNIS_PORTS_DIR/COM1")), factory number 1."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: running the program under xvfb-run."
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tools/tarnis/tarnis"
else
  "$build/tools/tarnis/tarnis"
fi
