#include <windows.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/win32/win32_platform.h"
#include "tests/platform/contract_backend.h"
#include "tests/platform/wine_drives.h"

namespace contract {

namespace {

// The Windows backend on the drives that tests/wine/run_wine_tests.sh built in the Wine prefix:
// a dosdevices symlink to a sized tmpfs, typed through HKLM\Software\Wine\Drives, with its label
// and serial in .windows-label and .windows-serial, and the known folder. Wine reports most file
// systems as "NTFS".
class Win32Backend final : public Backend {
  public:
    std::string setUp() override {
        const std::optional<wine_drives::Drives> drives = wine_drives::prepared();
        if (!drives) return "no prepared drives: run under tests/wine/run_wine_tests.sh";
        drives_ = *drives;
        if (drives_.folder != KnownFolder{}.name) return "the script built no known folder";
        if (drives_.knownFile != KnownFile{}.name) return "the script built no known file";
        known_ = {drives_.fixed, platform::drive_type::fixed, drives_.label, drives_.serialNumber,
                  "NTFS"};
        return "";
    }
    platform::Platform& platform() override { return platform_; }
    const KnownDrive& knownDrive() const override { return known_; }
    char emptyLetter() override { return drives_.empty; }
    char emptyRootLetter() override { return drives_.emptyRoot; }
    std::uint64_t totalBytes() override { return drives_.totalBytes; }
    std::uint64_t freeBytes() override { return drives_.freeBytes; }
    std::string skipReasonForShortBuffers() const override {
        return "Windows defines no failure for a short name buffer; Wine cuts the name short";
    }
    std::string makeFile(const std::string& name) override {
        const std::string path = std::string{drives_.fixed} + ":\\" + drives_.folder + "\\" + name;
        const HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
        return path;
    }
    std::string archiveAlwaysSetReason() const override {
        return "Wine shows every file with the archive bit and keeps only hidden and system";
    }
    // Another handle of this process, opened by the system directly: Windows keeps share modes
    // between handles whichever process holds them.
    std::shared_ptr<void> holdKnownFileOpenForWriting() override {
        const std::string path = std::string{drives_.fixed, ':', '\\'} + drives_.knownFile;
        HANDLE writer =
            ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (writer == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
        return {writer, [](void* handle) { ::CloseHandle(handle); }};
    }
    bool keepsShortNames() const override { return true; }
    bool drawsThemeIcons() const override { return false; }

  private:
    platform::Win32Platform platform_;
    wine_drives::Drives drives_;
    KnownDrive known_;
};

}  // namespace

std::unique_ptr<Backend> makeWin32Backend() {
    return std::make_unique<Win32Backend>();
}

}  // namespace contract
