#!/usr/bin/env bash
# Start-up time and memory of Glimmet against two floor programs: the least a
# Qt program must do to show a dialog of the editor's size with one text, and
# the dialog floor, the cheapest plain Qt program that shows the editor's
# window itself (the same controls at the same places, frames and static
# texts painted by the dialog in one paint call).
#
#   bench/startup.sh [RUNS] [BUILD_DIR]
#
# RUNS (default 11, at least 9) launches of each program, taking turns at
# going first, after one untimed warm-up launch of each. BUILD_DIR (default
# build/bench) is configured with the release preset and the programs are
# built there if needed.
#
# Time to window: from the launch until the top-level window is mapped (seen
# as the X server's MapNotify on the root window, so no polling delay) and
# then painted (a pixel of its face no longer shows the black root behind
# it, read back with xwd). Peak memory: the program's maximum resident set,
# from /usr/bin/time, taken after it has idled a moment past its first paint
# so that work deferred until then is counted. Each program is then ended by
# its process id.
#
# Instructions to first paint: each program runs once more under valgrind's
# callgrind with bench's preload library (glimmet_first_paint_exit), which
# ends it right after its first paint has reached the X server; the count
# runs from exec to that point, the dynamic linker and the toolkit's start
# included. Unlike the times, the counts hardly move on a busy machine. The
# shared objects that account for the difference, and Glimmet's own
# functions by inclusive cost, are listed after the medians.
#
# Click to screen: Glimmet and the dialog floor run once more each under
# callgrind with the same preload in its click mode (GLIMMET_CLICK_READY): the
# preload reports the window once its first paint is on the server, xdotool
# presses the left button over the grid's first cell, and the preload ends
# the program, with status 98, once the images that press caused are on the
# server. Callgrind zeroes its counts when the X platform starts handling the
# press (QXcbWindow::handleButtonPressEvent), so the count is the work from
# the press reaching the program to its image reaching the X server; the
# preload also counts the images sent. With GLIMMET_CLICK_ONLY set, only
# this is measured. Under QT_SCALE_FACTOR both programs run at that device
# pixel ratio and the pointer goes to the same client positions.
#
# Goals: Glimmet at most 1.10 x the floor's time and at most 4 MiB above its
# memory. The medians and the verdicts are printed; the exit code is 0 unless
# the measurement itself failed.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-11}
build=${2:-build/bench}
click_only=${GLIMMET_CLICK_ONLY:-}
settle=0.5 # seconds a program idles after its first paint before it ends
click_settle=3 # seconds a program under callgrind has to take the focus before the click

if ! [[ "$runs" =~ ^[0-9]+$ ]] || [ "$runs" -lt 9 ]; then
    echo "startup.sh: RUNS must be a whole number of at least 9" >&2
    exit 2
fi
for tool in Xvfb xdpyinfo xev xwd xdotool stdbuf od pgrep valgrind callgrind_annotate; do
    if ! command -v "$tool" >/dev/null; then
        echo "startup.sh: $tool is missing (scripts/setup.sh installs the tools)" >&2
        exit 2
    fi
done
if [ ! -x /usr/bin/time ]; then
    echo "startup.sh: /usr/bin/time is missing (apt-get install time)" >&2
    exit 2
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset release -B "$build" >/dev/null
fi
cmake --build "$build" -j 2 --target glimmet glimmet_floor glimmet_floor_dialog \
    glimmet_first_paint_exit >/dev/null
glimmet="$build/shell/glimmet"
floor="$build/bench/glimmet_floor"
dialog="$build/bench/glimmet_floor_dialog"
declare -A program_of=([glimmet]=$glimmet [floor]=$floor [dialog]=$dialog)
preload="$(cd "$build/bench" && pwd)/libglimmet_first_paint_exit.so"
if [ ! -f "$preload" ]; then
    echo "startup.sh: the preload library $preload was not built" >&2
    exit 1
fi

# shellcheck source=scripts/xvfb.sh
source scripts/xvfb.sh
work=$(mktemp -d)
xev_pid=""
cleanup() {
    if [ -n "$xev_pid" ]; then kill "$xev_pid" 2>/dev/null || true; fi
    xvfb_stop
    rm -rf "$work"
}
trap cleanup EXIT

