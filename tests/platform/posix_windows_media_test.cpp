// Media that Windows wrote, on real volumes: NTFS through ntfs-3g and exFAT through exfat-fuse
// (the FUSE drivers Debian mounts them with), and FAT through the kernel's vfat where the kernel
// has it. Each volume is made by the test in its scratch folder with the file system's own tools,
// marked as Windows would mark it, and read back with those tools. Needs root and FUSE (or
// vfat); elsewhere the tests skip and say why.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"

namespace {

namespace attr = platform::file_attribute;
namespace code = platform::error_code;

class WindowsMedia : public scratch::RealVolumeTest {
  protected:
    // Why the volume cannot be made here: a tool missing, or FUSE where it needs it; "" if it can.
    static std::string unavailable(const std::vector<std::string>& tools, bool fuse) {
        for (const std::string& tool : tools)
            if (!scratch::hasTool(tool)) return tool + " is missing (scripts/install-deps.sh test)";
        if (fuse && access("/dev/fuse", R_OK | W_OK) != 0)
            return std::string("no FUSE: /dev/fuse: ") + std::strerror(errno);
        return "";
    }
    // A fresh image of size bytes formatted by mkfs (the image's path added last) on a loop
    // device, and the folder to mount it on.
    void makeVolume(std::vector<std::string> mkfs, std::uint64_t size) {
        image_ = folder_->makeImage("volume.img", size);
        mkfs.push_back(image_);
        scratch::run(mkfs);
        loop_.emplace(image_, 512);
        target_ = folder_->makeFolder("volume");
    }
    // The mounted volume's letter; false when none is left.
    bool lettered() {
        root_ = {scratch::letterIn(platform_, target_), ':', '\\'};
        return root_[0] != '\0';
    }

