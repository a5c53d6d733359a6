#!/usr/bin/env bash
# Installs what the build needs and is missing (Debian 12), then configures and builds Tarnis.
# Usage: scripts/setup.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}

# What the Debian package and its checks need (cpack's dpkg-shlibdeps, lintian, man).
package_tools=(dpkg-dev file lintian man-db groff-base)
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libjpeg-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth fonts-dejavu-core qt6-translations-l10n strace clang-14 libclang-rt-14-dev
          ser2net)
missing=()
for p in "${packages[@]}" "${package_tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
