#!/usr/bin/env bash
# A Wayland compositor for the window tests: weston with its headless backend and the pixman
# renderer, on a socket and runtime folder of its own.
#
#   weston.sh start DIR          starts it, waits until it takes clients, keeps its state in DIR
#   weston.sh stop DIR           stops it
#   weston.sh exec DIR CMD...    runs CMD as its client, with Qt's Wayland plugin
#
# Where weston or Qt's Wayland plugin is missing, start says why and succeeds, and exec then
# prints the reason and exits with 77, which the test registration reads as "skipped".
set -euo pipefail

skipped=77
socket=volscope-test

fail() {
    echo "weston.sh: $*" >&2
    exit 1
}

start() {
    local dir=$1
    mkdir -p "$dir"
    rm -rf "$dir/runtime" "$dir/unavailable" "$dir/pid"
    if ! command -v weston >/dev/null; then
        echo "no weston here (scripts/install-deps.sh installs it)" | tee "$dir/unavailable"
        return 0
    fi
    if ! compgen -G "/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so" >/dev/null; then
        echo "no Qt Wayland plugin here (qt6-wayland; scripts/install-deps.sh installs it)" |
            tee "$dir/unavailable"
        return 0
    fi
    mkdir -m 700 "$dir/runtime"
    XDG_RUNTIME_DIR="$dir/runtime" setsid weston --backend=headless-backend.so --use-pixman \
        --socket="$socket" --width=1024 --height=768 --idle-time=0 \
        </dev/null >"$dir/weston.log" 2>&1 &
    echo "$!" >"$dir/pid"
    for _ in $(seq 100); do
        [ -S "$dir/runtime/$socket" ] && grep -q "launching.*desktop-shell" "$dir/weston.log" &&
            { echo "weston on $dir/runtime/$socket"; return 0; }
        sleep 0.1
    done
    fail "weston did not start: $(cat "$dir/weston.log")"
}

stop() {
    local dir=$1
    [ -f "$dir/pid" ] || return 0
    local pid
    pid=$(cat "$dir/pid")
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    rm -f "$dir/pid"
}

exec_on() {
    local dir=$1
    shift
    if [ -f "$dir/unavailable" ]; then
        echo "skipped: no Wayland compositor: $(cat "$dir/unavailable")"
        exit "$skipped"
    fi
    [ -f "$dir/pid" ] && kill -0 "$(cat "$dir/pid")" 2>/dev/null ||
        fail "no weston runs for $dir"
    XDG_RUNTIME_DIR="$dir/runtime" WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland exec "$@"
}

case "${1:-}" in
    start) start "$2" ;;
    stop) stop "$2" ;;
    exec) exec_on "$2" "${@:3}" ;;
    *)
        echo "usage: $0 start DIR | stop DIR | exec DIR CMD..." >&2
        exit 2
        ;;
esac
