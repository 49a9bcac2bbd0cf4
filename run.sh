#!/usr/bin/env bash
# Installs what is missing, builds Pinleaf and starts it from your home folder (where a new
# user's first data file is made). Argument 1, if given, is a data file to use.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/setup.sh"
args=()
if [ $# -gt 0 ]; then
    if [ -e "$1" ]; then args+=("$(realpath "$1")"); else args+=("$1"); fi
    shift
    args+=("$@")
fi
cd "$HOME"
exec "$here/build/app/pinleaf" "${args[@]}"
