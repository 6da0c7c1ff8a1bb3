# shellcheck shell=bash
# Drives Glimmet in a real X window the way a person does: pointer moves,
# clicks and drags, typed keys and the clipboard, through xdotool and xclip,
# and reads back what the window shows with ImageMagick's import.
#
# Sourced by the real-window tests and by scripts/screenshot.sh. Every wait is
# a short poll with a deadline, and every external command that talks to the
# X server has a time limit, so a broken program fails the caller instead of
# hanging it. Whatever the driver starts (the program, a private X server) is
# stopped on exit.

set -euo pipefail

# shellcheck source-path=SCRIPTDIR/../.. source=scripts/xvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/xvfb.sh"

# The grid and preview geometry, read from the editor's own constants so that
# the driver's positions cannot drift from the program's.
e2e_source_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
geometry_constant() {
    local value
    value=$(sed -n "s/^inline constexpr int $1 = \([0-9]*\);.*/\1/p" \
        "$e2e_source_root/editor/GridGeometry.h" "$e2e_source_root/core/SpriteRaster.h")
    [ -n "$value" ] || {
        echo "FAIL: no constant $1 in the editor's geometry" >&2
        exit 1
    }
    echo "$value"
}
cell_size=$(geometry_constant kCellSize)
grid_origin=$(geometry_constant kGridOrigin)
preview_left=$(geometry_constant kPreviewLeft)
preview_top=$(geometry_constant kPreviewTop)
preview_scale=$(geometry_constant kPreviewScale)
max_columns=$(geometry_constant kMaxSpriteColumns)
max_rows=$(geometry_constant kMaxSpriteRows)

e2e_tmp=$(mktemp -d "${TMPDIR:-/tmp}/glimmet-e2e.XXXXXX")
# What the program keeps between runs stays with the test, never in the
# user's home; every start within one test shares it.
export XDG_STATE_HOME="$e2e_tmp/state"
e2e_app_pid=""
# Processes started beside the program (a window manager, a compositor):
# stopped after it and before the X server.
e2e_helper_pids=()
e2e_window=""
# Where the program's client area starts inside e2e_window: 0 0 when the
# window is the program's own, elsewhere inside a nested compositor's window.
e2e_origin_x=0
e2e_origin_y=0
# Prints the clipboard's text; a Wayland scenario reads another clipboard.
e2e_paste=(xclip -o -selection clipboard)
e2e_face=""
e2e_width=""
# Where a failing check leaves its screenshot.
e2e_artifacts=${E2E_ARTIFACTS:-$PWD}
e2e_name=${E2E_NAME:-e2e}

e2e_cleanup() {
    if [ -n "$e2e_app_pid" ] && kill -0 "$e2e_app_pid" 2>/dev/null; then
        kill "$e2e_app_pid" 2>/dev/null || true
        wait "$e2e_app_pid" 2>/dev/null || true
    fi
    local pid
    for pid in "${e2e_helper_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    xvfb_stop
    rm -rf "$e2e_tmp"
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

note() {
    echo "-- $*"
}

require_tools() {
    local missing=() tool
    for tool in Xvfb xdpyinfo xdotool xclip import convert od awk timeout "$@"; do
        command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] || fail "missing tools: ${missing[*]} (scripts/setup.sh installs them)"
}

# Uses the X server in $DISPLAY, or starts a private Xvfb when none is given,
# with the Xvfb arguments given (a screen size); a private server is stopped
# on exit.
# shellcheck disable=SC2120 # the arguments are optional
start_display() {
    if [ -n "${DISPLAY:-}" ]; then
        timeout 10 xdpyinfo >/dev/null 2>&1 || fail "cannot open the X display '$DISPLAY'"
        return
    fi
    xvfb_start "$@" || fail "the private Xvfb did not start"
}

