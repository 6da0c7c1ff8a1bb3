# shellcheck shell=bash
# A private X server for scripts and tests, sourced by the scripts that need
# one (scripts/test.sh, bench/startup.sh, tests/e2e/driver.sh):
#
#   source scripts/xvfb.sh
#   xvfb_start [XVFB ARGUMENTS...] || exit 1   # exports DISPLAY
#   ...
#   xvfb_stop                                  # also safe when none runs
#
# The server takes a free display number itself (-displayfd), so parallel
# runs never collide, and never resets (-noreset): a reset, which happens
# whenever the last client leaves, takes long and loses the settings of the
# screen. xvfb_start returns once the server answers xdpyinfo, or fails with
# the server's log after XVFB_TIMEOUT seconds (default 10). The caller's exit
# handler calls xvfb_stop; should the caller be killed outright instead (a
# test timing out), a watchdog ends the server within a second, so no server
# outlives the shell that started it.

xvfb_pid=""
xvfb_watchdog_pid=""
xvfb_dir=""
xvfb_display=""

xvfb_start() {
    local tool
    for tool in Xvfb xdpyinfo timeout; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "xvfb.sh: $tool is missing (scripts/setup.sh installs it)" >&2
            return 1
        fi
    done
    xvfb_stop
    xvfb_dir=$(mktemp -d "${TMPDIR:-/tmp}/glimmet-xvfb.XXXXXX")
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -noreset -nolisten tcp "$@" \
        3>"$xvfb_dir/displayfd" </dev/null >"$xvfb_dir/log" 2>&1 &
    xvfb_pid=$!
    # Its own descriptors go nowhere, so that nobody who reads the caller's
    # output waits for the watchdog to end.
    local owner=$BASHPID
    (
        while kill -0 "$owner" 2>/dev/null && kill -0 "$xvfb_pid" 2>/dev/null; do sleep 0.5; done
        kill "$xvfb_pid" 2>/dev/null
    ) </dev/null >/dev/null 2>&1 &
    xvfb_watchdog_pid=$!

    local deadline=$((SECONDS + ${XVFB_TIMEOUT:-10})) number
    while [ "$SECONDS" -lt "$deadline" ]; do
        number=$(head -n 1 "$xvfb_dir/displayfd" 2>/dev/null || true)
        if [[ "$number" =~ ^[0-9]+$ ]] && timeout 5 xdpyinfo -display ":$number" >/dev/null 2>&1; then
            xvfb_display=":$number"
            export DISPLAY=$xvfb_display
            return 0
        fi
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    echo "xvfb.sh: the private Xvfb did not start within ${XVFB_TIMEOUT:-10} s; its log:" >&2
    cat "$xvfb_dir/log" >&2 || true
    xvfb_stop
    return 1
}

xvfb_stop() {
    if [ -n "$xvfb_watchdog_pid" ]; then
        kill "$xvfb_watchdog_pid" 2>/dev/null || true
        wait "$xvfb_watchdog_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    if [ -n "$xvfb_dir" ]; then rm -rf "$xvfb_dir"; fi
    if [ -n "$xvfb_display" ] && [ "${DISPLAY:-}" = "$xvfb_display" ]; then unset DISPLAY; fi
    xvfb_display=""
    xvfb_pid=""
    xvfb_watchdog_pid=""
    xvfb_dir=""
}
