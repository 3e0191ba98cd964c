#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <utility>

#include "platform/posix/drive_letters.h"
#include "platform/posix/mounted_drives.h"
#include "platform/posix/posix_platform.h"

namespace platform::test_support {

// What the tests reach of the Linux backend beyond the Platform interface: the drive table it
// maps paths with, and a mount table of the test's own.
class PosixPlatformAccess {
  public:
    // A platform whose drive table is read from mounts rather than from this process's table.
    static std::unique_ptr<PosixPlatform> withMounts(
        std::unique_ptr<posix::MountSource> mounts, std::string opener = "xdg-open",
        std::chrono::milliseconds patience = std::chrono::seconds(2)) {
        return std::unique_ptr<PosixPlatform>(
            new PosixPlatform(std::move(mounts), std::move(opener), "/usr/share/mime", patience));
    }

    // The drive letters as platform gives them now: read again when the mount table has
    // changed, keeping the letters of the volumes still mounted.
    static posix::DriveTable drives(PosixPlatform& platform) {
        return platform.volumes_.drives()->letters;
    }
};

// The drive letters a Linux platform starting now would give.
inline posix::DriveTable currentDrives() {
    return posix::assignDriveLetters(posix::mountedVolumes());
}

}  // namespace platform::test_support
