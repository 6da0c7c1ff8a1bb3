#!/usr/bin/env bash
# Sets everything up and runs every test: the whole suite in a debug build
# (real-window tests under a private X server), the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzzer for a short
# run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

# The real-window tests need an X server; start a private one unless a
# display is already given.
xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
    display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY="$display"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
fi

jobs=$(nproc)

# Runs ctest, keeping count of the cases it ran for the closing line.
passed=0
failed=0
run_ctest() {
    local log
    log=$(mktemp)
    local status=0
    ctest "$@" 2>&1 | tee "$log" || status=$?
    local summary
    summary=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    rm -f "$log"
    if [[ $summary =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
        failed=$((failed + BASH_REMATCH[1]))
        passed=$((passed + BASH_REMATCH[2] - BASH_REMATCH[1]))
    fi
    if [ "$status" -ne 0 ]; then
        echo "tests: $passed passed, $failed failed"
        exit "$status"
    fi
}

echo "== Debug build and tests"
cmake --preset default >/dev/null
cmake --build --preset default -j "$jobs"
run_ctest --preset default -j "$jobs"

echo "== The same tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
# The toolkit keeps caches until exit that the leak checker would list.
export ASAN_OPTIONS=detect_leaks=0
run_ctest --preset asan -j "$jobs"

if [ -x scripts/fuzz.sh ]; then
    echo "== Fuzzers"
    scripts/fuzz.sh 30
fi

echo "tests: $passed passed, $failed failed"
