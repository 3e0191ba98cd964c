#include "tests/platform/scratch_volumes.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/loop.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace scratch {

namespace {

std::runtime_error systemError(const std::string& what) {
    return std::runtime_error(what + ": " + std::strerror(errno));
}

std::string probeMounting() {
    if (geteuid() != 0)
        return "mounting needs root (running as uid " + std::to_string(geteuid()) + ")";
    const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0)
        return std::string("no loop devices: /dev/loop-control: ") + std::strerror(errno);
    close(control);
    char place[] = "/mnt/volscope-test-XXXXXX";
    if (mkdtemp(place) == nullptr)
        return std::string("cannot create a folder under /mnt: ") + std::strerror(errno);
    rmdir(place);
    // A RAM disk under /tmp gets no letter, so that trying one moves no letter of a test that
    // holds the mount lock.
    char folder[] = "/tmp/volscope-probe-XXXXXX";
    if (mkdtemp(folder) == nullptr)
        return std::string("cannot create a folder under /tmp: ") + std::strerror(errno);
    std::string reason;
    if (mount("volscope-probe", folder, "tmpfs", 0, "size=64k") != 0)
        reason = std::string("mount(2) is not permitted: ") + std::strerror(errno);
    else
        umount2(folder, 0);
    rmdir(folder);
    return reason;
}

// The descriptor on which this process holds the mount lock (-1 when a descriptor it inherited
// holds it), and how many MountLocks share it.
int mountLockFd = -1;
int mountLockHolds = 0;

// Whether a descriptor on /mnt (as `own` is) that this process inherited holds the mount lock: a
// command run whole under `flock /mnt COMMAND` is inside the lock, and would wait for itself.
// flock(2) on the descriptor that holds the lock succeeds at once.
bool inheritedHold(int own) {
    struct stat mnt {};
    DIR* fds = fstat(own, &mnt) == 0 ? opendir("/proc/self/fd") : nullptr;
    if (fds == nullptr) return false;
    bool held = false;
    while (const dirent* entry = readdir(fds)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
        const int fd = std::atoi(entry->d_name);
        struct stat status {};
        if (fd != own && fd != dirfd(fds) && fstat(fd, &status) == 0 &&
            status.st_dev == mnt.st_dev && status.st_ino == mnt.st_ino &&
            flock(fd, LOCK_EX | LOCK_NB) == 0) {
            held = true;
            break;
        }
    }
    closedir(fds);
    return held;
}

