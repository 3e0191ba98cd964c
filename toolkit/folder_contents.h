#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

// What the folder and file lists show of a folder, read through the system; shared by every
// toolkit backend.
namespace toolkit {

struct FolderContents {
    std::vector<std::string> folders;  // subfolders, without "." and ".."
    std::vector<std::string> files;
};

// The subfolders and files of the folder at a DOS path ("C:\", "C:\Data\Notes"), leaving out
// hidden and system entries, in the order the system gives them; none for a root without
// entries (an empty volume); nullopt when the folder cannot be read.
std::optional<FolderContents> readFolder(platform::Platform& os, std::string_view folder);

}  // namespace toolkit
