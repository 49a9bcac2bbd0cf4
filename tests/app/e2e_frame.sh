#!/bin/bash
# A user's session on a real X display (run under xvfb-run with a 1024 x 768 screen): the
# skinned main window is dragged with snapping, sliced and unsliced by double-clicks and
# extracted by the fold button; then its data file is deleted, and at exit the saving prompt
# writes the messages to the file the user names.
#   e2e_frame.sh PINLEAF_BINARY
set -euo pipefail
pinleaf=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

# Runs "$@" until it succeeds, for at most 10 seconds (X requests take their time).
until_ok() {
    for _ in $(seq 100); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}
visible_window() { xdotool search --onlyvisible --name "^$1\$" | head -1; }
geometry_is() { [ "$(xdotool getwindowgeometry "$1" | tr -d '\n' | sed 's/.*Position: \([0-9,]*\) .*Geometry: \([0-9x]*\).*/\1 \2/')" = "$2" ]; }

"$pinleaf" 2>pinleaf.err &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

until_ok visible_window Pinleaf || fail "no main window"
w=$(visible_window Pinleaf)
until_ok geometry_is "$w" "807,10 207x395" || fail "not at the default place: $(xdotool getwindowgeometry "$w")"

# Drag the title 300 pixels left and 12 up: the top would come to -2 and snaps to 0.
xdotool mousemove 883 18 mousedown 1
for _ in 1 2 3 4 5 6; do xdotool mousemove_relative -- -50 -2; done
xdotool mouseup 1
until_ok geometry_is "$w" "507,0 207x395" || fail "drag: $(xdotool getwindowgeometry "$w")"

# Double-clicks on the title slice the window and bring it back.
xdotool mousemove 583 8 click --repeat 2 --delay 80 1
until_ok geometry_is "$w" "507,0 207x17" || fail "not sliced: $(xdotool getwindowgeometry "$w")"
xdotool mousemove 583 8 click --repeat 2 --delay 80 1
until_ok geometry_is "$w" "507,0 207x395" || fail "not unsliced: $(xdotool getwindowgeometry "$w")"

# The fold button extracts the window.
xdotool mousemove $((507 + 103)) $((0 + 389)) click 1
until_ok geometry_is "$w" "507,0 207x575" || fail "not extracted: $(xdotool getwindowgeometry "$w")"

# Write a message, then lose the data file while the program runs.
xdotool mousemove $((507 + 100)) $((0 + 119)) click 1
xdotool type --delay 20 'milk'
until_ok test -s Pinleaf.cds || fail "no data file"
rm Pinleaf.cds

# Exit: the saving prompt asks where the messages should go.
xdotool key alt+F4
until_ok visible_window Browse || fail "no saving prompt"
xdotool key ctrl+a
xdotool type --delay 10 "$PWD/kept.cds"
xdotool key Return
until_ok bash -c "! kill -0 $pid" || fail "the program did not end"
wait $pid || fail "exit status $?"

[ -f kept.cds ] || fail "kept.cds was not written"
[ ! -e Pinleaf.cds ] || fail "the old data file came back"
[ "$(sqlite3 kept.cds 'SELECT TITLE FROM messages')" = "milk" ] ||
    fail "the message did not land in kept.cds: $(sqlite3 kept.cds 'SELECT * FROM messages')"
grep -q "\"FileLocation\"=\"$PWD/kept.cds\"" "$XDG_CONFIG_HOME/pinleaf/registry.txt" ||
    fail "kept.cds is not the remembered data file"
echo "PASS"
