#!/bin/sh
# Runs one test with throw-away HOME, XDG folders and a fixed locale on Qt's offscreen
# platform, so no test sees or touches the user's settings and data files.
set -eu
root=$(mktemp -d "${TMPDIR:-/tmp}/pinleaf-test.XXXXXX")
trap 'rm -rf "$root"' EXIT INT TERM
mkdir -p "$root/home" "$root/config" "$root/data" "$root/cache" "$root/runtime" "$root/work"
chmod 700 "$root/runtime"
export HOME="$root/home"
export XDG_CONFIG_HOME="$root/config"
export XDG_DATA_HOME="$root/data"
export XDG_CACHE_HOME="$root/cache"
export XDG_RUNTIME_DIR="$root/runtime"
export TMPDIR="$root"
export LC_ALL=C.UTF-8 LANG=C.UTF-8 LANGUAGE=
export QT_QPA_PLATFORM="${PINLEAF_TEST_QPA:-offscreen}"
export QT_QPA_PLATFORMTHEME=
unset DISPLAY WAYLAND_DISPLAY SESSION_MANAGER DBUS_SESSION_BUS_ADDRESS || true
cd "$root/work"
"$@"