# Starts the program in the background on a toolkit platform, with more
# NAME=VALUE settings if given, and the arguments in e2e_args if any. The
# pixel scale is fixed, so client pixels are screen pixels.
e2e_args=()
launch_glimmet() {
    local binary=$1 platform=$2
    shift 2
    [ -x "$binary" ] || fail "no program at '$binary'"
    env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS -u QT_AUTO_SCREEN_SCALE_FACTOR \
        -u QT_STYLE_OVERRIDE QT_ENABLE_HIGHDPI_SCALING=0 \
        QT_QPA_PLATFORM="$platform" "$@" "$binary" ${e2e_args[@]+"${e2e_args[@]}"} \
        >"$e2e_tmp/app.log" 2>&1 &
    e2e_app_pid=$!
}

# Fails, showing what the program printed, once it has exited.
expect_running() {
    kill -0 "$e2e_app_pid" 2>/dev/null && return
    cat "$e2e_tmp/app.log" >&2
    fail "the program exited before it showed a window"
}

# Starts the program, with more NAME=VALUE settings if given, and waits
# until its window is on the screen and painted.
start_glimmet() {
    launch_glimmet "$1" xcb "${@:2}"
    local deadline=$((SECONDS + 20))
    while [ "$SECONDS" -lt "$deadline" ]; do
        # The class matches the dialog only; the name would also match a
        # hidden helper window of the toolkit.
        e2e_window=$(timeout 5 xdotool search --all --pid "$e2e_app_pid" --onlyvisible \
            --class glimmet 2>/dev/null | head -n1 || true)
        [ -n "$e2e_window" ] && break
        expect_running
        sleep 0.1
    done
    [ -n "$e2e_window" ] || fail "no visible window of class glimmet within 20 s"
    # There may be no window manager to raise the window and hand it the
    # keyboard.
    timeout 5 xdotool windowraise "$e2e_window" 2>/dev/null || true
    timeout 5 xdotool windowfocus "$e2e_window" 2>/dev/null || true

    # The face colour is what the dialog paints around its controls. Until the
    # first paint an unpainted window reads black.
    deadline=$((SECONDS + 20))
    while [ "$SECONDS" -lt "$deadline" ]; do
        capture
        e2e_face=$(pixel_at 2 2)
        [ "$e2e_face" != "0 0 0" ] && return
        sleep 0.1
    done
    fail "the window was not painted within 20 s"
}

# The number of visible top-level windows of the program (the dialog, and a
# message box while one is open).
window_count() {
    { timeout 5 xdotool search --all --pid "$e2e_app_pid" --onlyvisible --class glimmet \
        2>/dev/null || true; } | wc -l
}

# Polls until the program shows `count` windows.
wait_windows() {
    local count=$1 deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
        [ "$(window_count)" -eq "$count" ] && return
        sleep 0.1
    done
    fail "expected $count visible window(s), found $(window_count)"
}

# Waits for the program to end and checks its exit status.
expect_exit() {
    local expected=$1 status deadline=$((SECONDS + 15))
    while [ "$SECONDS" -lt "$deadline" ]; do
        kill -0 "$e2e_app_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$e2e_app_pid" 2>/dev/null && fail "the program is still running after 15 s"
    status=0
    wait "$e2e_app_pid" || status=$?
    e2e_app_pid=""
    [ "$status" -eq "$expected" ] || {
        cat "$e2e_tmp/app.log" >&2
        fail "the program exited with status $status, expected $expected"
    }
}

# --- Where things are, in client pixels --------------------------------------

# Dialog units to client pixels: 1.5 px wide, 1.625 px high, rounded.
du_x() { echo $((($1 * 6 + 2) / 4)); }
du_y() { echo $((($1 * 13 + 4) / 8)); }

# The centre of a control given in dialog units (x y w h).
du_centre() {
    local left top right bottom
    left=$(du_x "$1")
    top=$(du_y "$2")
    right=$(du_x $(($1 + $3)))
    bottom=$(du_y $(($2 + $4)))
    echo "$(((left + right) / 2)) $(((top + bottom) / 2))"
}

