#!/usr/bin/env bash
# The Windows backend and volscope.exe on a drive whose share stops answering: a FUSE file system
# of type fuse.sshfs served by the tests' blocking_share program (built here with the host's
# compiler), mapped as a drive letter (a dosdevices symlink) in a Wine prefix of its own, and
# silent while its control file exists, which the Windows tests make and remove themselves.
#
# Under Wine a silent FUSE mount stops far more than the drive it is mapped as: volume queries
# of every drive, even C:, and the start of every Wine program look at all mount points of the
# machine. So the share is mounted in a mount namespace of this test's own, where only this
# test's Wine server and programs see it, and other Wine programs on the machine go on as before.
#
# Run by ctest under tests/wine/run_wine_tests.sh, which makes the prefix (VOLSCOPE_DEAD_DRIVE_
# PREFIX). Arguments: the build folder, the dead_drive_test and volscope_e2e_test programs and
# volscope.exe. Exits 77 (skipped), saying why, without root, FUSE, libfuse3 or unshare.
set -u
build=$1
platform_test=$2
e2e_test=$3
volscope=$4
here=$(dirname "$(realpath "$0")")

skip() {
    echo "SKIPPED: $*"
    exit 77
}

[ "$(id -u)" -eq 0 ] || skip "mounting needs root"
[ -n "${VOLSCOPE_DEAD_DRIVE_PREFIX:-}" ] || skip "run me through tests/wine/run_wine_tests.sh"
[ -w /dev/fuse ] || skip "no FUSE (/dev/fuse)"
for tool in unshare mountpoint pkg-config c++; do
    command -v "$tool" >/dev/null || skip "$tool is missing"
done
pkg-config --exists fuse3 || skip "libfuse3 is missing"

if [ -z "${VOLSCOPE_DEAD_DRIVE_NAMESPACE:-}" ]; then
    server_program="$build/wine/blocking_share"
    source="$here/../platform/blocking_share.cpp"
    if [ ! "$server_program" -nt "$source" ]; then
        # shellcheck disable=SC2046 # pkg-config's flags are separate words
        c++ -std=c++20 -O1 -o "$server_program" "$source" $(pkg-config --cflags --libs fuse3) ||
            { echo "FAILED: cannot build the blocking share"; exit 1; }
    fi
    VOLSCOPE_DEAD_DRIVE_NAMESPACE=1 exec unshare --mount --propagation private "$0" "$@"
fi
server_program="$build/wine/blocking_share"

# The mount lock (tests/support/mount_lock.sh), held for as long as the share is mounted,
# although no program outside this namespace sees the share.
. "$here/../support/mount_lock.sh"
mount_lock || { echo "FAILED: cannot take the mount lock"; exit 1; }

export WINEPREFIX=$VOLSCOPE_DEAD_DRIVE_PREFIX
scratch=$(mktemp -d /mnt/volscope-test-XXXXXX)
target=$scratch/share
control=$scratch/share.blocked
mkdir "$target"
letter="" server=""
cleanup() {
    rm -f "$control"
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    [ -n "$letter" ] && rm -f "$WINEPREFIX/dosdevices/${letter,,}:"
    umount "$target" 2>/dev/null || umount -l "$target" 2>/dev/null
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rmdir "$target" "$scratch"
}
trap cleanup EXIT
trap "exit 1" TERM INT

"$server_program" "$control" "$target" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do mountpoint -q "$target" && break; sleep 0.05; done
mountpoint -q "$target" || { echo "FAILED: the share did not come up"; exit 1; }
for candidate in G H I J K L; do
    [ -e "$WINEPREFIX/dosdevices/${candidate,,}:" ] || { letter=$candidate; break; }
done
[ -n "$letter" ] || skip "no drive letter is left for the share"
ln -s "$target" "$WINEPREFIX/dosdevices/${letter,,}:"

# Wine's server and services, started without ctest's descriptors, which they would hold open,
# and without the mount lock, which they would keep if they outlived this script.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wineserver -p </dev/null >/dev/null 2>&1 9<&-
wine cmd /c exit </dev/null >/dev/null 2>&1 9<&-

export VOLSCOPE_DEAD_DRIVE=$letter VOLSCOPE_DEAD_DRIVE_CONTROL="Z:${control//\//\\}"
status=0
wine "$platform_test" || status=1
VOLSCOPE_EXE=$volscope wine "$e2e_test" --gtest_filter='VolscopeOnADeadDrive.*' || status=1
exit $status
