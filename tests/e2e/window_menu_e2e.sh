#!/usr/bin/env bash
# Real-window test of the window menu under a window manager: Glimmet opens
# its own window menu from the keyboard, Move hands the window to the window
# manager's keyboard move, About and help (from the menu and with F1) open
# their windows, and Close ends the program. It always runs on a private X
# server with its own window manager, so it neither needs nor disturbs the
# display other tests share.
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

require_tools openbox
start_display
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

# F1 opens the help beside the editor without blocking it.
timeout 5 xdotool windowactivate --sync "$e2e_window" 2>/dev/null || true
press_keys F1
deadline=$((SECONDS + 5))
until timeout 5 xdotool search --all --pid "$e2e_app_pid" --onlyvisible --name 'Help$' >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "F1 opened no help window"
    sleep 0.1
done

# The window menu's Close ends the program like the close box.
open_window_menu
press_keys c
expect_exit 0
echo "PASS: window menu"
