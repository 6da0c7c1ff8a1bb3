#!/usr/bin/env bash
# Real-window tests of the editor: Glimmet runs under X and is used as a
# person uses it. Each scenario lays out a sprite, draws and erases with
# clicks and drags, names it, makes the code, copies the code box through the
# clipboard, compares the copy byte for byte, compiles it with the C compiler,
# checks the screen pixel for pixel, and ends the program the way a user does.
#
# Usage: editor_e2e.sh <glimmet binary> <scenario>
# Scenarios: width8, width16, width32, keyboard, paste, restart, source.

set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

[ $# -eq 2 ] || {
    echo "usage: $0 <glimmet binary> <scenario>" >&2
    exit 2
}
glimmet=$1
scenario=$2
export E2E_NAME="e2e_$scenario"
# shellcheck source-path=SCRIPTDIR source=driver.sh
source "$here/driver.sh"

# Width 8 with the default height 8: clicks at both ends of cells, drags
# across rows and down a column, erasing with a right click and a right drag.
# A message box about the missing name covers the grid, and the grid must be
# whole again once it is closed. Esc ends the program.
scenario_width8() {
    local ship=(
        "...##..."
        "..####.."
        ".######."
        "########"
        "#......#"
        "##....##"
        ".......#"
        ".......#"
    )
    start_glimmet "$glimmet"
    # Nothing is drawn before the first layout, not even by a click.
    click_cell 0 0
    blank_look | expect_look "before New"

    # shellcheck disable=SC2046
    click_at $(button_new)
    # A cell takes every pixel from its corner to the one before the next.
    click_cell 3 0 1 0 0
    click_cell 4 0 1 9 9
    drag_cells 1 2 1 5 1
    drag_cells 1 1 2 6 2
    drag_cells 1 0 3 7 3
    click_cell 0 4
    click_cell 7 4
    click_cell 3 4
    click_cell 3 4 3
    drag_cells 1 0 5 7 5
    drag_cells 3 2 5 5 5
    drag_cells 1 7 6 7 7
    # Away from the grid, so that no pointer hovers over what is checked.
    move_to 300 120
    sprite_look 8 "${ship[@]}" | expect_look "drawing at width 8"

    # shellcheck disable=SC2046
    click_at $(button_make_code)
    wait_windows 2
    press_keys Return
    wait_windows 1
    sprite_look 8 "${ship[@]}" | expect_look "after the message box closed"

    # shellcheck disable=SC2046
    click_at $(name_box)
    type_text ship
    # shellcheck disable=SC2046
    click_at $(button_make_code)
    copy_code_and_expect "static unsigned char ship[] = {0x18,0x3C,0x7E,0xFF,0x81,0xC3,0x01,0x01};"
    compile_and_check ship 8 "${ship[@]}"
    sprite_look 8 "${ship[@]}" | expect_look "after Make Code"

    press_keys Escape
    expect_exit 0
}

# Width 16 chosen with its button, which lays out the grid without New; the
# height set with the arrows (the down arrow steps up to 9, the up arrow
# steps down to 2). Enter in the code box ends the program.
scenario_width16() {
    local arrow=(
        "##............##"
        "..####..#......."
    )
    start_glimmet "$glimmet"
    # shellcheck disable=SC2046
    click_at $(width_radio 16)
    sprite_look 16 "................" "................" "................" "................" \
        "................" "................" "................" "................" |
        expect_look "width 16 laid out"

    # shellcheck disable=SC2046
    click_at $(height_down)
    for _ in 1 2 3 4 5 6 7; do
        # shellcheck disable=SC2046
        click_at $(height_up)
    done
    sprite_look 16 "................" "................" | expect_look "height 2 from the arrows"

    drag_cells 1 0 0 1 0
    drag_cells 1 14 0 15 0
    drag_cells 1 2 1 5 1
    click_cell 8 1
    click_cell 12 1
    click_cell 12 1 3
    move_to 300 120
    sprite_look 16 "${arrow[@]}" | expect_look "drawing at width 16"

    # shellcheck disable=SC2046
    click_at $(name_box)
    type_text arrow
    # shellcheck disable=SC2046
    click_at $(button_make_code)
    copy_code_and_expect "static unsigned short int arrow[] = {0xC003,0x3C80};"
    compile_and_check arrow 16 "${arrow[@]}"

    # The code box still has the focus from the copy.
    press_keys Return
    expect_exit 0
}

