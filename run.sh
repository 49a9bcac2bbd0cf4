#!/usr/bin/env bash
# Installs what is missing, builds Pinleaf and starts it. Arguments go to the program
# (argument 1: a data file to use).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
"$here/scripts/setup.sh"
exec "$here/build/app/pinleaf" "$@"
