#!/usr/bin/env bash
# Real-window test on Wayland: Glimmet runs as a Wayland client of weston,
# whose X11 backend shows the compositor's output as one window on a private
# X server. xdotool's pointer and keys on that window reach Glimmet through
# weston's seat, the window is checked pixel for pixel inside weston's
# output, and the code box is copied and read back with wl-paste, since
# weston does not bridge its clipboard to X.
#
# Kiosk-shell shows the editor alone and centred on a black output, with no
# title bar (the toolkit draws none for a fullscreen window), so where its
# client area starts is found on the screen. wl-paste reads the clipboard
# from a surface of its own, which holds the keyboard while it lives; keys
# are sent only once Glimmet's protocol log (WAYLAND_DEBUG) shows that it
# holds the keyboard again.
#
# Usage: wayland_e2e.sh <glimmet binary>
# Exits 77 (skipped) when weston cannot start at all.

set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

[ $# -eq 1 ] || {
    echo "usage: $0 <glimmet binary>" >&2
    exit 2
}
glimmet=$1
export E2E_NAME="e2e_wayland"
unset DISPLAY WAYLAND_DISPLAY
# shellcheck source-path=SCRIPTDIR source=driver.sh
source "$here/driver.sh"

output_width=800
output_height=600

# Starts weston nested in the X server, with a private runtime directory for
# its socket. Exits 77 if it does not come up.
start_weston() {
    export XDG_RUNTIME_DIR="$e2e_tmp/runtime"
    export WAYLAND_DISPLAY=glimmet-e2e
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --no-config --backend=x11-backend.so --shell=kiosk-shell.so --use-pixman \
        --socket="$WAYLAND_DISPLAY" --width="$output_width" --height="$output_height" \
        --idle-time=0 >"$e2e_tmp/weston.log" 2>&1 &
    local weston_pid=$!
    e2e_helper_pids+=("$weston_pid")
    local deadline=$((SECONDS + 15))
    while [ "$SECONDS" -lt "$deadline" ]; do
        if [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]; then
            e2e_window=$(timeout 5 xdotool search --onlyvisible --class '^Weston Compositor$' \
                2>/dev/null | head -n1 || true)
            [ -n "$e2e_window" ] && return
        fi
        kill -0 "$weston_pid" 2>/dev/null || break
        sleep 0.1
    done
    cat "$e2e_tmp/weston.log" >&2 || true
    echo "SKIP: weston could not start on the private X server" >&2
    exit 77
}

# The pointer rests in the output's bottom-right corner: weston draws the
# cursor into its output, where it must not cover what is checked.
park_pointer() {
    timeout 5 xdotool mousemove --window "$e2e_window" $((output_width - 1)) $((output_height - 1))
}

# The first pixel that is not the black of the empty output, along one line
# of it ("x" for a row, "y" for a column) through the output's centre.
first_lit() {
    local geometry
    case $1 in
    x) geometry="${output_width}x1+0+$((output_height / 2))" ;;
    y) geometry="1x${output_height}+$((output_width / 2))+0" ;;
    esac
    timeout 10 convert "$e2e_tmp/output.png" -crop "$geometry" +repage -depth 8 rgb:- |
        od -An -v -tu1 -w3 | awk '!found && $1 + $2 + $3 > 0 { print NR - 1; found = 1 }'
}

# How many lines of Glimmet's protocol log match a pattern.
protocol_count() {
    grep -acE "$1" "$e2e_tmp/app.log" || true
}

