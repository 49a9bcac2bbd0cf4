#!/usr/bin/env bash
# Installs what is missing, builds Pinleaf with its tests and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/setup.sh" --tests
cd "$here/build"
ctest --output-on-failure -j "$(nproc)" "$@"
