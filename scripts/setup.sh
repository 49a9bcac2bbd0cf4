#!/usr/bin/env bash
# Installs what Pinleaf needs from Debian 12's packages (only what is missing) and builds it.
#   scripts/setup.sh            build what the program needs
#   scripts/setup.sh --tests    also what the tests need
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)

packages=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-svg-dev libsqlite3-dev
          libcanberra-dev sound-theme-freedesktop libcurl4-openssl-dev fonts-wine)
if [ "${1:-}" = "--tests" ]; then
    packages+=(libbenchmark-dev sqlite3 xvfb xauth x11-utils xdotool imagemagick trayer)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
fi

tests=OFF
[ "${1:-}" = "--tests" ] && tests=ON
cmake -S "$here" -B "$here/build" -G Ninja -DPINLEAF_BUILD_TESTS=$tests >/dev/null
cmake --build "$here/build" -j "$(nproc)"
