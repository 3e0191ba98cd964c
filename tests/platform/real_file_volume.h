#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

namespace posix_test {

// A test of the Linux backend's file calls on one real volume that it mounts in the scratch
// folder (tmpfs, ramfs, or a file system on a loop device), with the files it makes there.
class RealVolume : public scratch::RealVolumeTest {
  protected:
    // Mounts a file system in the scratch folder and finds its letter; the test skips when no
    // letter is left.
    void mountVolume(const std::string& type, const std::string& source = "volscope-attributes") {
        target_ = folder_->makeFolder(type);
        mount_.emplace(source, target_, type, 0, type == "tmpfs" ? "size=8m" : "");
        const char letter = scratch::letterIn(platform_, target_);
        if (letter == '\0') GTEST_SKIP() << "no drive letter is left for the test's volume";
        root_ = std::string{letter, ':', '\\'};
    }
    void needExtendedAttributes() {
        makeFile("xattr-probe");
        const bool supported = setxattr(path("xattr-probe").c_str(), "user.probe", "1", 1, 0) == 0;
        unlink(path("xattr-probe").c_str());
        if (!supported) GTEST_SKIP() << "tmpfs keeps no user.* extended attributes here";
    }

    std::string path(const std::string& name) const { return target_ + "/" + name; }
    std::string dos(const std::string& name) const { return root_ + name; }

    void makeFile(const std::string& name, mode_t mode = 0644) {
        const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
        ASSERT_GE(fd, 0) << name << ": " << std::strerror(errno);
        close(fd);
        ASSERT_EQ(chmod(path(name).c_str(), mode), 0);
    }
    void setDosAttrib(const std::string& name, const std::string& value) {
        ASSERT_EQ(setxattr(path(name).c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0)
            << std::strerror(errno);
    }
    std::optional<std::string> dosAttrib(const std::string& name) {
        char buffer[256];
        const ssize_t size = getxattr(path(name).c_str(), "user.DOSATTRIB", buffer, sizeof buffer);
        if (size < 0) return std::nullopt;
        return std::string(buffer, static_cast<std::size_t>(size));
    }
    mode_t modeOf(const std::string& name) {
        struct stat status {};
        EXPECT_EQ(stat(path(name).c_str(), &status), 0);
        return status.st_mode & 07777;
    }
    bool set(const std::string& name, std::uint32_t word) {
        return platform_.SetFileAttributesA(dos(name).c_str(), word);
    }
    std::uint32_t get(const std::string& name) {
        return platform_.GetFileAttributesA(dos(name).c_str());
    }

    std::optional<scratch::LoopDevice> loop_;
    std::optional<scratch::Mount> mount_;
    std::string target_;
    std::string root_;
};

}  // namespace posix_test
