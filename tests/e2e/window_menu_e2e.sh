#!/usr/bin/env bash
# Real-window test of the window menu under a window manager: Glimmet opens
# its own window menu from the keyboard, Move hands the window to the window
# manager's keyboard move, About and help (from the menu and with F1) open their windows, and Close ends
# the program. It always runs on a private X server with its own window
# manager, so it neither needs nor disturbs the display other tests share.
# The screen is a small laptop's, 1024 x 600, where the help must fit at
# scale 1 and 2, its frame included.
#
# Usage: window_menu_e2e.sh <glimmet binary>

set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

[ $# -eq 1 ] || {
    echo "usage: $0 <glimmet binary>" >&2
    exit 2
}
glimmet=$1
export E2E_NAME="e2e_window_menu"
unset DISPLAY
# shellcheck source-path=SCRIPTDIR source=driver.sh
source "$here/driver.sh"

screen_width=1024
screen_height=600

require_tools openbox xwininfo
start_display -screen 0 "${screen_width}x${screen_height}x24"
openbox >"$e2e_tmp/wm.log" 2>&1 &
e2e_helper_pids+=("$!")
# The window manager has taken over once it owns the screen's selection.
deadline=$((SECONDS + 10))
until timeout 5 xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the window manager did not start"
    sleep 0.1
done

# Opens the window menu from the keyboard and waits until it shows: one more
# window of the program's.
open_window_menu() {
    local windows
    windows=$(window_count)
    timeout 5 xdotool windowactivate --sync "$e2e_window" 2>/dev/null || true
    press_keys F10
    wait_windows $((windows + 1))
}

# Presses F1 and checks that the help opens beside the editor without
# blocking it, and that the window manager's frame around it lies wholly on
# the screen.
expect_help_on_screen() {
    local deadline=$((SECONDS + 5)) help="" x y w h left right top bottom
    timeout 5 xdotool windowactivate --sync "$e2e_window" 2>/dev/null || true
    press_keys F1
    until [ -n "$help" ]; do
        [ "$SECONDS" -lt "$deadline" ] || fail "F1 opened no help window"
        sleep 0.1
        help=$(timeout 5 xdotool search --all --pid "$e2e_app_pid" --onlyvisible --name 'Help$' \
            2>/dev/null | head -n1 || true)
    done
    # The frame settles once the window manager has placed the window; its
    # edges are the extents the window manager states around the client.
    sleep 0.5
    read -r x y w h < <(timeout 5 xwininfo -id "$help" | awk '
        /Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
        /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF }
        END { print x, y, w, h }')
    read -r left right top bottom < <(timeout 5 xprop -id "$help" _NET_FRAME_EXTENTS |
        sed -n 's/.*= *//p' | tr -d ',')
    x=$((x - ${left:-0})) y=$((y - ${top:-0}))
    w=$((w + ${left:-0} + ${right:-0})) h=$((h + ${top:-0} + ${bottom:-0}))
    if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + w)) -gt "$screen_width" ] ||
        [ $((y + h)) -gt "$screen_height" ]; then
        fail "$1: the framed help at $x,$y ${w}x$h leaves the ${screen_width}x$screen_height screen"
    fi
    note "$1: the framed help at $x,$y ${w}x$h lies on the screen"
}

window_position() {
    timeout 5 xdotool getwindowgeometry "$e2e_window" | sed -n 's/^ *Position: \([0-9]*,[0-9]*\).*/\1/p'
}

start_glimmet "$glimmet"
timeout 5 xdotool windowactivate --sync "$e2e_window" 2>/dev/null || true

# F10, Move, then the arrow keys move the window; Return ends the move. The
# move starts once the menu has closed and the window manager has taken the
# keyboard; a key pressed before that goes to the focused code box, where it
# only moves the caret, so Right is pressed until the window moves.
before=$(window_position)
open_window_menu
press_keys m
wait_windows 1
deadline=$((SECONDS + 5))
until [ "$(window_position)" != "$before" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Move from the window menu did not move the window ($before)"
    press_keys Right
    sleep 0.1
done
press_keys Right Down Down
press_keys Return
note "Move took the window from $before to $(window_position)"

# About: a second window, modal, that Esc closes. (This window manager keeps
# Alt+Space for its own menu, as many do; F10 is the program's alone.)
open_window_menu
press_keys a
wait_windows 2
# A search can meet a window that is going away and fail with an X error:
# it is asked again until the deadline.
deadline=$((SECONDS + 5))
until xdotool search --all --pid "$e2e_app_pid" --onlyvisible --name '^About Glimmet$' \
    >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "the About box is not titled \"About Glimmet\""
    sleep 0.1
done
press_keys Escape
wait_windows 1

# Help in the window menu opens the help; Esc closes it.
open_window_menu
press_keys e
wait_windows 2
deadline=$((SECONDS + 5))
until timeout 5 xdotool search --all --pid "$e2e_app_pid" --onlyvisible --name 'Help$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Help in the window menu opened no help window"
    sleep 0.1
done
press_keys Escape
wait_windows 1

expect_help_on_screen "scale 1"

# The window menu's Close ends the program like the close box.
open_window_menu
press_keys c
expect_exit 0

# At scale 2 the help is twice as large, and must still fit.
start_glimmet "$glimmet" QT_SCALE_FACTOR=2
expect_help_on_screen "scale 2"
open_window_menu
press_keys c
expect_exit 0
echo "PASS: window menu"
