#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// Real volumes for the Linux backend's tests: a scratch folder under /mnt, image files, loop
// devices and mounts in it, each undone by its destructor even when a test fails. Everything is
// created inside the scratch folder; nothing outside it is touched. Failures to set up throw
// std::runtime_error with the system's message.
namespace scratch {

// Why real volumes cannot be made here (not root, no loop devices, mount(2) refused), or an
// empty string when they can. Needs no mount lock: it mounts nothing that gets a letter.
std::string unavailableReason();

// Whether an executable of that name is on PATH or in /sbin, /usr/sbin.
bool hasTool(const std::string& name);

// Runs a program (no shell; found as by hasTool) and returns its output, standard error included;
// throws, with that output, when it fails.
std::string run(const std::vector<std::string>& command);

// The machine's one mount lock: an exclusive flock(2) on /mnt, which every test that mounts a
// volume a drive letter can be given to (a loop device anywhere; tmpfs, FUSE and the rest under
// /mnt, /media or /run/media; a network file system, fuse.sshfs included, anywhere) holds from
// before its first mount until its volumes are gone and the program it drives has ended. So the
// letters a test sees come and go with its own mounts only, whichever build tree or language
// (tests/support/mount_lock.sh and mount_lock.py take the same lock) the other tests are of. The
// constructor waits while another process holds it, unless a descriptor this process inherited
// holds it (a command run whole under `flock /mnt COMMAND`). Locks taken while this process
// holds one already (on the same thread) share that hold; the last to go releases it. Children
// started with exec do not inherit it. RealVolumeTest (real_volume_test.h) holds it for its
// tests; other tests take it like this, and are registered with MOUNTING (tests/CMakeLists.txt):
//   scratch::MountLock lock;    // first, so that it goes last
//   scratch::Folder folder;     // then the folders, devices and mounts
class MountLock {
  public:
    MountLock();
    MountLock(const MountLock&) = delete;
    MountLock& operator=(const MountLock&) = delete;
    ~MountLock();
};

// A new folder /mnt/volscope-test-XXXXXX. Removes the files and folders made through it, then
// itself; the mounts and loop devices in it must be gone by then (declare this first).
class Folder {
  public:
    Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder();

    const std::string& path() const { return path_; }
    // Creates the folder path()/name and returns its path.
    std::string makeFolder(const std::string& name);
    // Creates the sparse file path()/name of size bytes and returns its path.
    std::string makeImage(const std::string& name, std::uint64_t size);

  private:
    std::string path_;
    std::vector<std::string> made_;  // in order of creation
};

// A loop device over an image file, with the given logical sector size, detached on destruction.
class LoopDevice {
  public:
    LoopDevice(const std::string& image, std::uint32_t sectorSize, bool readOnly = false);
    LoopDevice(const LoopDevice&) = delete;
    LoopDevice& operator=(const LoopDevice&) = delete;
    ~LoopDevice();

    const std::string& path() const { return path_; }

  private:
    int fd_ = -1;
    std::string path_;
};

// Thrown by Mount when the kernel does not know the file system type.
class UnsupportedFileSystem : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A mount made with mount(2), unmounted on destruction unless unmount() was called.
class Mount {
  public:
    // flags and data as for mount(2): MS_RDONLY, MS_BIND, "size=4m". Throws
    // UnsupportedFileSystem where the kernel lacks the type, std::runtime_error on other errors.
    Mount(const std::string& source, const std::string& target, const std::string& type,
          unsigned long flags = 0, const std::string& data = "");
    Mount(const Mount&) = delete;
    Mount& operator=(const Mount&) = delete;
    ~Mount();

    const std::string& target() const { return target_; }
    void unmount();

  private:
    std::string target_;
    bool mounted_ = true;
};

// A FUSE file system mounted by a program that returns once it is mounted, as bindfs does
// ({"bindfs", source, target}), unmounted on destruction. Throws std::runtime_error when the
// program fails.
class FuseMount {
  public:
    FuseMount(const std::vector<std::string>& command, const std::string& target);
    FuseMount(const FuseMount&) = delete;
    FuseMount& operator=(const FuseMount&) = delete;
    ~FuseMount();

  private:
    std::string target_;
};

// A FUSE file system of type fuse.sshfs, served by the tests' blocking_share program, that stops
// answering between block() and unblock(), as a share whose server went away. It holds a folder
// "Sub" and the files same.txt and notes.txt. On destruction it answers again, so that no call
// stays stuck on it, is unmounted, and its program ends.
class BlockingShare {
  public:
    // Mounts the share at target (an empty folder) with the program at `program`. Throws
    // std::runtime_error when it does not come up within five seconds.
    BlockingShare(const std::string& program, const std::string& target);
    BlockingShare(const BlockingShare&) = delete;
    BlockingShare& operator=(const BlockingShare&) = delete;
    ~BlockingShare();

    const std::string& target() const { return target_; }
    void block();
    void unblock();

  private:
    std::string target_;
    std::string control_;  // exists while the share does not answer
    int server_ = -1;      // the program's process
};

// Why no BlockingShare can be mounted here with the program at `program` (empty: it was not
// built), or an empty string when one can. Includes unavailableReason().
std::string blockingShareUnavailableReason(const std::string& program);

}  // namespace scratch
