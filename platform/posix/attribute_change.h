#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::posix {

// A file or folder as SetFileAttributesA finds it.
struct AttributeState {
    std::string_view name;  // the Linux name, which makes a file hidden by a leading "."
    bool isDirectory = false;
    std::uint32_t mode = 0;                // its permission bits (st_mode & 07777)
    std::optional<std::string> dosAttrib;  // its user.DOSATTRIB value, when it has one
    bool hasExtendedAttributes = true;     // the file system keeps user.* attributes
    // user.DOSATTRIB could not be read (the file grants no read permission, which reading it
    // needs): whether there is a value, and what it holds, is unknown.
    bool dosAttribUnreadable = false;
};

// What SetFileAttributesA changes.
struct AttributeChange {
    std::uint32_t mode = 0;                // the permission bits to have
    std::optional<std::string> dosAttrib;  // the user.DOSATTRIB value to write; nullopt: none
};

// How a file takes the attribute word `attributes`, in agreement with Wine and Samba, so that it
// reads the same through attributesOf, a Samba share and Wine:
//   - readOnly is the owner's write permission being clear: set, it clears every write
//     permission (u, g and o); cleared, it gives the owner write permission back when the owner
//     had none. Folders keep their mode, as under Wine: on Windows a folder's readOnly bit stops
//     nobody from creating files in it, and clearing a folder's write permission would.
//   - hidden, system and archive go to user.DOSATTRIB, with readOnly too for a file (Samba
//     takes readOnly from there unless told to map it to the mode). A value parseDosAttrib reads
//     is rewritten by withDosAttributes, keeping Samba's other fields; any other value, or none,
//     gives way to the text form. No value is written when none vouches for a word and the
//     bits asked for are those the file shows without one (archive for a file, hidden for a
//     dot name), nor when the value would stay byte for byte the same.
// A value that cannot be read counts as none, as the listing shows the file without it: a change
// of readOnly alone is made, and one that needs a value written is refused, since it would
// overwrite what nobody could read (Samba's other fields among it).
// Returns nullopt when the file system keeps no user.* attributes, or the value cannot be read,
// and a value would have to be written: the change is then refused as a whole.
std::optional<AttributeChange> planAttributeChange(const AttributeState& state,
                                                   std::uint32_t attributes);

}  // namespace platform::posix
