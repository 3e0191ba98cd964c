#pragma once

#include <optional>
#include <string>

namespace dead_drive {

// The drive that tests/wine/dead_drive.sh maps, in a Wine prefix of its own, onto a FUSE share
// that stops answering on demand (tests/platform/blocking_share.cpp), as the script describes it
// in VOLSCOPE_DEAD_DRIVE ("letter=G;control=Z:\mnt\volscope-test-XXXXXX\share.blocked"). The
// share holds a folder "Sub" and the files same.txt and notes.txt, and does not answer while the
// control file exists.
struct DeadDrive {
    char letter = 0;
    std::string control;  // the control file's DOS path

    std::string root() const { return {letter, ':', '\\'}; }
    // The share stops answering: every request on it waits until unblock(). False when the
    // control file cannot be made.
    bool block() const;
    void unblock() const;
};

// The drive, or nullopt when the variable is missing or incomplete (not under the script).
std::optional<DeadDrive> prepared();

}  // namespace dead_drive
