#!/usr/bin/env bash
# A real X server for the window tests: Xvfb with the openbox window manager on it.
#
#   x_server.sh start DIR          starts both, waits until the window manager runs, and keeps
#                                  the display and the process ids in DIR
#   x_server.sh stop DIR           stops them
#   x_server.sh exec DIR CMD...    runs CMD on that display with Qt's X11 plugin (xcb)
#   x_server.sh run CMD...         the three at once: a server of its own for one command
#
# Where Xvfb or openbox is missing, start says why and succeeds, and exec then prints the reason
# and exits with 77, which the test registration reads as "skipped".
set -euo pipefail

skipped=77

fail() {
    echo "x_server.sh: $*" >&2
    exit 1
}

# Waits up to 10 seconds for a command to succeed.
wait_for() {
    for _ in $(seq 100); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

window_manager_runs() {
    DISPLAY="$1" xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"
}

start() {
    local dir=$1
    mkdir -p "$dir"
    rm -f "$dir/display" "$dir/unavailable" "$dir/pids" "$dir/display-number"
    for program in Xvfb openbox xprop; do
        if ! command -v "$program" >/dev/null; then
            echo "no $program here (scripts/install-deps.sh test installs it)" | tee "$dir/unavailable"
            return 0
        fi
    done
    # -displayfd: Xvfb picks a free display itself and writes its number once it accepts
    # clients, so two test runs on one machine never race for a number.
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
        3>"$dir/display-number" </dev/null >"$dir/xvfb.log" 2>&1 &
    local xvfb=$!
    echo "$xvfb" >"$dir/pids"
    wait_for test -s "$dir/display-number" || fail "Xvfb did not start: $(cat "$dir/xvfb.log")"
    local display=":$(cat "$dir/display-number")"
    DISPLAY=$display setsid openbox </dev/null >"$dir/openbox.log" 2>&1 &
    echo "$!" >>"$dir/pids"
    wait_for window_manager_runs "$display" ||
        fail "openbox did not start: $(cat "$dir/openbox.log")"
    echo "$display" >"$dir/display"
    echo "Xvfb and openbox on display $display"
}

# Whether a process runs; one that has ended but that nobody has reaped yet does not.
runs() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

stop() {
    local dir=$1
    [ -f "$dir/pids" ] || return 0
    # The window manager first, then the server it runs on.
    tac "$dir/pids" | while read -r pid; do
        kill "$pid" 2>/dev/null || true
        for _ in $(seq 50); do runs "$pid" || break; sleep 0.05; done
    done
    rm -f "$dir/pids" "$dir/display"
}

exec_on() {
    local dir=$1
    shift
    if [ -f "$dir/unavailable" ]; then
        echo "skipped: no real X server: $(cat "$dir/unavailable")"
        exit "$skipped"
    fi
    [ -f "$dir/display" ] || fail "no X server was started in $dir"
    while read -r pid; do
        runs "$pid" || fail "the X server or its window manager has ended"
    done <"$dir/pids"
    DISPLAY=$(cat "$dir/display") QT_QPA_PLATFORM=xcb exec "$@"
}

case "${1:-}" in
    start) start "$2" ;;
    stop) stop "$2" ;;
    exec) exec_on "$2" "${@:3}" ;;
    run)
        dir=$(mktemp -d)
        trap 'stop "$dir"; rm -rf "$dir"' EXIT
        start "$dir" >/dev/null
        status=0
        (exec_on "$dir" "${@:2}") || status=$?
        exit "$status"
        ;;
    *)
        echo "usage: $0 start DIR | stop DIR | exec DIR CMD... | run CMD..." >&2
        exit 2
        ;;
esac
