#!/usr/bin/env bash
# Sets everything up and runs every check: the formatting of the sources, the
# whole suite in a debug build that treats every warning as an error
# (real-window tests under a private X server), the whole suite again under
# AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer, and each
# fuzzer for a short run. The last line counts the test cases that ran.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

passed=0
failed=0
finish() {
    echo "tests: $passed passed, $failed failed"
    exit "$1"
}

echo "== Formatting (clang-format 14, the repository's .clang-format)"
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if ! clang-format-14 --dry-run --Werror "${sources[@]}"; then
    echo "test.sh: the files above are not formatted; run clang-format-14 -i on them" >&2
    failed=$((failed + 1))
    finish 1
fi

# The real-window tests need an X server; start a private one unless a
# display is already given.
# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
trap xvfb_stop EXIT
if [ -z "${DISPLAY:-}" ]; then
    xvfb_start || finish 1
fi

jobs=$(nproc)

# Runs ctest, keeping count of the cases it ran for the closing line.
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
        finish "$status"
    fi
}

echo "== Debug build (warnings are errors) and tests"
cmake --preset default -DGLIMMET_WERROR=ON >/dev/null
cmake --build --preset default -j "$jobs" || finish 1
run_ctest --preset default -j "$jobs"

echo "== The same tests under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan -DGLIMMET_WERROR=ON >/dev/null
cmake --build --preset asan -j "$jobs" || finish 1
# Every leak fails its test, except the blocks that toolkit and system
# libraries keep until exit, which the suppressions name by library; the full
# unwinder follows stacks through those libraries, which have no frame
# pointers, so that the rules find the frames they name.
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
run_ctest --preset asan -j "$jobs"

if [ -x scripts/fuzz.sh ]; then
    echo "== Fuzzers"
    scripts/fuzz.sh 30 || {
        failed=$((failed + 1))
        finish 1
    }
fi

finish 0
