#!/usr/bin/env bash
# Builds a release configuration with Debian's hardening flags and packs it:
# build-package/tarnis_<version>_<arch>.deb, then lints it when lintian is there.
# Usage: scripts/package.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-package}

# Installs the build tools the first time (the same list as the everyday build).
if ! command -v cpack >/dev/null || ! command -v dpkg-shlibdeps >/dev/null; then
  "$root/scripts/setup.sh" "$root/build"
fi

# Every hardening feature Debian knows (PIE, bind-now, fortify, stack protector).
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNIS_BUILD_TESTS=OFF -DTARNIS_BUILD_BENCH=OFF \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
cmake --build "$build" -j"$(nproc)"
(cd "$build" && cpack -G DEB)
package=$(ls -t "$build"/tarnis_*.deb | head -n 1)
echo "package: $package"
if command -v lintian >/dev/null; then
  # Errors fail the script; warnings are shown.
  lintian --fail-on error "$package"
fi
