#!/usr/bin/env bash
# The time a build spends in `glimmet convert`: 100 PNG icons of 16 x 16
# made into one header, and how much of that is the start of the process.
#
#   bench/convert.sh [RUNS] [BUILD_DIR]
#
# RUNS (default 11, at least 5) timed runs of each command, after one untimed
# warm-up run. BUILD_DIR (default build/bench) is configured with the release
# preset and glimmet is built there if needed. No display is used: DISPLAY
# and WAYLAND_DISPLAY are unset, as on a build machine.
#
# Measured, as medians of wall-clock time from launch to exit:
# - the conversion: glimmet convert --header -o icons.h with the 100 icons;
# - the start: glimmet --version, which starts the process, answers and
#   ends, reading no file; its share of the conversion is printed;
# - one icon: glimmet convert with one of them, for the cost per icon.
#
# Goal: the conversion under 1 s. The medians and the verdict are printed;
# the exit code is 0 unless the measurement itself failed.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-11}
build=${2:-build/bench}
if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 5 ]; then
    echo "convert.sh: RUNS must be a whole number of at least 5" >&2
    exit 2
fi
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset release -B "$build" >/dev/null
fi
if ! log=$(cmake --build "$build" -j 2 --target glimmet 2>&1); then
    echo "$log" >&2
    echo "convert.sh: glimmet did not build in $build" >&2
    exit 1
fi
glimmet="$(cd "$build/shell" && pwd)/glimmet"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/icons"

# 100 different icons, each drawn by glimmet itself from sixteen rows of
# pseudo-random bits.
seed=12345
for n in $(seq -w 1 100); do
    rows=()
    for _ in $(seq 16); do
        seed=$(((seed * 1103515245 + 12345) % 2147483648))
        rows+=("$(printf '0x%04X' $((seed >> 8 & 0xFFFF)))")
    done
    printf 'static unsigned short int icon%s[] = {%s};\n' "$n" "$(IFS=,; echo "${rows[*]}")" \
        >"$work/icon$n.h"
    "$glimmet" export "$work/icon$n.h" -o "$work/icons/icon$n.png" 2>/dev/null
done
icons=("$work"/icons/*.png)
[ "${#icons[@]}" -eq 100 ] || { echo "convert.sh: the icons were not made" >&2; exit 1; }

# The median, in milliseconds, of RUNS timed runs of the command.
median_ms() {
    "$@" >/dev/null
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p" |
        awk '{ printf "%.1f", $1 / 1000 }'
}

all=$(median_ms "$glimmet" convert --header -o "$work/icons.h" "${icons[@]}")
start=$(median_ms "$glimmet" --version)
one=$(median_ms "$glimmet" convert "${icons[0]}")
grep -c '^static unsigned short int icon' "$work/icons.h" | grep -qx 100 ||
    { echo "convert.sh: the header does not hold 100 declarations" >&2; exit 1; }

echo "glimmet convert, $runs runs each, medians of wall-clock time (no display):"
printf '  100 icons of 16 x 16 into one header: %8s ms (goal under 1000 ms: %s)\n' "$all" \
    "$(awk -v t="$all" 'BEGIN { print (t < 1000 ? "met" : "missed") }')"
printf '  process start and end (--version):    %8s ms, %s %% of the conversion\n' "$start" \
    "$(awk -v s="$start" -v t="$all" 'BEGIN { printf "%.0f", 100 * s / t }')"
printf '  one icon:                             %8s ms\n' "$one"
printf '  per icon beyond the start:            %8s ms\n' \
    "$(awk -v s="$start" -v t="$all" 'BEGIN { printf "%.2f", (t - s) / 100 }')"