# A private X server unless a display is given. The black root (-br) is what
# an unpainted window shows.
if [ -z "${DISPLAY:-}" ]; then
    xvfb_start -br || exit 1
fi
timeout 5 xdpyinfo >/dev/null 2>&1 || {
    echo "startup.sh: no X server at $DISPLAY" >&2
    exit 1
}

# Both programs run on the X server with the same environment.
unset QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# The undo history a run keeps stays here, out of the user's home.
export XDG_STATE_HOME="$work/state"

# Top-level windows' notifications, one line at a time, as they happen.
coproc XEV { exec stdbuf -oL xev -root -event substructure; }
# shellcheck disable=SC2153 # XEV_PID is set by coproc
xev_pid=$XEV_PID
xev_in=${XEV[0]}
sleep 0.3

# Where the 32-bit pixel at (x, y) of an xwd dump starts: the header is 25
# big-endian 32-bit fields, then the window name, then a colour map of 12-byte
# entries, then the rows.
xwd_offset() {
    local file=$1 x=$2 y=$3
    local -a h
    read -r -a h < <(od -An -v -tu1 -N100 "$file" | tr -s ' \n' '  ')
    field() { echo $(((h[$1 * 4] << 24) | (h[$1 * 4 + 1] << 16) | (h[$1 * 4 + 2] << 8) | h[$1 * 4 + 3])); }
    echo $(($(field 0) + 12 * $(field 19) + y * $(field 12) + x * $(field 11) / 8))
}

# The pixel the paint check reads, and where it lies in a dump of each
# program's window (the same for every launch of a program: its window's
# name and size do not change).
probe_x=4
probe_y=4
declare -A probe_offset