button_new() { du_centre 240 125 55 15; }
button_make_code() { du_centre 240 140 55 15; }
name_box() { du_centre 245 100 45 12; }
code_box() { du_centre 10 165 280 40; }
# The text part of the height field, left of its arrows.
height_box() { echo "$(du_x 255) $(du_centre 245 65 45 15 | cut -d' ' -f2)"; }
# The arrows sit at the right edge of the height field, one above the other.
height_up() { echo "$(($(du_x 290) - 8)) $(($(du_y 65) + 6))"; }
height_down() { echo "$(($(du_x 290) - 8)) $(($(du_y 80) - 6))"; }
# The round mark at the left of a width button.
width_radio() {
    local y
    case $1 in
    8) y=8 ;;
    16) y=22 ;;
    32) y=36 ;;
    *) fail "no width button for $1" ;;
    esac
    echo "$(($(du_x 246) + 7)) $(du_centre 246 "$y" 43 14 | cut -d' ' -f2)"
}

# A point inside the cell of column c and row r; dx, dy (0..9) pick the pixel
# within the cell, its middle by default.
cell_point() {
    local middle=$((cell_size / 2))
    echo "$((grid_origin + cell_size * $1 + ${3:-$middle})) $((grid_origin + cell_size * $2 + ${4:-$middle}))"
}

# --- Gestures ------------------------------------------------------------------

move_to() {
    timeout 5 xdotool mousemove --window "$e2e_window" $(($1 + e2e_origin_x)) $(($2 + e2e_origin_y))
}

# click X Y [BUTTON]
click_at() {
    move_to "$1" "$2"
    timeout 5 xdotool click "${3:-1}"
}

# click_cell C R [BUTTON] [DX DY]
click_cell() {
    # shellcheck disable=SC2046
    click_at $(cell_point "$1" "$2" "${4:-$((cell_size / 2))}" "${5:-$((cell_size / 2))}") "${3:-1}"
}

# drag_cells BUTTON C0 R0 C1 R1: presses over one cell, moves over to the
# other in a few steps, as a hand does, and lets go there.
drag_cells() {
    local button=$1 c0=$2 r0=$3 c1=$4 r1=$5 step x y
    # shellcheck disable=SC2046
    move_to $(cell_point "$c0" "$r0")
    timeout 5 xdotool mousedown "$button"
    for step in 1 2 3 4; do
        x=$((grid_origin + cell_size * c0 + cell_size / 2 + (cell_size * (c1 - c0) * step) / 4))
        y=$((grid_origin + cell_size * r0 + cell_size / 2 + (cell_size * (r1 - r0) * step) / 4))
        move_to "$x" "$y"
    done
    timeout 5 xdotool mouseup "$button"
}

# Draws a picture of '#' (set) and '.' (clear) rows from the top-left cell:
# a click for a lone pixel, a drag for a run of them.
draw_picture() {
    local r=0 row c start
    for row in "$@"; do
        c=0
        while [ "$c" -lt "${#row}" ]; do
            if [ "${row:c:1}" = "#" ]; then
                start=$c
                while [ "$c" -lt "${#row}" ] && [ "${row:c:1}" = "#" ]; do c=$((c + 1)); done
                if [ $((c - start)) -eq 1 ]; then
                    click_cell "$start" "$r"
                else
                    drag_cells 1 "$start" "$r" $((c - 1)) "$r"
                fi
            else
                c=$((c + 1))
            fi
        done
        r=$((r + 1))
    done
}

press_keys() {
    timeout 5 xdotool key --delay 20 "$@"
}

type_text() {
    timeout 10 xdotool type --delay 20 -- "$1"
}

# --- The screen ----------------------------------------------------------------

# Grabs the window as it is on the screen into $e2e_tmp/shot.png, and the
# part that holds the drawing area and the preview (the top-left 360 x 250
# client pixels) one "r g b" line per pixel, row by row, into shot.txt.
capture() {
    timeout 10 import -window "$e2e_window" "$e2e_tmp/shot.png" 2>/dev/null ||
        fail "could not grab the window"
    if [ -z "${e2e_width:-}" ]; then
        local geometry
        geometry=$(timeout 5 xdotool getwindowgeometry --shell "$e2e_window")
        e2e_width=$(echo "$geometry" | sed -n 's/^WIDTH=//p')
        [ "$e2e_width" -gt 360 ] && e2e_width=360
    fi
    timeout 10 convert "$e2e_tmp/shot.png" -crop "${e2e_width}x250+$e2e_origin_x+$e2e_origin_y" \
        +repage -depth 8 rgb:- |
        od -An -v -tu1 -w3 >"$e2e_tmp/shot.txt"
}

