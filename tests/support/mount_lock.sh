# The machine's one mount lock for shell tests, to be sourced:
#
#   . "$(dirname "$0")/support/mount_lock.sh"   # from tests/; from tests/wine/: ../support/
#   mount_lock            # before the first mount; waits while another process holds it,
#                         # unless this test runs inside a command run whole under flock /mnt
#
# It is an exclusive flock(2) on /mnt, the lock that scratch::MountLock
# (tests/platform/scratch_volumes.h) and mount_lock.py take too. Every test that mounts a volume a
# drive letter can be given to (a loop device anywhere; tmpfs, FUSE and the rest under /mnt,
# /media or /run/media; a network file system, fuse.sshfs included, anywhere) holds it from
# before its first mount until its volumes are gone and the program it drives has ended, so
# that the letters it looks up stay as they are. It is held on file descriptor 9 until this shell
# and every child that inherited descriptor 9 have ended: a process meant to outlive the test
# (a persistent wineserver) must be started with `9<&-`, or before mount_lock. Give the test the
# ctest property RESOURCE_LOCK mounts too (tests/CMakeLists.txt says why).

mount_lock() {
    exec 9</mnt || return 1
    flock -n 9 && return 0
    # A descriptor inherited from a command run whole under `flock /mnt COMMAND` holds it already:
    # waiting would wait for this test itself.
    local fd
    for fd in /proc/$$/fd/*; do
        fd=${fd##*/}
        [ "$fd" != 9 ] && [ "/proc/$$/fd/$fd" -ef /mnt ] && flock -n "$fd" && return 0
    done
    flock 9
}
