#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/platform.h"
#include "toolkit/controls.h"
#include "toolkit/toolkit.h"
#include "volume_queries/volume_answers.h"
#include "volume_queries/volume_details.h"

namespace volume_queries {

// The program's shared routines about drive letters and volumes, and the current drive letter.
// One instance lives for the whole run; both windows are given it. It asks the system through
// the Platform it is given (not owned; must outlive it) afresh on every call; what it keeps
// between calls is CurrentDrive and the shell file record that DrawFileIcon reuses.
class ModVolscope {
  public:
    explicit ModVolscope(platform::Platform& os) : os_(os) {}

    // The current drive letter: empty until the main window loads, then one of "A" to "Z".
    std::string CurrentDrive;

    // The root of a drive letter as every system call is given it: "C" gives "C:\".
    static std::string driveRoot(std::string_view letter);

    // The drive type code (platform::drive_type) of the letter before CurrentDrive, asked afresh;
    // no value, and no system call, when CurrentDrive is "A". The no-value result matches none of
    // the codes 1 to 6.
    std::optional<std::uint32_t> PrevDriveType() const;
    // The same for the letter after CurrentDrive; no value when CurrentDrive is "Z".
    std::optional<std::uint32_t> NextDriveType() const;

    // Asks the system about the volume behind CurrentDrive (its volume information and its free
    // space) and gives its answers as they are, with the names trimmed. A letter without a
    // volume, or a call that fails, yields empty names and zeros, without a failure.
    VolumeAnswers QueryVolume() const;
    // The same answers fitted into the 32-bit record `details`. Throws ArithmeticOverflow,
    // leaving `details` exactly as it was, when a count reported by the system or one of the
    // byte totals exceeds 2,147,483,647.
    void QueryVolumeDetails(VolumeDetails& details) const;

    // Clears the box and draws the shell's icon for the file at path into its top-left corner;
    // a file the shell has no icon for leaves the box cleared.
    void DrawFileIcon(const std::string& path, toolkit::PictureBox& box);
    // Opens the file for reading, letting others read but not write it, and gives the handle
    // back both as the result and through `handle`. A file that cannot be opened (missing, no
    // permission, open for writing elsewhere) is reported in a "File Read Error." box and gives
    // platform::invalidFileHandle. The caller closes a valid handle.
    platform::FileHandle OpenFileForRead(toolkit::Toolkit& toolkit, const std::string& path,
                                         platform::FileHandle& handle) const;
    // A file time as "hh:mm:ss;   dddd dd, mmmm yyyy" in UTC, in the user's language; a time the
    // system cannot convert (at or beyond 2^63, which is where a time before 1601 or after the
    // year 30828 comes) gives timeOutOfRange.
    std::string FormatFileTime(const toolkit::Toolkit& toolkit,
                               const platform::FileTime& time) const;
    static constexpr const char* timeOutOfRange = "(outside the calendar)";

    // The module's shell file record, kept for the whole run and reused by every DrawFileIcon.
    platform::ShFileInfo shellFileInfo;

    platform::Platform& os() const { return os_; }

  private:
    // The type of the letter `offset` away from CurrentDrive, unless CurrentDrive is endLetter.
    std::optional<std::uint32_t> neighbourDriveType(const char* endLetter, int offset) const;

    platform::Platform& os_;
};

}  // namespace volume_queries