pixel_at() {
    sed -n "$(($2 * e2e_width + $1 + 1))p" "$e2e_tmp/shot.txt" | awk '{print $1, $2, $3}'
}

# Writes the expected look of the drawing area and the preview for a laid-out
# sprite: each of its cells pure black (set) or pure white (clear), every
# other cell position the layout walks (33 x 17 from the grid origin) in the
# face colour; the same for the 2 x 2 preview squares over the 32 x 16
# preview area. Lines are "x y w h colour", colour "R G B" or "face".
sprite_look() {
    local width=$1
    shift
    local height=$# rows=("$@") c r colour
    for ((r = 0; r <= max_rows; r++)); do
        for ((c = 0; c <= max_columns; c++)); do
            colour=face
            if [ "$c" -lt "$width" ] && [ "$r" -lt "$height" ]; then
                [ "${rows[r]:c:1}" = "#" ] && colour="0 0 0" || colour="255 255 255"
            fi
            echo "$((grid_origin + cell_size * c)) $((grid_origin + cell_size * r))" \
                "$cell_size $cell_size $colour cell($c,$r)"
            if [ "$c" -lt "$max_columns" ] && [ "$r" -lt "$max_rows" ]; then
                echo "$((preview_left + preview_scale * c)) $((preview_top + preview_scale * r))" \
                    "$preview_scale $preview_scale $colour preview($c,$r)"
            fi
        done
    done
}

# The look before the first layout: no cell and no preview square painted.
blank_look() {
    echo "$grid_origin $grid_origin $((cell_size * (max_columns + 1)))" \
        "$((cell_size * (max_rows + 1))) face drawing-area"
    echo "$preview_left $preview_top $((preview_scale * max_columns))" \
        "$((preview_scale * max_rows)) face preview-area"
}

# Checks the last capture against a look; prints the first mismatches.
check_look() {
    local look=$1
    awk -v width="$e2e_width" -v face="$e2e_face" '
        FNR == NR { pixel[NR - 1] = $1 " " $2 " " $3; next }
        {
            want = ($5 == "face") ? face : $5 " " $6 " " $7
            what = ($5 == "face") ? $6 : $8
            for (y = $2; y < $2 + $4; y++)
                for (x = $1; x < $1 + $3; x++) {
                    got = pixel[y * width + x]
                    if (got != want) {
                        if (++bad <= 5)
                            printf "  %s: pixel (%d,%d) is (%s), expected (%s)\n", what, x, y, got, want
                    }
                }
        }
        END { if (bad) { printf "  %d pixel(s) differ\n", bad; exit 1 } }
    ' "$e2e_tmp/shot.txt" "$look"
}

# Polls the window until it shows the look (a file or "-" for stdin), for up
# to 10 s; on failure keeps the last screenshot beside the test.
expect_look() {
    local label=$1 look="$e2e_tmp/look"
    cat >"$look"
    case $e2e_face in
    "0 0 0" | "255 255 255") fail "the face colour ($e2e_face) is not told apart from black and white" ;;
    esac
    local deadline=$((SECONDS + 10))
    while :; do
        capture
        if check_look "$look" >"$e2e_tmp/mismatch"; then
            note "$label: looks as expected"
            return
        fi
        [ "$SECONDS" -lt "$deadline" ] || break
        sleep 0.1
    done
    cat "$e2e_tmp/mismatch" >&2
    mkdir -p "$e2e_artifacts"
    cp "$e2e_tmp/shot.png" "$e2e_artifacts/$e2e_name-failure.png" 2>/dev/null || true
    fail "$label: the window does not look as expected (screenshot: $e2e_artifacts/$e2e_name-failure.png)"
}

