#pragma once

#include <cstdint>
#include <string>

// The records and codes of the file calls of platform::Platform (platform.h): opening a file,
// its times, its short path and its icon.
namespace platform {

// An open file from CreateFileA; an opaque number, never reused while the platform lives.
// noFile is what the program passes where Windows takes a null HANDLE (no template file).
enum class FileHandle : std::uintptr_t {};
inline constexpr FileHandle invalidFileHandle{~std::uintptr_t{0}};
inline constexpr FileHandle noFile{0};

// The access, share and creation codes of CreateFileA that the backends support.
namespace file_access {
inline constexpr std::uint32_t genericRead = 0x80000000U;
inline constexpr std::uint32_t genericWrite = 0x40000000U;
}  // namespace file_access

namespace file_share {
inline constexpr std::uint32_t read = 0x1;
inline constexpr std::uint32_t write = 0x2;
inline constexpr std::uint32_t remove = 0x4;  // FILE_SHARE_DELETE
}  // namespace file_share

namespace creation_disposition {
inline constexpr std::uint32_t openExisting = 3;
}  // namespace creation_disposition

// Whether CreateFileA's arguments ask for what this interface supports: an existing file opened
// for reading and/or writing, with any file_share bits, attribute bits only (no FILE_FLAG_*), no
// security attributes and no template file.
inline bool isSupportedOpen(std::uint32_t desiredAccess, std::uint32_t shareMode,
                            const void* securityAttributes, std::uint32_t creationDisposition,
                            std::uint32_t flagsAndAttributes, FileHandle templateFile) {
    constexpr std::uint32_t access = file_access::genericRead | file_access::genericWrite;
    constexpr std::uint32_t share = file_share::read | file_share::write | file_share::remove;
    constexpr std::uint32_t attributeBits = 0xFFFF;
    return desiredAccess != 0 && (desiredAccess & ~access) == 0 && (shareMode & ~share) == 0 &&
           securityAttributes == nullptr &&
           creationDisposition == creation_disposition::openExisting &&
           (flagsAndAttributes & ~attributeBits) == 0 && templateFile == noFile;
}

// Whether a file already open with one access and share mode may be opened again with another,
// by Windows' rule: each side's share mode must allow the other side's access.
inline bool sharingAllows(std::uint32_t openAccess, std::uint32_t openShare,
                          std::uint32_t wantedAccess, std::uint32_t wantedShare) {
    const auto allows = [](std::uint32_t access, std::uint32_t share) {
        return ((access & file_access::genericRead) == 0 || (share & file_share::read) != 0) &&
               ((access & file_access::genericWrite) == 0 || (share & file_share::write) != 0);
    };
    return allows(wantedAccess, openShare) && allows(openAccess, wantedShare);
}

// A point in time as FILETIME holds it: 100-nanosecond intervals since 1601-01-01 00:00 UTC,
// split into its low and high 32 bits.
struct FileTime {
    std::uint32_t lowDateTime = 0;
    std::uint32_t highDateTime = 0;

    friend bool operator==(const FileTime&, const FileTime&) = default;
};

// What GetFileTime gives, where the backend converts times itself, for a time FILETIME cannot
// hold: one before 1601-01-01 or at 2^63 intervals and beyond (the year 30828). It lies beyond
// 2^63, where Windows too gives such a time of a file system that keeps it (NTFS keeps signed
// times), so that FileTimeToSystemTime refuses it rather than show another date.
inline constexpr FileTime outOfRangeFileTime{0xFFFFFFFFU, 0xFFFFFFFFU};

// Which file an open handle is, as BY_HANDLE_FILE_INFORMATION tells it: only its identity. The
// volume's number and the file's index on it name one file for as long as both exist.
struct ByHandleFileInformation {
    std::uint32_t volumeSerialNumber = 0;
    std::uint32_t fileIndexHigh = 0;
    std::uint32_t fileIndexLow = 0;

    friend bool operator==(const ByHandleFileInformation&,
                           const ByHandleFileInformation&) = default;
};

// A calendar date and time as SYSTEMTIME holds it; month 1 to 12, dayOfWeek 0 (Sunday) to 6.
struct SystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;
    std::uint16_t dayOfWeek = 0;
    std::uint16_t day = 0;
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

// What SHGetFileInfoA tells about a file, as SHFILEINFOA carries it.
struct ShFileInfo {
    std::uintptr_t icon = 0;       // an HICON, with shell_info::icon only
    std::int32_t iconIndex = 0;    // in the system image list, with shell_info::sysIconIndex
    std::uint32_t attributes = 0;  // the shell's SFGAO_* bits, with shell_info::attributes
    std::string displayName;       // with shell_info::displayName
    std::string typeName;          // with shell_info::typeName: a description of the file's type
};

// Flags of SHGetFileInfoA (SHGFI_*).
namespace shell_info {
inline constexpr std::uint32_t icon = 0x100;
inline constexpr std::uint32_t displayName = 0x200;
inline constexpr std::uint32_t typeName = 0x400;
inline constexpr std::uint32_t attributes = 0x800;
inline constexpr std::uint32_t exeType = 0x2000;
inline constexpr std::uint32_t sysIconIndex = 0x4000;
inline constexpr std::uint32_t shellIconSize = 0x4;
inline constexpr std::uint32_t largeIcon = 0x0;
inline constexpr std::uint32_t useFileAttributes = 0x10;
// The flags that only the Windows shell answers: an HICON, the shell's SFGAO_* bits, and the type
// of a file that need not exist. The other backends fail a call that has any of them.
inline constexpr std::uint32_t windowsOnly = icon | attributes | useFileAttributes;
}  // namespace shell_info

// Styles of ImageList_Draw (ILD_*).
namespace image_list_draw {
inline constexpr std::uint32_t normal = 0x0;
inline constexpr std::uint32_t transparent = 0x1;
}  // namespace image_list_draw

}  // namespace platform
