#!/usr/bin/env bash
# Real-window test of what assistive technology is told: Glimmet runs under X
# with its accessibility bridge on, beside a private session bus and the
# accessibility bus that at-spi-bus-launcher starts on it (the registry comes
# up on demand), and atspi_probe.py reads the window over that bus as a
# screen reader does: every control with its role and name, the drawing area
# as a table of named cells, and a cell's name following what the mouse and
# the keyboard draw. It runs on a private X server, since the launcher marks
# the server's root window with its bus.
#
# Usage: accessibility_e2e.sh <glimmet binary>
# Exits 77 (skipped) when the accessibility bus cannot start at all.

set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

[ $# -eq 1 ] || {
    echo "usage: $0 <glimmet binary>" >&2
    exit 2
}
glimmet=$1
export E2E_NAME="e2e_accessibility"
unset DISPLAY
# shellcheck source-path=SCRIPTDIR source=driver.sh
source "$here/driver.sh"

skip() {
    cat "$e2e_tmp"/*.log >&2 2>/dev/null || true
    echo "SKIP: $*" >&2
    exit 77
}

# Starts a session bus of its own, in a private runtime directory, and the
# accessibility bus on it, and waits until that bus answers. The program and
# the probe find it through the session bus, whatever else runs on the
# machine. (Qt 6.4 given AT_SPI_BUS_ADDRESS instead never shows up on it.)
start_atspi() {
    local launcher
    for launcher in /usr/libexec/at-spi-bus-launcher \
        /usr/lib/at-spi2-core/at-spi-bus-launcher ""; do
        [ -x "$launcher" ] && break
    done
    [ -n "$launcher" ] || fail "no at-spi-bus-launcher (scripts/setup.sh installs at-spi2-core)"

    export XDG_RUNTIME_DIR="$e2e_tmp/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    local address_file="$e2e_tmp/session-address" deadline
    : >"$address_file"
    dbus-daemon --session --nofork --print-address=3 3>"$address_file" \
        >"$e2e_tmp/session-bus.log" 2>&1 &
    local bus_pid=$!
    e2e_helper_pids+=("$bus_pid")
    # The address is complete once its line has ended.
    deadline=$((SECONDS + 10))
    until [ "$(wc -l <"$address_file")" -ge 1 ]; do
        kill -0 "$bus_pid" 2>/dev/null || skip "the session bus did not start"
        [ "$SECONDS" -lt "$deadline" ] || skip "the session bus gave no address within 10 s"
        sleep 0.1
    done
    DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$address_file")
    export DBUS_SESSION_BUS_ADDRESS

    "$launcher" --launch-immediately >"$e2e_tmp/launcher.log" 2>&1 &
    # Stopped before the bus it lives on.
    e2e_helper_pids=("$!" "${e2e_helper_pids[@]}")
    local reply
    deadline=$((SECONDS + 10))
    while :; do
        reply=$(timeout 5 dbus-send --session --print-reply=literal --dest=org.a11y.Bus \
            /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null || true)
        reply=$(echo "$reply" | tr -d ' ')
        [[ $reply == unix:* ]] && break
        [ "$SECONDS" -lt "$deadline" ] || skip "the accessibility bus did not start within 10 s"
        sleep 0.1
    done
    note "accessibility bus at $reply"
}

# The Debian python3 that has the AT-SPI bindings, which another python3
# first in PATH may lack.
find_probe_python() {
    local candidate
    for candidate in /usr/bin/python3 python3; do
        if timeout 20 "$candidate" -c 'import pyatspi' >/dev/null 2>&1; then
            probe_python=$candidate
            return
        fi
    done
    fail "no python3 with pyatspi (scripts/setup.sh installs python3-pyatspi)"
}

# probe CHECK ARG...: one check of atspi_probe.py on the running program.
probe() {
    note "AT-SPI $*"
    timeout 30 "$probe_python" "$here/atspi_probe.py" "$e2e_app_pid" "$@" ||
        fail "what the accessibility bus shows does not hold: $*"
}

require_tools dbus-daemon dbus-send
start_display
start_atspi
find_probe_python
start_glimmet "$glimmet" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1

probe controls \
    "radio button=Width: 8 Pixels" "radio button=Width: 16 Pixels" \
    "radio button=Width: 32 Pixels" "text=Height" "text=Sprite name" "text=Generated code" \
    "push button=New" "push button=Make Code" "table=Drawing area" "image=Preview" \
    "label=Left click to draw, and right click to erase"
# Before the first layout the drawing area has no cells.
probe grid "Drawing area" 0 0

# shellcheck disable=SC2046
click_at $(button_new)
probe grid "Drawing area" 8 8
probe cell "Drawing area" 1 1 "row 1, column 1, clear"

# A click draws the cell and hands the grid the focus, at that cell.
click_cell 0 0
probe cell "Drawing area" 1 1 "row 1, column 1, set"
probe focused "row 1, column 1, set"

# The keyboard moves the focus from cell to cell and draws the cell it is on.
press_keys Right space
probe cell "Drawing area" 1 2 "row 1, column 2, set"
probe focused "row 1, column 2, set"

press_keys Escape
expect_exit 0
echo "PASS: accessibility"