    std::string path(const std::string& name) const { return target_ + "/" + name; }
    std::string dos(const std::string& name) const { return root_ + name; }
    void makeFile(const std::string& name) {
        const int fd = open(path(name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0) << name << ": " << std::strerror(errno);
        close(fd);
    }
    void setXattr(const std::string& name, const char* key, const std::string& value) {
        ASSERT_EQ(setxattr(path(name).c_str(), key, value.data(), value.size(), 0), 0)
            << name << " " << key << ": " << std::strerror(errno);
    }

    std::string fileSystemName() {
        char name[64] = {};
        platform_.GetVolumeInformationA(root_.c_str(), nullptr, 0, nullptr, nullptr, nullptr, name,
                                        sizeof name);
        return name;
    }
    // The root's entries by name, "." and ".." left out as the file list leaves them out.
    std::map<std::string, std::uint32_t> listing() {
        std::map<std::string, std::uint32_t> listed;
        platform::FindData data;
        const platform::FindHandle handle = platform_.FindFirstFileA(dos("*").c_str(), &data);
        if (handle == platform::invalidFindHandle) return listed;
        do {
            listed[data.fileName] = data.fileAttributes;
        } while (platform_.FindNextFileA(handle, &data));
        platform_.FindClose(handle);
        return listed;
    }
    // success, or GetLastError's code after a failed SetFileAttributesA.
    std::uint32_t set(const std::string& name, std::uint32_t word) {
        return platform_.SetFileAttributesA(dos(name).c_str(), word) ? code::success
                                                                     : platform_.GetLastError();
    }
    std::string shortPath(const std::string& name) {
        char buffer[256] = {};
        platform_.GetShortPathNameA(dos(name).c_str(), buffer, sizeof buffer);
        return buffer;
    }

    std::string image_;
    std::optional<scratch::LoopDevice> loop_;
    std::optional<scratch::FuseMount> fuse_;
    std::optional<scratch::Mount> mount_;
    std::string target_;
    std::string root_;
};

constexpr const char* noLetter = "no drive letter is left for the test's volume";

TEST_F(WindowsMedia, NtfsShowsAndKeepsWhatWindowsReads) {
    if (const std::string why = unavailable({"mkntfs", "ntfs-3g", "getfattr"}, true); !why.empty())
        GTEST_SKIP() << why;
    makeVolume({"mkntfs", "-q", "-F", "-L", "WinDisk"}, 16 * 1024 * 1024);
    fuse_.emplace(std::vector<std::string>{"ntfs-3g", loop_->path(), target_}, target_);
    if (!lettered()) GTEST_SKIP() << noLetter;
    // What Windows marked: NTFS's own words, and 8.3 names beside long ones.
    const auto ntfsWord = [](std::uint32_t word) {
        return std::string{static_cast<char>(word >> 24), static_cast<char>(word >> 16),
                           static_cast<char>(word >> 8), static_cast<char>(word)};
    };
    makeFile("ReadOnly.txt");
    setXattr("ReadOnly.txt", "system.ntfs_attrib_be", ntfsWord(0x21));
    makeFile("Hidden.txt");
    setXattr("Hidden.txt", "system.ntfs_attrib_be", ntfsWord(0x22));
    makeFile("plain.txt");
    ASSERT_EQ(mkdir(path("Long Folder Name").c_str(), 0755), 0);
    setXattr("Long Folder Name", "system.ntfs_dos_name", "LONGFO~1");
    makeFile("Long Folder Name/Long Name Notes.txt");
    setXattr("Long Folder Name/Long Name Notes.txt", "system.ntfs_dos_name", "LONGNA~1.TXT");

    EXPECT_EQ(fileSystemName(), "NTFS");
    EXPECT_EQ(listing(),
              (std::map<std::string, std::uint32_t>{
                  {"Hidden.txt", attr::hidden | attr::archive},
                  {"Long Folder Name", attr::directory | attr::archive},  // as ntfs-3g makes it
                  {"ReadOnly.txt", attr::readOnly | attr::archive},
                  {"plain.txt", attr::archive},
              }));

    ASSERT_EQ(set("plain.txt", attr::readOnly | attr::hidden | attr::archive), code::success);
    const std::string readBack = scratch::run({"getfattr", "--absolute-names", "-e", "hex", "-n",
                                               "system.ntfs_attrib_be", path("plain.txt")});
    EXPECT_NE(readBack.find("system.ntfs_attrib_be=0x00000023"), std::string::npos) << readBack;
    EXPECT_EQ(getxattr(path("plain.txt").c_str(), "user.DOSATTRIB", nullptr, 0), -1)
        << "no stray stream for Windows to find";
    EXPECT_EQ(platform_.GetFileAttributesA(dos("plain.txt").c_str()),
              attr::readOnly | attr::hidden | attr::archive);

    EXPECT_EQ(shortPath("Long Folder Name\\Long Name Notes.txt"), dos("LONGFO~1\\LONGNA~1.TXT"));
    EXPECT_EQ(shortPath("plain.txt"), dos("plain.txt")) << "no 8.3 name of its own";
}

// ntfs-3g given the image file itself opens it without a loop device; the mount is then plain
// "fuse", which libmount counts among the pseudo file systems.
TEST_F(WindowsMedia, NtfsImageOpenedByTheDriverItselfIsADriveOfItsOwn) {
    if (const std::string why = unavailable({"mkntfs", "ntfs-3g"}, true); !why.empty())
        GTEST_SKIP() << why;
    image_ = folder_->makeImage("volume.img", 16 * 1024 * 1024);
    scratch::run({"mkntfs", "-q", "-F", "-L", "Image", image_});
    target_ = folder_->makeFolder("volume");
    fuse_.emplace(std::vector<std::string>{"ntfs-3g", image_, target_}, target_);
    ASSERT_TRUE(lettered()) << "the image's volume has no letter";

    char label[64] = {};
    std::uint32_t serial = 0;
    char name[64] = {};
    ASSERT_TRUE(platform_.GetVolumeInformationA(root_.c_str(), label, sizeof label, &serial,
                                                nullptr, nullptr, name, sizeof name));
    EXPECT_STREQ(label, "Image");
    EXPECT_STREQ(name, "NTFS");
    EXPECT_NE(serial, 0u) << "the serial number is the NTFS volume's own";
    makeFile("plain.txt");
    ASSERT_EQ(set("plain.txt", attr::readOnly | attr::archive), code::success);
    EXPECT_EQ(getxattr(path("plain.txt").c_str(), "user.DOSATTRIB", nullptr, 0), -1)
        << "attributes kept where NTFS keeps them";
}

TEST_F(WindowsMedia, ExfatWithoutAttributeCallsRefusesWhatItCannotKeep) {
    if (const std::string why = unavailable({"mkfs.exfat", "fsck.exfat", "mount.exfat-fuse"}, true);
        !why.empty())
        GTEST_SKIP() << why;
    makeVolume({"mkfs.exfat", "-L", "STICK"}, 16 * 1024 * 1024);
    fuse_.emplace(std::vector<std::string>{"mount.exfat-fuse", loop_->path(), target_}, target_);
    if (!lettered()) GTEST_SKIP() << noLetter;
    makeFile("stick.txt");
    makeFile("Long Name Notes.txt");

    EXPECT_EQ(fileSystemName(), "exFAT");
    EXPECT_EQ(listing(), (std::map<std::string, std::uint32_t>{
                             {"Long Name Notes.txt", attr::archive},
                             {"stick.txt", attr::archive},
                         }));
    // exfat-fuse takes a chmod and keeps nothing, and has no user.* attributes.
    EXPECT_EQ(set("stick.txt", attr::readOnly | attr::archive), code::notSupported);
    EXPECT_EQ(set("stick.txt", attr::hidden | attr::archive), code::notSupported);
    EXPECT_EQ(set("stick.txt", attr::archive), code::success) << "asking for what is there";
    EXPECT_EQ(platform_.GetFileAttributesA(dos("stick.txt").c_str()), attr::archive);
    EXPECT_EQ(shortPath("Long Name Notes.txt"), dos("Long Name Notes.txt")) << "exFAT has none";

    fuse_.reset();
    scratch::run({"fsck.exfat", "-n", image_});
}

// The kernels of most test machines have no vfat; where one has, the attribute byte that
// Windows reads is written, and mtools reads it back from the image.
TEST_F(WindowsMedia, FatThroughTheKernelKeepsItsOwnAttributeByte) {
    if (const std::string why = unavailable({"mkfs.vfat", "mcopy", "mattrib"}, false); !why.empty())
        GTEST_SKIP() << why;
    makeVolume({"mkfs.vfat", "-F", "32", "-n", "USBSTICK"}, 40 * 1024 * 1024);
    // What Windows wrote: a long name with its 8.3 name, and a hidden file.
    const std::string source = folder_->makeImage("source.txt", 1);
    scratch::run({"mcopy", "-i", image_, source, "::Long Name Notes.txt"});
    scratch::run({"mcopy", "-i", image_, source, "::hidden.txt"});
    scratch::run({"mattrib", "-i", image_, "+h", "::hidden.txt"});
    try {
        mount_.emplace(loop_->path(), target_, "vfat");
    } catch (const scratch::UnsupportedFileSystem& error) {
        GTEST_SKIP() << "the kernel has no vfat: " << error.what();
    }
    if (!lettered()) GTEST_SKIP() << noLetter;

    EXPECT_EQ(fileSystemName(), "FAT32");
    EXPECT_EQ(listing(), (std::map<std::string, std::uint32_t>{
                             {"Long Name Notes.txt", attr::archive},
                             {"hidden.txt", attr::hidden | attr::archive},
                         }));
    ASSERT_EQ(set("Long Name Notes.txt", attr::readOnly | attr::system | attr::archive),
              code::success);
    EXPECT_EQ(shortPath("Long Name Notes.txt"), dos("LONGNA~1.TXT"));

    mount_->unmount();
    const std::string readBack = scratch::run({"mattrib", "-i", image_, "::Long Name Notes.txt"});
    const std::string flags = readBack.substr(0, readBack.find("::"));
    EXPECT_EQ(flags.find_first_not_of(" ASR"), std::string::npos) << readBack;
    for (const char flag : {'A', 'S', 'R'})
        EXPECT_NE(flags.find(flag), std::string::npos) << readBack;
}

}  // namespace
