#pragma once

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace dead_drive {

// The drive that tests/wine/dead_drive.sh maps, in a Wine prefix of its own, onto a FUSE share
// that goes silent on demand (tests/platform/blocking_share.cpp): its letter in
// VOLSCOPE_DEAD_DRIVE, and in VOLSCOPE_DEAD_DRIVE_CONTROL the DOS path of the control file, while
// which exists every request on the share waits. The share holds a folder "Sub" and the files
// same.txt and notes.txt.
struct DeadDrive {
    char letter = 0;
    std::string control;

    std::string root() const { return {letter, ':', '\\'}; }
    // False when the control file cannot be made.
    bool block() const {
        const HANDLE file = CreateFileA(control.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        return file != INVALID_HANDLE_VALUE && CloseHandle(file);
    }
    void unblock() const { DeleteFileA(control.c_str()); }
};

// The drive; nullopt when not under the script.
inline std::optional<DeadDrive> prepared() {
    const char* letter = std::getenv("VOLSCOPE_DEAD_DRIVE");
    const char* control = std::getenv("VOLSCOPE_DEAD_DRIVE_CONTROL");
    if (letter == nullptr || control == nullptr || std::strlen(letter) != 1 || *control == '\0')
        return std::nullopt;
    return DeadDrive{letter[0], control};
}

}  // namespace dead_drive
