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
it looks up stay as they are. Entering waits while another process holds it, unless a
descriptor this process inherited holds it (a command run whole under `flock /mnt COMMAND`);
enter it once per process, as a second, nested one would wait for the first. The programs the test starts do not
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
        try:
            fcntl.flock(descriptor, fcntl.LOCK_EX | fcntl.LOCK_NB)
        except BlockingIOError:
            if not _inherited_hold(descriptor):
                fcntl.flock(descriptor, fcntl.LOCK_EX)
        yield
    finally:
        os.close(descriptor)


def _inherited_hold(own):
    """Whether a descriptor on /mnt that this process inherited holds the lock.

    A command run whole under `flock /mnt COMMAND` is inside the lock, and would wait for itself.
    flock(2) on the descriptor that holds the lock succeeds at once.
    """
    mnt = os.fstat(own)
    for name in os.listdir("/proc/self/fd"):
        try:
            status = os.fstat(int(name))
            if int(name) != own and (status.st_dev, status.st_ino) == (mnt.st_dev, mnt.st_ino):
                fcntl.flock(int(name), fcntl.LOCK_EX | fcntl.LOCK_NB)
                return True
        except OSError:
            pass
    return False