# Polls until Glimmet holds the keyboard, having lost it at least `leaves`
# times in all.
wait_keyboard() {
    local leaves=$1 last deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
        last=$(grep -aoE 'wl_keyboard@[0-9]+\.(enter|leave)\(' "$e2e_tmp/app.log" | tail -n1 || true)
        if [[ $last == *enter\( ]] &&
            [ "$(protocol_count 'wl_keyboard@[0-9]+\.leave\(')" -ge "$leaves" ]; then
            return
        fi
        sleep 0.1
    done
    fail "Glimmet did not hold the keyboard within 10 s"
}

# Starts the program on weston and waits until its window is painted; then
# the client area's origin inside weston's window and the face colour are
# known.
start_glimmet_wayland() {
    launch_glimmet "$1" wayland WAYLAND_DEBUG=client
    timeout 5 xdotool windowfocus "$e2e_window" 2>/dev/null || true
    park_pointer

    local deadline=$((SECONDS + 20)) x y
    while [ "$SECONDS" -lt "$deadline" ]; do
        expect_running
        timeout 10 import -window "$e2e_window" "$e2e_tmp/output.png" 2>/dev/null ||
            fail "could not grab weston's window"
        x=$(first_lit x)
        y=$(first_lit y)
        if [ -n "$x" ] && [ -n "$y" ]; then
            e2e_origin_x=$x
            e2e_origin_y=$y
            capture
            e2e_face=$(pixel_at 2 2)
            note "the editor's client area starts at ($x,$y) in weston's output"
            wait_keyboard 0
            return
        fi
        sleep 0.1
    done
    fail "no window on weston's output within 20 s"
}

# How many pixels of a part of weston's output (WxH+X+Y) are dark ("dark")
# or the blue of a selection ("selection").
count_in_output() {
    local geometry=$1 kind=$2
    timeout 10 convert "$e2e_tmp/output.png" -crop "$geometry" +repage -depth 8 rgb:- |
        od -An -v -tu1 -w3 | awk -v kind="$kind" '
            kind == "dark" && $1 + $2 + $3 < 240 { n++ }
            kind == "selection" && $3 > $1 + 80 && $3 > 150 { n++ }
            END { print n + 0 }'
}

# The chooser that a paste of more than one reading opens lays itself out at
# the size weston gives it (kiosk-shell fills the output with it): its prompt
# stays under the title bar and the pictures, the first one selected, show
# on the output. The chooser is wider than the editor, so its top edge is the
# first lit pixel of a column just left of the editor.
expect_chooser_fits() {
    local deadline=$((SECONDS + 10)) column=$((e2e_origin_x - 8)) top prompt selected
    while :; do
        timeout 10 import -window "$e2e_window" "$e2e_tmp/output.png" 2>/dev/null ||
            fail "could not grab weston's window"
        top=$(timeout 10 convert "$e2e_tmp/output.png" -crop "1x${output_height}+$column+0" \
            +repage -depth 8 rgb:- | od -An -v -tu1 -w3 |
            awk '!found && $1 + $2 + $3 > 0 { print NR - 1; found = 1 }')
        if [ -n "$top" ]; then
            prompt=$(count_in_output "300x60+$column+$((top + 32))" dark)
            selected=$(count_in_output "${output_width}x$((output_height - top - 32))+0+$((top + 32))" \
                selection)
            if [ "$prompt" -gt 20 ] && [ "$selected" -gt 300 ]; then
                note "the chooser's prompt sits under its title and its first picture shows"
                return
            fi
        fi
        [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.2
    done
    # What Glimmet and the toolkit said, the protocol log left out.
    grep -av '^\[' "$e2e_tmp/app.log" | tail -n 5 >&2 || true
    mkdir -p "$e2e_artifacts"
    cp "$e2e_tmp/output.png" "$e2e_artifacts/$e2e_name-chooser-failure.png" 2>/dev/null || true
    fail "the chooser does not fit (top ${top:-none}, prompt pixels ${prompt:-0}," \
        "selection pixels ${selected:-0}; screenshot:" \
        "$e2e_artifacts/$e2e_name-chooser-failure.png)"
}

require_tools weston wl-paste wl-copy cmp
start_display
start_weston
start_glimmet_wayland "$glimmet"

ring=(
    "..####.."
    ".#....#."
    "#......#"
    "#......#"
    "#......#"
    "#......#"
    ".#....#."
    "..####.."
)
# shellcheck disable=SC2046
click_at $(button_new)
draw_picture "${ring[@]}"
park_pointer
sprite_look 8 "${ring[@]}" | expect_look "drawing on Wayland"

# shellcheck disable=SC2046
click_at $(name_box)
type_text ring
# shellcheck disable=SC2046
click_at $(button_make_code)
leaves=$(protocol_count 'wl_keyboard@[0-9]+\.leave\(')
copy_code
deadline=$((SECONDS + 10))
until [ "$(protocol_count 'set_selection\(wl_data_source')" -gt 0 ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Glimmet offered no clipboard within 10 s"
    sleep 0.1
done
e2e_paste=(wl-paste --no-newline)
expect_copied "static unsigned char ring[] = {0x3C,0x42,0x81,0x81,0x81,0x81,0x42,0x3C};"
wait_keyboard $((leaves + 1))

# A byte list with six readings and nothing to settle them offers the
# chooser; Esc leaves the drawing.
# wl-copy takes the keyboard for a moment to set the clipboard, and wl-paste
# above may still be giving it back: Ctrl+V waits until Glimmet holds the
# keyboard with wl-copy's offer, told apart from the toolkit's own by the X
# name UTF8_STRING among its types.
offers=$(protocol_count 'offer\("UTF8_STRING"\)')
printf '%s\n' "static unsigned char arrow[] = {" "   0x01, 0x80, 0xff, 0x00};" |
    timeout 60 wl-copy --foreground &
copier=$!
e2e_helper_pids+=("$copier")
deadline=$((SECONDS + 10))
until [ "$(protocol_count 'offer\("UTF8_STRING"\)')" -gt "$offers" ]; do
    [ "$SECONDS" -lt "$deadline" ] || fail "Glimmet was offered no clipboard from wl-copy within 10 s"
    sleep 0.1
done
leaves=$(protocol_count 'wl_keyboard@[0-9]+\.leave\(')
wait_keyboard "$leaves"
press_keys ctrl+v
expect_chooser_fits
kill "$copier" 2>/dev/null || true
press_keys Escape
# Kiosk-shell gives the keyboard to no one when a window of a client goes;
# a click on the editor's face, where a click does nothing, gives it back.
click_at 4 4
wait_keyboard $((leaves + 2))
park_pointer
sprite_look 8 "${ring[@]}" | expect_look "the drawing after Esc in the chooser"

# Esc ends the program promptly: on Wayland it leaves without taking down the
# toolkit's display connection, whose teardown can deadlock in Qt 6.4, so no
# retry is needed.
press_keys Escape
expect_exit 0
echo "PASS: wayland"
