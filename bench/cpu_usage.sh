#!/usr/bin/env bash
# Measures how much CPU the program burns while it sits showing the watch, as it does
# for hours on a streamer's machine. Usage: cpu_usage.sh [path/to/Horavis] [seconds]
set -euo pipefail

repo_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program_source=${1:-$repo_root/build/Horavis}
duration_seconds=${2:-30}
readonly settle_seconds=5
readonly start_timeout_seconds=20

work_dir=$(mktemp -d)
xvfb_pid=""
program_pid=""

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

start_program() {
    [[ -x $program_source ]] || fail "no program at $program_source"
    cp -p "$program_source" "$work_dir/"
    local program
    program="$work_dir/$(basename "$program_source")"
    (cd "$work_dir" && exec env -u QT_QPA_PLATFORM DISPLAY="$display" "$program" >"$work_dir/program.log" 2>&1) &
    program_pid=$!
}

wait_for_main_window() {
    for _ in $(seq $((start_timeout_seconds * 2))); do
        require_program_running
        DISPLAY=$display xdotool search --onlyvisible --name '^Form1$' >/dev/null 2>&1 && return 0
        sleep 0.5
    done
    fail "no visible Form1 window after ${start_timeout_seconds} s"
}

start_xvfb
start_program
wait_for_main_window
sleep "$settle_seconds"
require_program_running

clock_ticks_per_second=$(getconf CLK_TCK)
ticks_before=$(cpu_ticks "$program_pid")
uptime_before=$(uptime_seconds)
sleep "$duration_seconds"
require_program_running
ticks_after=$(cpu_ticks "$program_pid")
uptime_after=$(uptime_seconds)

awk -v ticks=$((ticks_after - ticks_before)) -v hz="$clock_ticks_per_second" \
    -v start="$uptime_before" -v end="$uptime_after" -v nominal="$duration_seconds" \
    'BEGIN { printf "cpu: %.1f%% of one core over %s s\n", 100 * ticks / hz / (end - start), nominal }'