# --- The clipboard -------------------------------------------------------------

# Puts text on the clipboard as another program does: xclip owns it in the
# background until another program takes the clipboard or the test ends.
put_clipboard() {
    printf '%s' "$1" >"$e2e_tmp/clipboard"
    xclip -quiet -selection clipboard -i "$e2e_tmp/clipboard" >/dev/null 2>&1 &
    e2e_helper_pids+=("$!")
    local deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
        timeout 5 xclip -o -selection clipboard 2>/dev/null | cmp -s - "$e2e_tmp/clipboard" && return
        sleep 0.1
    done
    fail "the clipboard did not take the text"
}

# Selects all of the code box and copies it, as a user does.
copy_code() {
    # shellcheck disable=SC2046
    click_at $(code_box)
    press_keys ctrl+a ctrl+c
}

# Polls the clipboard until it holds exactly `expected`, byte for byte. The
# program must keep running meanwhile: it owns the clipboard.
expect_copied() {
    local expected=$1 deadline
    printf '%s' "$expected" >"$e2e_tmp/expected-code"
    deadline=$((SECONDS + 10))
    while [ "$SECONDS" -lt "$deadline" ]; do
        timeout 5 "${e2e_paste[@]}" >"$e2e_tmp/copied" 2>/dev/null || true
        if cmp -s "$e2e_tmp/copied" "$e2e_tmp/expected-code"; then
            note "copied: $expected"
            return
        fi
        sleep 0.1
    done
    # cat -A shows line ends as $ and other control characters as ^X.
    echo "  expected: [$(cat -A "$e2e_tmp/expected-code")]" >&2
    echo "  copied:   [$(cat -A "$e2e_tmp/copied")]" >&2
    fail "the copied code differs from the expected text"
}

copy_code_and_expect() {
    copy_code
    expect_copied "$1"
}

# Compiles the copied declaration into a C99 program that prints the element
# size and then each row in hexadecimal, and checks the rows against the
# picture: leftmost pixel most significant.
compile_and_check() {
    local name=$1 width=$2
    shift 2
    local cc=${GLIMMET_CC:-cc} row bits c
    {
        echo '#include <stdio.h>'
        cat "$e2e_tmp/copied"
        echo
        echo "#define SPRITE $name"
        cat <<'EOF'
int main(void) {
    size_t i;
    printf("%u\n", (unsigned)sizeof SPRITE[0]);
    for (i = 0; i < sizeof SPRITE / sizeof SPRITE[0]; ++i)
        printf("%lX\n", (unsigned long)SPRITE[i]);
    return 0;
}
EOF
    } >"$e2e_tmp/sprite.c"
    timeout 60 "$cc" -std=c99 -Wall -Werror -o "$e2e_tmp/sprite" "$e2e_tmp/sprite.c" ||
        fail "the copied code does not compile with $cc -std=c99 -Wall -Werror"
    timeout 10 "$e2e_tmp/sprite" >"$e2e_tmp/printed" || fail "the compiled program failed"

    local size
    size=$(head -n1 "$e2e_tmp/printed")
    [ $((size * 8)) -ge "$width" ] || fail "an element of $size byte(s) cannot hold $width pixels"
    for row in "$@"; do
        bits=0
        for ((c = 0; c < ${#row}; c++)); do
            bits=$((bits * 2))
            [ "${row:c:1}" = "#" ] && bits=$((bits + 1))
        done
        printf '%X\n' "$bits"
    done >"$e2e_tmp/rows"
    tail -n +2 "$e2e_tmp/printed" | cmp -s - "$e2e_tmp/rows" || {
        echo "  rows printed:  $(tail -n +2 "$e2e_tmp/printed" | tr '\n' ' ')" >&2
        echo "  rows expected: $(tr '\n' ' ' <"$e2e_tmp/rows")" >&2
        fail "the compiled rows differ from the drawing"
    }
    note "compiled with $cc; rows $(tr '\n' ' ' <"$e2e_tmp/rows")"
}
