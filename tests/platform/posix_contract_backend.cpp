#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/posix/posix_platform.h"
#include "tests/platform/contract_backend.h"
#include "tests/platform/posix_platform_access.h"
#include "tests/platform/scratch_volumes.h"

namespace contract {

namespace {

void check(bool succeeded, const std::string& what) {
    if (!succeeded) throw std::runtime_error(what + ": " + std::strerror(errno));
}

void writeFile(const std::string& path, const std::string& content, mode_t mode = 0644) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    check(fd >= 0, "create " + path);
    const bool written =
        write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    close(fd);
    check(written, "write " + path);
    check(chmod(path.c_str(), mode) == 0, "chmod " + path);
}

// The known folder, on the mounted volume: it goes with the image.
void buildKnownFolder(const std::string& root) {
    const std::string folder = root + "/" + KnownFolder{}.name;
    check(mkdir(folder.c_str(), 0755) == 0, "mkdir " + folder);
    writeFile(folder + "/plain.txt", "hello");
    writeFile(folder + "/readonly.txt", "abc", 0444);
    writeFile(folder + "/.dotfile", ".");
    writeFile(folder + "/marked.txt", "m");
    check(setxattr((folder + "/marked.txt").c_str(), "user.DOSATTRIB", "0x22", 4, 0) == 0,
          "setxattr marked.txt");
    check(mkdir((folder + "/Sub").c_str(), 0755) == 0, "mkdir Sub");
    writeFile(folder + "/Sub/inner.txt", "");
    check(mkdir((folder + "/Empty").c_str(), 0755) == 0, "mkdir Empty");
}

timespec timespecOf(const platform::FileTime& time) {
    const auto ticks =
        static_cast<std::int64_t>(std::uint64_t{time.highDateTime} << 32 | time.lowDateTime);
    constexpr std::int64_t ticksTo1970 = 116'444'736'000'000'000;
    const std::int64_t sinceEpoch = ticks - ticksTo1970;
    std::int64_t seconds = sinceEpoch / 10'000'000;
    std::int64_t rest = sinceEpoch % 10'000'000;
    if (rest < 0) {
        rest += 10'000'000;
        --seconds;
    }
    return {static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

// The known file, in the volume's root, with its times.
void buildKnownFile(const std::string& root) {
    const Backend::KnownFile known;
    const std::string path = root + "/" + known.name;
    writeFile(path, "0123456789");
    const timespec times[2] = {timespecOf(known.lastAccessTime), timespecOf(known.lastWriteTime)};
    check(utimensat(AT_FDCWD, path.c_str(), times, 0) == 0, "utimensat " + path);
}

// Another process holding a file open for writing, from its start to its end.
class OtherWriter {
  public:
    explicit OtherWriter(const std::string& path) {
        int ready[2];
        int release[2];
        check(pipe2(ready, O_CLOEXEC) == 0 && pipe2(release, O_CLOEXEC) == 0, "pipe2");
        child_ = fork();
        check(child_ >= 0, "fork");
        if (child_ == 0) {
            // The end of release that the parent closes must be open nowhere else.
            close(release[1]);
            close(ready[0]);
            const int fd = open(path.c_str(), O_WRONLY);
            const char opened = fd >= 0 ? 'y' : 'n';
            char none = 0;
            if (write(ready[1], &opened, 1) == 1) (void)!read(release[0], &none, 1);
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        release_ = release[1];
        char opened = 'n';
        const bool told = read(ready[0], &opened, 1) == 1;
        close(ready[0]);
        if (!told || opened != 'y') {
            finish();
            throw std::runtime_error("the other process could not open " + path);
        }
    }
    OtherWriter(const OtherWriter&) = delete;
    OtherWriter& operator=(const OtherWriter&) = delete;
    ~OtherWriter() { finish(); }

  private:
    void finish() {
        close(release_);
        waitpid(child_, nullptr, 0);
    }

    pid_t child_ = -1;
    int release_ = -1;
};

// An ext4 image on a loop device, mounted in a scratch folder under /mnt, with the known folder,
// and an empty tmpfs beside it.
class PosixBackend final : public Backend {
  public:
    std::string setUp() override {
        if (std::string reason = scratch::unavailableReason(); !reason.empty()) return reason;
        if (!scratch::hasTool("mkfs.ext4")) return "mkfs.ext4 is missing (package e2fsprogs)";
        lock_.emplace();
        folder_.emplace();
        const std::string image = folder_->makeImage("contract.img", 8 * 1024 * 1024);
        scratch::run({"mkfs.ext4", "-q", "-F", "-L", "  Contract  ", "-U",
                      "c0ffee00-1234-4321-8765-0123456789ab", image});
        loop_.emplace(image, 512);
        target_ = folder_->makeFolder("contract");
        mount_.emplace(loop_->path(), target_, "ext4");
        buildKnownFolder(target_);
        buildKnownFile(target_);
        const std::string bare = folder_->makeFolder("bare");
        bareMount_.emplace("volscope-bare", bare, "tmpfs", 0, "size=64k");

        const platform::posix::DriveTable drives =
            platform::test_support::PosixPlatformAccess::drives(platform_);
        for (std::size_t i = 0; i < drives.size(); ++i) {
            if (drives[i] && drives[i]->mount.target == target_)
                known_.letter = static_cast<char>('A' + i);
            else if (drives[i] && drives[i]->mount.target == bare)
                emptyRootLetter_ = static_cast<char>('A' + i);
            else if (!drives[i])
                emptyLetter_ = static_cast<char>('A' + i);
        }
        if (known_.letter == '\0') return "no drive letter is left for the test's volume";
        if (emptyLetter_ == '\0') return "every drive letter is in use";
        known_.type = platform::drive_type::fixed;
        known_.label = "  Contract  ";
        known_.serialNumber = 0xC0FFEE00U;
        known_.fileSystem = "ext4";
        return "";
    }
    platform::Platform& platform() override { return platform_; }
    const KnownDrive& knownDrive() const override { return known_; }
    char emptyLetter() override { return emptyLetter_; }
    char emptyRootLetter() override { return emptyRootLetter_; }
    std::uint64_t totalBytes() override {
        const struct statvfs now = statvfsOfTarget();
        return std::uint64_t{now.f_frsize} * now.f_blocks;
    }
    std::uint64_t freeBytes() override {
        const struct statvfs now = statvfsOfTarget();
        return std::uint64_t{now.f_frsize} * now.f_bavail;
    }
    std::string makeFile(const std::string& name) override {
        writeFile(target_ + "/" + KnownFolder{}.name + "/" + name, "");
        return std::string{known_.letter} + ":\\" + KnownFolder{}.name + "\\" + name;
    }

    std::shared_ptr<void> holdKnownFileOpenForWriting() override {
        return std::make_shared<OtherWriter>(target_ + "/" + KnownFile{}.name);
    }

  private:
    struct statvfs statvfsOfTarget() const {
        struct statvfs status {};
        statvfs(target_.c_str(), &status);
        return status;
    }

    platform::PosixPlatform platform_;
    // Declared in the order of set-up, so that they are undone in reverse.
    std::optional<scratch::MountLock> lock_;
    std::optional<scratch::Folder> folder_;
    std::optional<scratch::LoopDevice> loop_;
    std::optional<scratch::Mount> mount_;
    std::optional<scratch::Mount> bareMount_;  // an empty tmpfs
    std::string target_;
    KnownDrive known_{'\0'};
    char emptyLetter_ = '\0';
    char emptyRootLetter_ = '\0';
};

}  // namespace

std::unique_ptr<Backend> makePosixBackend() {
    return std::make_unique<PosixBackend>();
}

}  // namespace contract
