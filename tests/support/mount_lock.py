"""The machine's one mount lock for Python tests.

    sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
    from mount_lock import mount_lock

    with mount_lock(), test_volume() as mount_point:   # the lock first, so that it goes last
        ...

It is an exclusive flock(2) on /mnt, the lock that scratch::MountLock
(tests/platform/scratch_volumes.h) and mount_lock.sh take too. Every test that mounts a volume a
drive letter can be given to (a loop device anywhere; tmpfs, FUSE and the rest under /mnt, /media
or /run/media; a network file system, fuse.sshfs included, anywhere) holds it from before its
first mount until its volumes are gone and the program it drives has ended, so that the letters
it looks up stay as they are. Entering waits while another process holds it; enter it once per
process, as a second, nested one would wait for the first. The programs the test starts do not
inherit it. Give the test the ctest property RESOURCE_LOCK mounts too (tests/CMakeLists.txt says
why).
"""

import contextlib
import fcntl
import os


@contextlib.contextmanager
def mount_lock():
    descriptor = os.open("/mnt", os.O_RDONLY | os.O_DIRECTORY | os.O_CLOEXEC)
    try:
        fcntl.flock(descriptor, fcntl.LOCK_EX)
        yield
    finally:
        os.close(descriptor)