# Width 32 with a height typed into its field; full-width drags, an erasing
# right drag across the middle and a drag down a column. Enter in the name
# box ends the program.
scenario_width32() {
    local b=(
        "................#..............#"
        "################################"
        "########........#.......########"
    )
    start_glimmet "$glimmet"
    # shellcheck disable=SC2046
    click_at $(width_radio 32)
    # shellcheck disable=SC2046
    click_at $(height_box)
    press_keys ctrl+a
    type_text 3
    sprite_look 32 "................................" "................................" \
        "................................" | expect_look "height 3 typed"

    drag_cells 1 0 1 31 1
    drag_cells 1 0 2 31 2
    drag_cells 3 8 2 23 2
    drag_cells 1 16 0 16 2
    click_cell 31 0
    move_to 300 120
    sprite_look 32 "${b[@]}" | expect_look "drawing at width 32"

    # shellcheck disable=SC2046
    click_at $(name_box)
    type_text b
    # shellcheck disable=SC2046
    click_at $(button_make_code)
    copy_code_and_expect "static unsigned long int b[] = {0x00008001,0xFFFFFFFF,0xFF0080FF};"
    compile_and_check b 32 "${b[@]}"

    # shellcheck disable=SC2046
    click_at $(name_box)
    press_keys Return
    expect_exit 0
}

# Undo and redo of mouse strokes, then drawing from the keyboard alone: Tab
# into the grid, arrows, Space, Delete, Shift+arrows and two wrapping shifts;
# Shift+Tab from the name and Enter press Make Code. Esc ends the program.
scenario_keyboard() {
    local blank="........"
    local clicked=("#......." "$blank" "$blank" "$blank" "$blank" "$blank" "$blank" "$blank")
    local dragged=("#......." "$blank" ".#####.." "$blank" "$blank" "$blank" "$blank" "$blank")
    local mouse=("#......." "$blank" ".#####.." "$blank" "$blank" "$blank" "$blank" ".......#")
    # From the mouse drawing, with the cursor on the top-left cell: Down
    # Space, Shift+Right twice, Down Space (clearing), Right Right Delete,
    # Shift+Down twice; the cursor ends on column 4, row 4.
    local keyed=("#......." "###....." ".#.#.#.." "....#..."
        "....#..." "$blank" "$blank" ".......#")
    # Then Ctrl+Right and Ctrl+Up, each wrapping round.
    local shifted=(".###...." "..#.#.#." ".....#.." ".....#.."
        "$blank" "$blank" "#......." ".#......")

    start_glimmet "$glimmet"
    # shellcheck disable=SC2046
    click_at $(button_new)
    click_cell 0 0
    drag_cells 1 1 2 5 2
    click_cell 7 7
    move_to 300 120
    sprite_look 8 "${mouse[@]}" | expect_look "three strokes with the mouse"

    # Each stroke is one step, and each redo key redoes one.
    press_keys ctrl+z ctrl+z
    sprite_look 8 "${clicked[@]}" | expect_look "two strokes undone"
    press_keys ctrl+shift+z
    sprite_look 8 "${dragged[@]}" | expect_look "one redone with Ctrl+Shift+Z"
    press_keys ctrl+y
    sprite_look 8 "${mouse[@]}" | expect_look "the other redone with Ctrl+Y"

    # Tab from the height field reaches the grid. The cursor is wherever the
    # mouse last was over the grid; the arrows stop at the edges.
    # shellcheck disable=SC2046
    click_at $(height_box)
    press_keys Tab Left Left Left Left Left Left Left Up Up Up Up Up Up Up
    press_keys Down space shift+Right shift+Right Down space Right Right Delete \
        shift+Down shift+Down
    # A frame marks the cursor's cell, which the last key set: its edge is
    # not black, its middle is. The whole look is checked once a click has
    # hidden the frame.
    local deadline=$((SECONDS + 10)) edge middle
    while :; do
        capture
        # shellcheck disable=SC2046
        edge=$(pixel_at $(cell_point 4 4 1 1))
        # shellcheck disable=SC2046
        middle=$(pixel_at $(cell_point 4 4))
        [[ $edge != "0 0 0" && $middle == "0 0 0" ]] && break
        [ "$SECONDS" -lt "$deadline" ] ||
            fail "no cursor frame: the cell shows ($edge) at its edge, ($middle) in its middle"
        sleep 0.1
    done
    note "the cursor's frame shows ($edge)"
    click_at 300 120
    sprite_look 8 "${keyed[@]}" | expect_look "drawn from the keyboard"

    press_keys ctrl+Right ctrl+Up
    click_at 300 120
    sprite_look 8 "${shifted[@]}" | expect_look "shifted right and up"

    # shellcheck disable=SC2046
    click_at $(name_box)
    type_text keyed
    press_keys shift+Tab Return
    copy_code_and_expect "static unsigned char keyed[] = {0x70,0x2A,0x04,0x04,0x00,0x00,0x80,0x40};"
    compile_and_check keyed 8 "${shifted[@]}"

    press_keys Escape
    expect_exit 0
}

