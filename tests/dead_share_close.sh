#!/usr/bin/env bash
# The real program on a real X server, driven by real keys and clicks: with a share whose server
# went away (blocking_share, a FUSE file system of type fuse.sshfs), typing the share's letter
# shows it as a drive without an answer within the bounded wait, and "Close" then ends the program
# at once, although a call on the share is still stuck in the kernel. The thread of that call
# (which the kernel keeps, unkillable, until the server answers) is all that stays, and it goes
# as soon as the share answers again.
#
# Arguments: the volscope program, the blocking_share program ("" when it was not built), the
# drive_letter_of program. Exits 77 (skipped), saying why, without root, FUSE, Xvfb or xdotool.
set -u
volscope=$1
server_program=$2
letter_of=$3

skip() {
    echo "SKIPPED: $*"
    exit 77
}
fail() {
    echo "FAILED: $*"
    exit 1
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }

[ "$(id -u)" -eq 0 ] || skip "mounting needs root"
[ -n "$server_program" ] || skip "the blocking share was not built (libfuse3 is missing)"
[ -w /dev/fuse ] || skip "no FUSE (/dev/fuse)"
for tool in Xvfb xdotool mountpoint; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done

# Held until the share and the program are gone, so that the letter read here stays the share's.
. "$(dirname "$0")/support/mount_lock.sh"
mount_lock

scratch=$(mktemp -d /mnt/volscope-test-XXXXXX)
target=$scratch/share
control=$scratch/share.blocked
mkdir "$target"
server="" display_server="" window_manager="" program=""
cleanup() {
    rm -f "$control"
    [ -n "$program" ] && kill -9 "$program" 2>/dev/null
    umount "$target" 2>/dev/null || umount -l "$target" 2>/dev/null
    for pid in "$server" "$window_manager" "$display_server" "$program"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
        [ -n "$pid" ] && wait "$pid" 2>/dev/null
    done
    rmdir "$target" "$scratch"
}
trap cleanup EXIT

"$server_program" "$control" "$target" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do mountpoint -q "$target" && break; sleep 0.05; done
mountpoint -q "$target" || fail "the share did not come up"
letter=$("$letter_of" "$target") || skip "no drive letter is left for the share"

for number in $(seq 90 140); do [ -e "/tmp/.X$number-lock" ] || break; done
Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
display_server=$!
export DISPLAY=":$number"
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.05; done
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    window_manager=$!
    # A window mapped while the window manager is still starting may never be shown.
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
fi

# In a sanitizer build the leak check at exit would stop every thread first (ptrace), and the
# thread stuck in the kernel cannot be stopped: the check, not the program, would then hang.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" QT_QPA_PLATFORM=xcb "$volscope" \
    >/dev/null 2>&1 &
program=$!
window=""
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name '^Volscope$' 2>/dev/null | head -n 1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || fail "the main window did not come up"
[ "$("$letter_of" "$target")" = "$letter" ] ||
    fail "the share's letter moved as the program started: a volume came or went without the lock"
sleep 0.5

# The server goes away; the user types the share's letter.
touch "$control"
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
xdotool key "${letter,,}"
stuck=0
for _ in $(seq 100); do
    grep -qs request_wait_answer /proc/"$program"/task/*/stack && stuck=1 && break
    sleep 0.05
done
[ "$stuck" -eq 1 ] || fail "no call reached the share after typing $letter"
sleep 3  # the slide, and the two seconds the call is waited for
[ -n "$(xdotool search --onlyvisible --name '^Volscope$' 2>/dev/null)" ] ||
    fail "the window went away by itself"

# "Close", clicked at the middle of the button (left 3480, top 4800, 1215 x 375 twips).
start=$(now_ms)
xdotool mousemove --window "$window" --sync 272 332 click 1
gone=0
while [ $(($(now_ms) - start)) -lt 5000 ]; do
    state=$(awk '/^State:/ { print $2 }' /proc/"$program"/status 2>/dev/null)
    if [ -z "$(xdotool search --onlyvisible --name '^Volscope$' 2>/dev/null)" ] &&
        { [ -z "$state" ] || [ "$state" = Z ]; }; then
        gone=1
        break
    fi
    sleep 0.02
done
[ "$gone" -eq 1 ] || fail "the program did not end within 5 s of Close, while the share still blocks (state ${state:-gone})"
echo "Close ended the program after $(($(now_ms) - start)) ms with a call stuck on $letter:"
for task in /proc/"$program"/task/*; do
    [ "$(basename "$task")" = "$program" ] && continue
    grep -qs request_wait_answer "$task/stack" ||
        fail "thread $(basename "$task") ($(cat "$task/comm" 2>/dev/null)) outlived Close"
done

# The server answers again: the stuck call returns and the last of the process goes.
rm -f "$control"
wait "$program"
status=$?
program=""
echo "the stuck thread ended with the share's answer; exit status $status"
[ "$status" -eq 0 ] || fail "volscope ended with status $status"
exit 0
