#!/usr/bin/env bash
# Makes the README's screenshot: builds Glimmet, starts it under a private
# Xvfb, lays out a 16 x 8 sprite, draws a small ship with clicks and drags,
# names it "ship", presses Make Code and saves the window as a PNG.
#
# Usage: scripts/screenshot.sh [output.png]     (default docs/screenshot.png)
# GLIMMET=<binary> uses that program instead of building one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
output=${1:-docs/screenshot.png}

scripts/setup.sh

glimmet=${GLIMMET:-}
if [ -z "$glimmet" ]; then
    cmake -S . -B build/screenshot -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DGLIMMET_BUILD_TESTS=OFF -DGLIMMET_BUILD_BENCH=OFF >/dev/null
    cmake --build build/screenshot --target glimmet
    glimmet=build/screenshot/shell/glimmet
fi
glimmet=$(cd "$(dirname "$glimmet")" && pwd)/$(basename "$glimmet")

# The same screen every time: a private server, whatever DISPLAY says.
unset DISPLAY
export E2E_NAME=screenshot E2E_ARTIFACTS="$root/build"
# shellcheck source-path=SCRIPTDIR/.. source=tests/e2e/driver.sh
source "$root/tests/e2e/driver.sh"
require_tools identify
start_display
start_glimmet "$glimmet"

ship=(
    ".......##......."
    "......####......"
    "......####......"
    "..#..######..#.."
    ".###.######.###."
    "################"
    "###..######..###"
    "##....#..#....##"
)

# shellcheck disable=SC2046
click_at $(width_radio 16)
# shellcheck disable=SC2046
click_at $(button_new)
draw_picture "${ship[@]}"
sprite_look 16 "${ship[@]}" | expect_look "the ship"

# shellcheck disable=SC2046
click_at $(name_box)
type_text ship

code_area() {
    convert "$e2e_tmp/shot.png" -crop 420x64+15+268 +repage -format '%#' info:
}
capture
before=$(code_area)
# shellcheck disable=SC2046
click_at $(button_make_code)
# No pointer over a button or the grid in the picture.
timeout 5 xdotool mousemove 0 0

# Done when the code has appeared and the window has stopped changing.
deadline=$((SECONDS + 10))
previous=""
while :; do
    sleep 0.2
    capture
    current=$(identify -format '%#' "$e2e_tmp/shot.png")
    if [ "$(code_area)" != "$before" ] && [ "$current" = "$previous" ]; then
        break
    fi
    [ "$SECONDS" -lt "$deadline" ] || fail "the window did not settle after Make Code"
    previous=$current
done
sprite_look 16 "${ship[@]}" | expect_look "the ship after Make Code"

mkdir -p "$(dirname "$output")"
# No time stamps or other metadata, so the same window gives the same file.
convert "$e2e_tmp/shot.png" -strip "$output"
echo "Saved $output ($(identify -format '%wx%h' "$output"))"

press_keys Escape
expect_exit 0