# Glimmet's own line, put on the clipboard by another program and pasted
# with Ctrl+V in the grid, is laid out at once as the sprite it stands for;
# Make Code gives back the very line, byte for byte, and Ctrl+Z takes the
# paste back. Esc ends the program.
scenario_paste() {
    local line="static unsigned short int arrow[] = {0xC003,0x3C80};"
    local arrow=(
        "##............##"
        "..####..#......."
    )
    local empty=("........" "........" "........" "........" "........" "........" "........"
        "........")
    start_glimmet "$glimmet"
    # shellcheck disable=SC2046
    click_at $(button_new)
    # A click gives the grid the keyboard; the cell it draws is taken back.
    click_cell 0 0
    press_keys ctrl+z
    move_to 300 120
    sprite_look 8 "${empty[@]}" | expect_look "the grid has the keyboard"

    put_clipboard "$line"
    press_keys ctrl+v
    sprite_look 16 "${arrow[@]}" | expect_look "pasted"
    # shellcheck disable=SC2046
    click_at $(button_make_code)
    copy_code_and_expect "$line"
    compile_and_check arrow 16 "${arrow[@]}"

    # The code box has the focus from the copy; undo acts on the drawing.
    press_keys ctrl+z
    sprite_look 8 "${empty[@]}" | expect_look "the paste undone"
    press_keys Escape
    expect_exit 0
}

# A drawing survives the window: Enter ends Glimmet at once, the next start
# opens blank as always, and Ctrl+Z brings the drawing back. Ctrl+C in the
# grid then makes its code and puts it on the clipboard. Esc ends the
# program.
scenario_restart() {
    local heart=(
        ".##..##."
        "########"
        "########"
        ".######."
        "..####.."
        "...##..."
        "........"
        "........"
    )
    start_glimmet "$glimmet"
    # shellcheck disable=SC2046
    click_at $(button_new)
    draw_picture "${heart[@]}"
    move_to 300 120
    sprite_look 8 "${heart[@]}" | expect_look "the drawing"
    # shellcheck disable=SC2046
    click_at $(code_box)
    press_keys Return
    expect_exit 0
    [ -s "$XDG_STATE_HOME/glimmet/history" ] || fail "no history kept in $XDG_STATE_HOME/glimmet"

    start_glimmet "$glimmet"
    blank_look | expect_look "the next start, blank as always"
    press_keys ctrl+z
    sprite_look 8 "${heart[@]}" | expect_look "the drawing back with Ctrl+Z"

    # shellcheck disable=SC2046
    click_at $(name_box)
    type_text heart
    # shellcheck disable=SC2046
    click_at $(height_box)
    press_keys Tab ctrl+c
    expect_copied "static unsigned char heart[] = {0x66,0xFF,0xFF,0x7E,0x3C,0x18,0x00,0x00};"
    compile_and_check heart 8 "${heart[@]}"

    press_keys Escape
    expect_exit 0
}

# A header named on the command line with one of its arrays: the array is
# drawn at once, Ctrl+S writes only its values back, and the file still
# compiles. Esc then closes without a question.
scenario_source() {
    local header="$e2e_tmp/icons.h"
    printf '%s\n' '/* icons */' '#define a_width 8' '#define a_height 2' \
        'static const unsigned char a_bits[] = {' '  0x00, 0x00 };' \
        'const unsigned char b[] = { 1, 2, 3 };' 'int x = 3;' >"$header"
    sed 's/0x00, 0x00/0x01, 0x80/' "$header" >"$e2e_tmp/expected.h"
    e2e_args=("$header:a_bits")
    start_glimmet "$glimmet"
    sprite_look 8 "........" "........" | expect_look "the array, opened"
    click_cell 0 0
    click_cell 7 1
    move_to 300 120
    sprite_look 8 "#......." ".......#" | expect_look "the drawing"
    press_keys ctrl+s
    local deadline=$((SECONDS + 10))
    until cmp -s "$header" "$e2e_tmp/expected.h"; do
        [ "$SECONDS" -lt "$deadline" ] || {
            diff "$e2e_tmp/expected.h" "$header" >&2 || true
            fail "Ctrl+S did not write the array back"
        }
        sleep 0.1
    done
    printf '#include "icons.h"\nint main(void) { return a_bits[0] == 1 ? 0 : 1; }\n' \
        >"$e2e_tmp/main.c"
    "${GLIMMET_CC:-cc}" -o "$e2e_tmp/main" "$e2e_tmp/main.c" -I"$e2e_tmp" ||
        fail "the saved header does not compile"
    "$e2e_tmp/main" || fail "the saved header holds the wrong values"
    press_keys Escape
    expect_exit 0
}

require_tools "${GLIMMET_CC:-cc}" cmp
start_display
case $scenario in
width8 | width16 | width32 | keyboard | paste | restart | source) "scenario_$scenario" ;;
*) fail "unknown scenario '$scenario'" ;;
esac
echo "PASS: $scenario"
