#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <string>

#include "platform/posix/drive_letters.h"
#include "platform/posix/posix_platform.h"
#include "tests/platform/posix_platform_access.h"
#include "tests/platform/scratch_volumes.h"

namespace scratch {

// The letter the Linux backend gives the volume mounted at target now; '\0' when it has none.
inline char letterOf(const std::string& target) {
    const platform::posix::DriveTable drives = platform::test_support::currentDrives();
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i] && drives[i]->mount.target == target) return static_cast<char>('A' + i);
    }
    return '\0';
}

// The letter that platform gives the volume mounted at target now; '\0' when it has none.
inline char letterIn(platform::PosixPlatform& platform, const std::string& target) {
    const platform::posix::DriveTable drives =
        platform::test_support::PosixPlatformAccess::drives(platform);
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i] && drives[i]->mount.target == target) return static_cast<char>('A' + i);
    }
    return '\0';
}

// A test of the Linux backend on real volumes. Skips, saying why, where this machine cannot
// mount; otherwise holds the mount lock and a scratch folder until it ends. Fixtures that add
// loop devices and mounts declare them after these, so that they are undone first.
class RealVolumeTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string reason = unavailableReason();
        if (!reason.empty()) GTEST_SKIP() << reason;
        lock_.emplace();
        folder_.emplace();
    }

    platform::PosixPlatform platform_;
    std::optional<MountLock> lock_;
    std::optional<Folder> folder_;
};

}  // namespace scratch
