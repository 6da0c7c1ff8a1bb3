#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer on, no Qt needed) in build/fuzz and runs each for
# SECONDS (default 30), starting from its seed corpus in fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh [SECONDS]
#
# Exits non-zero if a target crashes, breaks an invariant, leaks, exceeds its
# time or memory limit, or a sanitizer reports anything. A failing input is
# kept as build/fuzz/artifacts/<target>/crash-* (or leak-*, timeout-*, ...);
# rerun it with build/fuzz/fuzz/<target> <file>.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "fuzz.sh: SECONDS must be a whole number of at least 1" >&2
    exit 2
fi
if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is missing (scripts/setup.sh installs it)" >&2
    exit 2
fi

targets=(fuzz_emitter fuzz_height_read fuzz_array_reader fuzz_source_file fuzz_history_text)
build=build/fuzz

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j 2 --target "${targets[@]}"

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

status=0
for target in "${targets[@]}"; do
    # New inputs go to a scratch corpus; the committed seeds stay as they are.
    corpus="$build/corpus/$target"
    artifacts="$build/artifacts/$target"
    mkdir -p "$corpus" "$artifacts"
    echo "== $target for ${seconds}s"
    if ! "$build/fuzz/$target" \
        -max_total_time="$seconds" \
        -timeout=10 \
        -rss_limit_mb=2048 \
        -max_len=4096 \
        -print_final_stats=1 \
        -artifact_prefix="$artifacts/" \
        "$corpus" "fuzz/corpus/$target" 2>"$build/$target.log"; then
        status=1
        echo "fuzz.sh: $target FAILED; its report:" >&2
        grep -v '^#[0-9]' "$build/$target.log" | tail -n 60 >&2
        ls "$artifacts" >&2
    else
        grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$build/$target.log" || true
    fi
done
exit "$status"