# Launches one program; prints "<ms to painted window> <peak KiB> <ms to mapped
# window> <tenths of a ms of CPU time its threads had used when the paint was
# seen>".
measure() {
    local program=$1
    # Whatever earlier windows reported is old news.
    while read -r -t 0.05 -u "$xev_in" _; do :; done

    local start=$EPOCHREALTIME
    /usr/bin/time -f %M -o "$work/rss" "$program" >/dev/null 2>&1 &
    local time_pid=$!

    local line window="" mapped=""
    while read -r -t 20 -u "$xev_in" line; do
        if [[ "$line" == MapNotify* ]]; then
            read -r -t 5 -u "$xev_in" line
            mapped=$EPOCHREALTIME
            window=$(sed -n 's/.* window \(0x[0-9a-f]*\),.*/\1/p' <<<"$line")
            break
        fi
    done
    if [ -z "$window" ]; then
        echo "startup.sh: $program showed no window" >&2
        kill "$(pgrep -P "$time_pid")" 2>/dev/null || true
        return 1
    fi

    # The program itself, the child of /usr/bin/time.
    local pid=""
    for _ in $(seq 1000); do
        read -r pid _ <"/proc/$time_pid/task/$time_pid/children" 2>/dev/null || true
        [ -n "$pid" ] && break
    done
    [ -n "$pid" ] || pid=$(pgrep -P "$time_pid")

    # Each check is one dump and one read, so the paint is seen soon after
    # it lands; the dump is cut short once the pixel has been read.
    local painted="" offset=${probe_offset[$program]:-}
    if [ -n "$offset" ]; then
        for _ in $(seq 2000); do
            if [[ "$(xwd -silent -id "$window" 2>/dev/null |
                od -An -v -tx1 -j "$offset" -N4)" =~ [1-9a-f] ]]; then
                painted=$EPOCHREALTIME
                break
            fi
        done
    fi
    local cpu_ns=0 stat run
    for stat in /proc/"$pid"/task/*/schedstat; do
        read -r run _ <"$stat" 2>/dev/null && cpu_ns=$((cpu_ns + run))
    done
    if [ -z "$painted" ]; then
        # The warm-up launch: wait for the paint the slow way, then remember
        # where the pixel lies.
        for _ in $(seq 2000); do
            xwd -silent -id "$window" >"$work/shot.xwd" 2>/dev/null || continue
            offset=$(xwd_offset "$work/shot.xwd" "$probe_x" "$probe_y")
            if [[ "$(od -An -v -tx1 -j "$offset" -N4 "$work/shot.xwd")" =~ [1-9a-f] ]]; then
                painted=$EPOCHREALTIME
                echo "$offset" >"$work/offset"
                break
            fi
        done
    fi
    if [ -z "$painted" ]; then
        echo "startup.sh: $program never painted its window" >&2
        kill "$(pgrep -P "$time_pid")" 2>/dev/null || true
        return 1
    fi

    sleep "$settle"
    kill "$pid"
    wait "$time_pid" 2>/dev/null || true
    local ms map_ms
    ms=$(awk -v a="$start" -v b="$painted" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
    map_ms=$(awk -v a="$start" -v b="$mapped" 'BEGIN { printf "%.1f", (b - a) * 1000 }')
    echo "$ms $(tail -n 1 "$work/rss") $map_ms $((cpu_ns / 100000))"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}; load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Display $DISPLAY; $runs runs of each program, taking turns, after one warm-up run each"

# One untimed launch each, which also finds where the paint check looks.
[ -n "$click_only" ] || for program in "$glimmet" "$floor" "$dialog"; do
    rm -f "$work/offset"
    measure "$program" >/dev/null
    probe_offset[$program]=$(cat "$work/offset")
done

: >"$work/glimmet"
: >"$work/floor"
: >"$work/dialog"
[ -n "$click_only" ] || for i in $(seq "$runs"); do
    case $((i % 3)) in
    1) order=(glimmet floor dialog) ;;
    2) order=(floor dialog glimmet) ;;
    *) order=(dialog glimmet floor) ;;
    esac
    for name in "${order[@]}"; do
        program=${program_of[$name]}
        result=$(measure "$program")
        echo "$result" >>"$work/$name"
        read -r ms kib map_ms cpu <<<"$result"
        printf '  run %2d %-8s painted %7s ms (mapped %7s ms, CPU %5s ms) %7s KiB\n' \
            "$i" "$name" "$ms" "$map_ms" "$((cpu / 10)).$((cpu % 10))" "$kib"
    done
done

# Runs one program under callgrind with the preload that ends it after its
# first paint, with status 97; prints the instructions it executed. The
# profile is written without name or position compression, so that
# object_costs can read it.
count_instructions() {
    local name=$1 program=$2 status=0
    LD_PRELOAD="$preload" timeout 900 valgrind --tool=callgrind \
        --callgrind-out-file="$work/$name.callgrind" \
        --compress-strings=no --compress-pos=no \
        "$program" >"$work/$name.valgrind.log" 2>&1 || status=$?
    if [ "$status" -ne 97 ]; then
        echo "startup.sh: $program under callgrind exited with $status, not after its first paint (97)" >&2
        tail -n 20 "$work/$name.valgrind.log" >&2
        return 1
    fi
    awk '/^(summary|totals):/ { print $2; exit }' "$work/$name.callgrind"
}

# Exclusive instructions per shared object in a profile, one "object count"
# line each. A cost line counts toward the object of the function it stands
# under, except the line after calls=, which is a call's inclusive cost.
object_costs() {
    awk '
        /^ob=/ { object = substr($0, 4); n = split(object, part, "/"); object = part[n]; next }
        /^calls=/ { call = 1; next }
        /^[0-9]/ { if (!call) cost[object] += $2; call = 0; next }
        END { for (o in cost) print o, cost[o] }
    ' "$1"
}

# The device pixel at client pixel (x, y): each scaled by the ratio, rounded.
device_at() {
    awk -v r="${QT_SCALE_FACTOR:-1}" -v x="$1" -v y="$2" 'BEGIN { printf "%d %d", x * r + 0.5, y * r + 0.5 }'
}

# Runs one program under callgrind with the preload in its click mode,
# presses the left button over the grid's first cell once the window is on
# the server, and prints "<instructions from the press to its image on the
# server> <images sent>".
count_click() {
    local name=$1 program=$2 status=0 window="" images=""
    local ready="$work/$name.click"
    rm -f "$ready"
    GLIMMET_CLICK_READY="$ready" LD_PRELOAD="$preload" timeout 900 valgrind --tool=callgrind \
        --callgrind-out-file="$work/$name.click.callgrind" \
        --zero-before='QXcbWindow::handleButtonPressEvent*' \
        "$program" >"$work/$name.click.log" 2>&1 &
    local pid=$!
    for _ in $(seq 9000); do
        window=$(sed -n 's/^window //p' "$ready" 2>/dev/null) || true
        [ -n "$window" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -n "$window" ]; then
        # The window gets the focus first and a click on New at (400, 215),
        # which lays out Glimmet's empty grid (the floor's button does
        # nothing); then the pointer moves over the grid and the program has
        # some seconds to repaint for all that, which is not the click's
        # work. Cell (0, 0) spans client pixels 20 to 29 both ways.
        # shellcheck disable=SC2046 # each position is two words
        xdotool windowfocus --sync "$window" mousemove --window "$window" $(device_at 400 215) \
            click 1 mousemove --window "$window" $(device_at 25 25)
        sleep "$click_settle"
        xdotool mousedown 1
    fi
    wait "$pid" || status=$?
    xdotool mouseup 1
    if [ "$status" -ne 98 ]; then
        echo "startup.sh: $program under callgrind exited with $status, not after a click (98)" >&2
        tail -n 20 "$work/$name.click.log" >&2
        return 1
    fi
    images=$(sed -n 's/^images //p' "$ready")
    echo "$(awk '/^(summary|totals):/ { print $2; exit }' "$work/$name.click.callgrind") $images"
}

echo
echo "Counting instructions from a click to the screen under callgrind (ratio ${QT_SCALE_FACTOR:-1})"
g_line=$(count_click glimmet "$glimmet")
d_line=$(count_click dialog "$dialog")
read -r g_click g_images <<<"$g_line"
read -r d_click d_images <<<"$d_line"
print_clicks() {
    awk -v gc="$g_click" -v gi="$g_images" -v dc="$d_click" -v di="$d_images" 'BEGIN {
        printf "\nClick to screen (one callgrind run each; from the press reaching the program to its image on the X server):\n\n"
        printf "| | instructions per click | images sent |\n"
        printf "|---|---|---|\n"
        printf "| Glimmet | %.3f M | %d |\n", gc / 1e6, gi
        printf "| dialog floor | %.3f M | %d |\n", dc / 1e6, di
        printf "| Glimmet vs dialog floor | %.3f x (%+.3f M) | goal 1: %s |\n", gc / dc, (gc - dc) / 1e6, gi <= 1 ? "met" : "MISSED"
    }'
}
if [ -n "$click_only" ]; then
    print_clicks
    cp "$work/glimmet.click.callgrind" "$work/dialog.click.callgrind" "$build/bench/"
    echo
    echo "Click profiles: $build/bench/glimmet.click.callgrind and dialog.click.callgrind"
    exit 0
fi
echo "Counting instructions to the first paint under callgrind (a minute or two)"
g_ir=$(count_instructions glimmet "$glimmet")
f_ir=$(count_instructions floor "$floor")
d_ir=$(count_instructions dialog "$dialog")

g_ms=$(cut -d' ' -f1 "$work/glimmet" | median)
f_ms=$(cut -d' ' -f1 "$work/floor" | median)
g_kib=$(cut -d' ' -f2 "$work/glimmet" | median)
f_kib=$(cut -d' ' -f2 "$work/floor" | median)
g_map=$(cut -d' ' -f3 "$work/glimmet" | median)
f_map=$(cut -d' ' -f3 "$work/floor" | median)
g_cpu=$(cut -d' ' -f4 "$work/glimmet" | median)
f_cpu=$(cut -d' ' -f4 "$work/floor" | median)
d_ms=$(cut -d' ' -f1 "$work/dialog" | median)
d_kib=$(cut -d' ' -f2 "$work/dialog" | median)
d_map=$(cut -d' ' -f3 "$work/dialog" | median)
d_cpu=$(cut -d' ' -f4 "$work/dialog" | median)

awk -v gms="$g_ms" -v fms="$f_ms" -v gk="$g_kib" -v fk="$f_kib" -v gmap="$g_map" \
    -v fmap="$f_map" -v gcpu="$g_cpu" -v fcpu="$f_cpu" -v gir="$g_ir" -v fir="$f_ir" \
    -v dms="$d_ms" -v dk="$d_kib" -v dmap="$d_map" -v dcpu="$d_cpu" -v dir="$d_ir" 'BEGIN {
    ratio = gms / fms
    diff = (gk - fk) / 1024
    printf "\nMedians (instructions: one callgrind run each):\n\n"
    printf "| | time to window | instructions to first paint | peak memory | (time to map) | (CPU time to window) |\n"
    printf "|---|---|---|---|---|---|\n"
    printf "| Glimmet | %.1f ms | %.1f M | %.1f MiB | %.1f ms | %.1f ms |\n", gms, gir / 1e6, gk / 1024, gmap, gcpu / 10
    printf "| floor | %.1f ms | %.1f M | %.1f MiB | %.1f ms | %.1f ms |\n", fms, fir / 1e6, fk / 1024, fmap, fcpu / 10
    printf "| Glimmet vs floor | %.3f x (goal <= 1.10: %s) | %.3f x (%+.1f M) | %+.2f MiB (goal <= +4: %s) | %.3f x | %.3f x |\n",
        ratio, ratio <= 1.10 ? "met" : "MISSED", gir / fir, (gir - fir) / 1e6,
        diff, diff <= 4 ? "met" : "MISSED", gmap / fmap, gcpu / fcpu
    printf "| dialog floor | %.1f ms | %.1f M | %.1f MiB | %.1f ms | %.1f ms |\n", dms, dir / 1e6, dk / 1024, dmap, dcpu / 10
    printf "| Glimmet vs dialog floor | %.3f x | %.3f x (%+.1f M; goal <= 1.01: %s) | %+.2f MiB | %.3f x | %.3f x |\n",
        gms / dms, gir / dir, (gir - dir) / 1e6, gir / dir <= 1.01 ? "met" : "MISSED",
        (gk - dk) / 1024, gmap / dmap, gcpu / dcpu
}'
print_clicks

# The profiles stay for a closer look with callgrind_annotate.
cp "$work/glimmet.callgrind" "$work/floor.callgrind" "$work/dialog.callgrind" \
    "$work/glimmet.click.callgrind" "$work/dialog.click.callgrind" "$build/bench/"

echo
echo "Profiles: $build/bench/glimmet.callgrind, floor.callgrind and dialog.callgrind"
echo "Click profiles: $build/bench/glimmet.click.callgrind and dialog.click.callgrind"
echo
echo "Where Glimmet's extra instructions go, by shared object (exclusive, M):"
echo
object_costs "$work/glimmet.callgrind" | sort >"$work/glimmet.objects"
object_costs "$work/floor.callgrind" | sort >"$work/floor.objects"
object_costs "$work/dialog.callgrind" | sort >"$work/dialog.objects"
for other in floor dialog; do
    [ "$other" = floor ] || echo
    join -a1 -a2 -e0 -o 0,1.2,2.2 "$work/glimmet.objects" "$work/$other.objects" |
        awk '{ printf "%+10.2f %10.2f %10.2f  %s\n", ($2 - $3) / 1e6, $2 / 1e6, $3 / 1e6, $1 }' |
        sort -gr | awk -v other="$other" 'BEGIN { printf "%10s %10s %10s  %s\n", "extra", "Glimmet", other, "object" } NR <= 10'
done

echo
echo "Glimmet's own functions by inclusive cost (M instructions, share of its total):"
echo
glimmet_object=$(basename "$glimmet")
callgrind_annotate --inclusive=yes --threshold=100 "$work/glimmet.callgrind" 2>/dev/null |
    awk -v object="[$(cd "$(dirname "$glimmet")" && pwd)/$glimmet_object]" -v total="$g_ir" '
        index($0, object) {
            ir = $1; gsub(",", "", ir)
            name = $0; sub(/^ *[0-9,]+ *(\([^)]*\))? */, "", name); sub(/ \[[^]]*\]$/, "", name)
            if (++shown <= 15) printf "%8.2f %5.1f%%  %s\n", ir / 1e6, 100 * ir / total, name
        }'
