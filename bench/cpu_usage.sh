#!/usr/bin/env bash
# Measures what the program costs while it shows the watch on air, as it does for hours on a
# streamer's machine: distinct frames a second in the dial's centre as the screen shows them, CPU
# and peak resident memory. A first start (writes the default skin), then a second start (loads
# it) with a countdown running and, after a jump of the local clock, with the countdown ended.
# Usage: cpu_usage.sh [path/to/Horavis] [seconds]; FRAME_RATE=30 sets Horavis.ini's cap for the second start.
set -euo pipefail

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program_source=${1:-$repo_root/build/Horavis}
duration_seconds=${2:-30}
readonly settle_seconds=5
readonly start_timeout_seconds=20
readonly fps_seconds=5
# The client area the measuring points below are given in.
readonly client_width=872
# "Start countdown" and the dial's centre with the movement's window below it.
readonly start_button_x=700 start_button_y=25
readonly centre_x=448 centre_y=376 centre_side=96

screen_frames=${SCREEN_FRAMES:-$(dirname "$program_source")/bench/screen_frames}
work_dir=$(mktemp -d)
xvfb_pid=""
program_pid=""
window_id=""

fail() {
    echo "cpu_usage: $*" >&2
    exit 1
}

stop_process() {
    local pid=$1
    [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

cleanup() {
    stop_process "$program_pid"
    # Xvfb removes its lock file and socket only when it ends on a signal it can handle.
    stop_process "$xvfb_pid"
    wait 2>/dev/null || true
    rm -rf "$work_dir"
}
trap cleanup EXIT

# A dead child stays a zombie until reaped, and kill -0 still succeeds on it.
is_running() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    local after_name=${stat##*) }
    [[ ${after_name:0:1} != Z ]]
}

require_program_running() {
    is_running "$program_pid" ||
        fail "the program died; its output:"$'\n'"$(cat "$work_dir/program.log")"
}

# utime + stime of all the program's threads, in clock ticks.
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat")
    local -a fields
    read -ra fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

uptime_seconds() {
    cut -d' ' -f1 /proc/uptime
}

peak_resident_mb() {
    awk '/^VmHWM:/ { printf "%.0f", $2 / 1024 }' "/proc/$program_pid/status"
}

start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work_dir/display" 2>"$work_dir/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq $((start_timeout_seconds * 10))); do
        if grep -q . "$work_dir/display" 2>/dev/null && [[ $(tail -c1 "$work_dir/display") == "" ]]; then
            display=":$(head -n1 "$work_dir/display")"
            return 0
        fi
        is_running "$xvfb_pid" || break
        sleep 0.1
    done
    fail "Xvfb did not start; its log:"$'\n'"$(cat "$work_dir/xvfb.log")"
}

# The local clock can be moved on while the program runs, through libfaketime's file; the
# monotonic clock that paces timers and frames stays real.
faketime_library=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -n1 || true)
faketime_file=$work_dir/faketime
shift_local_clock() {
    echo "+$1" >"$faketime_file"
    sleep 2 # the library reads its file again once a second
}

start_program() {
    [[ -x $program_source ]] || fail "no program at $program_source"
    cp -p "$program_source" "$work_dir/"
    local program
    program="$work_dir/$(basename "$program_source")"
    local -a preload=()
    if [[ -n $faketime_library ]]; then
        echo "+0" >"$faketime_file"
        preload=(LD_PRELOAD="$faketime_library" FAKETIME_TIMESTAMP_FILE="$faketime_file"
            FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1)
    fi
    (cd "$work_dir" && exec env -u QT_QPA_PLATFORM DISPLAY="$display" "${preload[@]}" "$program" \
        >"$work_dir/program.log" 2>&1) &
    program_pid=$!
}

# The main window is titled after the program once a skin is loaded, "Form1" before.
wait_for_main_window() {
    for _ in $(seq $((start_timeout_seconds * 2))); do
        require_program_running
        window_id=$(DISPLAY=$display xdotool search --all --onlyvisible --pid "$program_pid" \
            --name '^(Horavis|Form1$)' 2>/dev/null | head -n1 || true)
        [[ -n $window_id ]] && return 0
        sleep 0.5
    done
    fail "no visible main window after ${start_timeout_seconds} s"
}

# Window position and the factor from the measuring points to screen pixels.
window_geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(DISPLAY=$display xdotool getwindowgeometry --shell "$window_id")"
    window_x=$X window_y=$Y
    scale=$(awk -v w="$WIDTH" -v c="$client_width" 'BEGIN { printf "%.4f", w / c }')
}

scaled() {
    awk -v v="$1" -v k="$scale" 'BEGIN { printf "%d", v * k }'
}

click_start_countdown() {
    DISPLAY=$display xdotool mousemove --window "$window_id" "$(scaled $start_button_x)" \
        "$(scaled $start_button_y)" click 1
    DISPLAY=$display xdotool mousemove 0 0 # a pointer left over the button keeps it lit
}

frames_per_second() {
    if [[ ! -x $screen_frames ]]; then
        echo "?"
        return
    fi
    DISPLAY=$display "$screen_frames" $((window_x + $(scaled $centre_x))) $((window_y + $(scaled $centre_y))) \
        "$(scaled $centre_side)" "$(scaled $centre_side)" "$fps_seconds" | awk '{ print $2 }'
}

cpu_percent() {
    local clock_ticks_per_second ticks_before uptime_before ticks_after uptime_after
    clock_ticks_per_second=$(getconf CLK_TCK)
    ticks_before=$(cpu_ticks "$program_pid")
    uptime_before=$(uptime_seconds)
    sleep "$duration_seconds"
    require_program_running
    ticks_after=$(cpu_ticks "$program_pid")
    uptime_after=$(uptime_seconds)
    awk -v ticks=$((ticks_after - ticks_before)) -v hz="$clock_ticks_per_second" \
        -v start="$uptime_before" -v end="$uptime_after" \
        'BEGIN { printf "%.1f", 100 * ticks / hz / (end - start) }'
}

# One line for what runs now: frames in the dial's centre, CPU, and the peak so far.
measure() {
    local fps cpu
    # SHOTS=folder keeps a screenshot of what was measured.
    [[ -n ${SHOTS:-} ]] && DISPLAY=$display import -window root "$SHOTS/${1// /_}.png"
    fps=$(frames_per_second)
    cpu=$(cpu_percent)
    printf '%-22s %5s frames/s in the dial'"'"'s centre   cpu %4s%% of one core over %s s   peak resident %s MB\n' \
        "$1:" "$fps" "$cpu" "$duration_seconds" "$(peak_resident_mb)"
}

start_xvfb

start_program
wait_for_main_window
sleep "$settle_seconds"
require_program_running
printf '%-22s peak resident %s MB\n' "first start:" "$(peak_resident_mb)"
stop_process "$program_pid"
if [[ -n ${FRAME_RATE:-} ]]; then
    grep -q '^FrameRate=' "$work_dir/Horavis.ini" || fail "the first start wrote no FrameRate"
    sed -i "s/^FrameRate=.*/FrameRate=$FRAME_RATE\r/" "$work_dir/Horavis.ini"
fi

start_program
wait_for_main_window
sleep "$settle_seconds"
require_program_running
window_geometry
printf '%-22s peak resident %s MB\n' "second start:" "$(peak_resident_mb)"
click_start_countdown
sleep 2
measure "countdown running"
if [[ -n $faketime_library ]]; then
    shift_local_clock 660 # past the 10-minute preset the program starts with
    measure "countdown ended"
else
    echo "countdown ended:       not measured (needs libfaketime)"
fi

