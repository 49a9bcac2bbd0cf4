#!/bin/bash
# The notification-area icon on a real X display: a virtual screen with trayer as the
# notification area, and the mouse driven by xdotool as a user would. The icon docks and moves, a
# double-click hides and shows the window, the right button opens the menu of the window's
# present state, "About..." shows one about box, and "Exit" saves and ends the program.
#   tray-xvfb.sh PINLEAF_BINARY
# Exits 77 (skipped) when Xvfb, trayer or xdotool is missing. With ImageMagick's import it
# also sees the icon move.
set -u
pinleaf=$1
for tool in Xvfb trayer xdotool xwininfo; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tray-xvfb.XXXXXX")
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    xwininfo -root -tree 2>&1 | grep -v "^ *$" | head -40
    cat "$work/xvfb.log" "$work/trayer.log" "$work/pinleaf.log" 2>/dev/null
    exit 1
}

# Waits up to 30 seconds for a condition. The program, the X server and the notification
# area are other processes: polling them is the only way to see what they did.
until_true() {
    for _ in $(seq 300); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
until_true test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
until_true xwininfo -root >/dev/null 2>&1 || fail "no connection to the X server on $DISPLAY"

# trayer sometimes gives up at once when it finds the display busy: give it three tries.
panel_up() { xwininfo -root -tree | grep -q '"panel": ("panel" "trayer")'; }
for _ in 1 2 3; do
    trayer --edge top --align right --widthtype request --height 24 --SetDockType true \
        --transparent false >>"$work/trayer.log" 2>&1 &
    trayer=$!
    pids+=($trayer)
    trayer_settled() { panel_up || ! kill -0 "$trayer" 2>/dev/null; }
    until_true trayer_settled
    panel_up && break
done
panel_up || fail "trayer did not start"

export QT_QPA_PLATFORM=xcb
"$pinleaf" >"$work/pinleaf.log" 2>&1 &
program=$!
pids+=($program)

# The icon: the program's window inside the notification area's panel. Prints its centre.
icon_centre() {
    xwininfo -root -tree | awk '
        function indent(line) { match(line, /^ */); return RLENGTH }
        /"panel": \("panel" "trayer"\)/ { depth = indent($0); next }
        depth && indent($0) <= depth { depth = 0 }
        depth && /\("pinleaf" "Pinleaf"\)/ {
            split($(NF - 1), size, "[x+]"); split($NF, at, "+")
            print at[2] + int(size[1] / 2), at[3] + int(size[2] / 2); exit
        }'
}
main_window() { xdotool search --onlyvisible --class pinleaf 2>/dev/null | while read -r w; do
    [ "$(xwininfo -id "$w" | awk '/Width:/ { print $2 }')" = 207 ] && echo "$w"; done | head -n1; }
window_shown() { [ -n "$(main_window)" ]; }
window_hidden() { [ -z "$(main_window)" ]; }
# The open menu: a pop-up window of the program. Prints its x, y, width and height.
menu_geometry() { xdotool search --onlyvisible --class pinleaf 2>/dev/null | while read -r w; do
    xwininfo -id "$w" | awk '/Override Redirect State: yes/ { popup = 1 }
        /Absolute upper-left X:/ { x = $4 } /Absolute upper-left Y:/ { y = $4 }
        /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { if (popup) print x, y, w, h }'; done | head -n1; }
menu_open() { [ -n "$(menu_geometry)" ]; }
# Opens the icon's menu with the right button and clicks an item: the first, "About..." (the
# separator lies above it, so it is just below the middle of the menu) or the last.
menu_choose() {
    xdotool mousemove "$ix" "$iy" click 3
    until_true menu_open || fail "the right button opened no menu"
    read -r mx my mw mh <<<"$(menu_geometry)"
    case $1 in
        first) y=$((my + 12)) ;;
        about) y=$((my + mh / 2 + 3)) ;;
        last) y=$((my + mh - 12)) ;;
    esac
    xdotool mousemove $((mx + mw / 2)) "$y" click 1
}
about_boxes() { xdotool search --onlyvisible --name '^About Pinleaf$' 2>/dev/null | wc -l; }
about_shown() { [ "$(about_boxes)" -eq 1 ]; }
about_gone() { [ "$(about_boxes)" -eq 0 ]; }

icon_docked() { [ -n "$(icon_centre)" ]; }
until_true icon_docked || fail "the icon did not come into the notification area"
until_true window_shown || fail "the window did not show at the first start"
read -r ix iy <<<"$(icon_centre)"

# The icon moves: a later picture of it differs from the first.
if command -v import >/dev/null; then
    icon_picture() { import -window root -crop 16x16+$((ix - 8))+$((iy - 8)) +repage "rgb:$1"; }
    icon_picture "$work/first.rgb"
    icon_moved() { icon_picture "$work/now.rgb" && ! cmp -s "$work/first.rgb" "$work/now.rgb"; }
    until_true icon_moved || fail "the icon does not move"
fi

# The window stands at the top right and may cover the icon: move it away.
xdotool windowmove "$(main_window)" 600 200

double_click() { xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 60 1; }
double_click
until_true window_hidden || fail "a double-click did not hide the window"
double_click
until_true window_shown || fail "a double-click did not show the window"

# Shown, the menu's first item minimises the window; hidden, it opens it.
menu_choose first
until_true window_hidden || fail "the menu's first item did not minimise the window"
menu_choose first
until_true window_shown || fail "the menu's first item did not open the window"

# "About..." shows the about box; choosing it again while the box shows opens no second box
# and gives the open one the focus back, so that Esc closes it.
menu_choose about
until_true about_shown || fail "About... showed no about box"
focused() { xdotool getwindowfocus getwindowname 2>/dev/null | grep -qx "$1"; }
xdotool windowfocus "$(main_window)"
until_true focused Pinleaf || fail "the main window did not take the focus"
menu_choose about
until_true focused 'About Pinleaf' ||
    fail "About... did not give the open box the focus"
[ "$(about_boxes)" -eq 1 ] || fail "a second About... opened a second box"
xdotool key Escape
until_true about_gone || fail "Esc did not close the about box"

# The last item, "E&xit", saves and ends the program.
menu_choose last
until_true sh -c "! kill -0 $program 2>/dev/null" || fail "Exit did not end the program"
wait "$program"
status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -q '"Showing"="1"' "$XDG_CONFIG_HOME/pinleaf/registry.txt" || fail "the settings were not saved"
[ -f Pinleaf.cds ] || fail "the data file was not written"
echo "PASS"