std::string findTool(const std::string& name) {
    std::string directories = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    directories += ":/sbin:/usr/sbin";
    std::istringstream list(directories);
    for (std::string directory; std::getline(list, directory, ':');) {
        const std::string path = directory + "/" + name;
        if (!directory.empty() && access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
}

}  // namespace

std::string unavailableReason() {
    static const std::string reason = probeMounting();
    return reason;
}

bool hasTool(const std::string& name) {
    return !findTool(name).empty();
}

std::string run(const std::vector<std::string>& command) {
    std::string line;
    for (const std::string& argument : command) line += argument + " ";
    const std::string program = findTool(command.at(0));
    if (program.empty()) throw std::runtime_error(line + "failed: " + command[0] + " not found");
    std::vector<char*> argv;
    for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int output[2];
    if (pipe2(output, O_CLOEXEC) != 0) throw systemError("pipe");
    const pid_t child = fork();
    if (child < 0) throw systemError("fork");
    if (child == 0) {
        dup2(output[1], STDOUT_FILENO);
        dup2(output[1], STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(output[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    close(output[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(line + "failed (status " + std::to_string(status) + "): " + text);
    return text;
}

// flock(2) locks of two descriptors of one process exclude each other too: a second lock taken
// on a new descriptor would wait for this process itself.
MountLock::MountLock() {
    if (mountLockHolds > 0) {
        ++mountLockHolds;
        return;
    }
    const int fd = open("/mnt", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) throw systemError("open /mnt");
    const bool taken = flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (!taken && inheritedHold(fd)) {
        close(fd);
        mountLockHolds = 1;
        return;
    }
    while (!taken && flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const std::runtime_error error = systemError("flock /mnt");
            close(fd);
            throw error;
        }
    }
    mountLockFd = fd;
    mountLockHolds = 1;
}

MountLock::~MountLock() {
    if (--mountLockHolds > 0) return;
    if (mountLockFd >= 0) close(mountLockFd);
    mountLockFd = -1;
}

Folder::Folder() {
    char folder[] = "/mnt/volscope-test-XXXXXX";
    if (mkdtemp(folder) == nullptr) throw systemError("mkdtemp under /mnt");
    path_ = folder;
}

Folder::~Folder() {
    for (auto made = made_.rbegin(); made != made_.rend(); ++made) {
        struct stat status {};
        const bool folder = lstat(made->c_str(), &status) == 0 && S_ISDIR(status.st_mode);
        if ((folder ? rmdir(made->c_str()) : unlink(made->c_str())) != 0)
            std::fprintf(stderr, "scratch: cannot remove %s: %s\n", made->c_str(),
                         std::strerror(errno));
    }
    if (rmdir(path_.c_str()) != 0)
        std::fprintf(stderr, "scratch: cannot remove %s: %s\n", path_.c_str(),
                     std::strerror(errno));
}

std::string Folder::makeFolder(const std::string& name) {
    const std::string path = path_ + "/" + name;
    if (mkdir(path.c_str(), 0755) != 0) throw systemError("mkdir " + path);
    made_.push_back(path);
    return path;
}

std::string Folder::makeImage(const std::string& name, std::uint64_t size) {
    const std::string path = path_ + "/" + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) throw systemError("create " + path);
    made_.push_back(path);
    const int result = ftruncate(fd, static_cast<off_t>(size));
    close(fd);
    if (result != 0) throw systemError("truncate " + path);
    return path;
}

LoopDevice::LoopDevice(const std::string& image, std::uint32_t sectorSize, bool readOnly) {
    const int imageFd = open(image.c_str(), (readOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC);
    if (imageFd < 0) throw systemError("open " + image);
    const int control = open("/dev/loop-control", O_RDWR | O_CLOEXEC);
    if (control < 0) {
        close(imageFd);
        throw systemError("open /dev/loop-control");
    }
    // Another process may take the free device between asking for it and configuring it.
    for (int attempt = 0; attempt < 20 && fd_ < 0; ++attempt) {
        const int number = ioctl(control, LOOP_CTL_GET_FREE);
        if (number < 0) break;
        const std::string path = "/dev/loop" + std::to_string(number);
        const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) continue;
        loop_config config{};
        config.fd = static_cast<__u32>(imageFd);
        config.block_size = sectorSize;
        config.info.lo_flags = LO_FLAGS_AUTOCLEAR | (readOnly ? LO_FLAGS_READ_ONLY : 0);
        if (ioctl(fd, LOOP_CONFIGURE, &config) == 0) {
            fd_ = fd;
            path_ = path;
        } else {
            close(fd);
        }
    }
    const int error = errno;
    close(control);
    close(imageFd);
    if (fd_ < 0) {
        errno = error;
        throw systemError("set up a loop device for " + image);
    }
}

LoopDevice::~LoopDevice() {
    // With autoclear set, this detaches now, or at the unmount if the device is still mounted.
    ioctl(fd_, LOOP_CLR_FD);
    close(fd_);
}

Mount::Mount(const std::string& source, const std::string& target, const std::string& type,
             unsigned long flags, const std::string& data)
    : target_(target) {
    if (mount(source.c_str(), target.c_str(), type.empty() ? nullptr : type.c_str(), flags,
              data.empty() ? nullptr : data.c_str()) != 0) {
        const int code = errno;
        const std::string what = "mount " + source + " on " + target + ": " + std::strerror(code);
        if (code == ENODEV) throw UnsupportedFileSystem(what);
        throw std::runtime_error(what);
    }
}

Mount::~Mount() {
    if (mounted_) unmount();
}

void Mount::unmount() {
    if (umount2(target_.c_str(), 0) != 0 && umount2(target_.c_str(), MNT_DETACH) != 0)
        std::fprintf(stderr, "scratch: cannot unmount %s: %s\n", target_.c_str(),
                     std::strerror(errno));
    mounted_ = false;
}

FuseMount::FuseMount(const std::vector<std::string>& command, const std::string& target)
    : target_(target) {
    run(command);
}

// The file system's program ends by itself once its mount is gone.
FuseMount::~FuseMount() {
    if (umount2(target_.c_str(), 0) != 0 && umount2(target_.c_str(), MNT_DETACH) != 0)
        std::fprintf(stderr, "scratch: cannot unmount %s: %s\n", target_.c_str(),
                     std::strerror(errno));
}

std::string blockingShareUnavailableReason(const std::string& program) {
    if (std::string reason = unavailableReason(); !reason.empty()) return reason;
    if (program.empty()) return "the blocking share was not built (libfuse3 is missing)";
    if (access("/dev/fuse", R_OK | W_OK) != 0)
        return std::string("no FUSE: /dev/fuse: ") + std::strerror(errno);
    return "";
}

BlockingShare::BlockingShare(const std::string& program, const std::string& target)
    : target_(target), control_(target + ".blocked") {
    const pid_t child = fork();
    if (child < 0) throw systemError("fork");
    if (child == 0) {
        execl(program.c_str(), program.c_str(), control_.c_str(), target_.c_str(), nullptr);
        _exit(127);
    }
    server_ = child;
    constexpr long fuseMagic = 0x65735546;
    for (int wait = 0; wait < 250; ++wait) {
        struct statfs status {};
        if (statfs(target_.c_str(), &status) == 0 && status.f_type == fuseMagic) return;
        if (waitpid(server_, nullptr, WNOHANG) == server_) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(server_, SIGKILL);
    waitpid(server_, nullptr, 0);
    throw std::runtime_error("the blocking share did not come up at " + target_);
}

BlockingShare::~BlockingShare() {
    unblock();
    if (umount2(target_.c_str(), 0) != 0) umount2(target_.c_str(), MNT_DETACH);
    for (int wait = 0; wait < 100; ++wait) {
        if (waitpid(server_, nullptr, WNOHANG) == server_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(server_, SIGKILL);
    waitpid(server_, nullptr, 0);
}

void BlockingShare::block() {
    const int fd = open(control_.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) throw systemError("create " + control_);
    close(fd);
}

void BlockingShare::unblock() {
    unlink(control_.c_str());
}

}  // namespace scratch
