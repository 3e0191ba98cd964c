#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

// What the folder and file lists show of a folder, read through the system; shared by every
// toolkit backend. Paths are DOS paths ("C:\", "C:\Data\Notes").
namespace toolkit {

struct FolderContents {
    std::vector<std::string> folders;  // subfolders, without "." and ".."
    std::vector<std::string> files;
};

// The folder's subfolders and files, leaving out hidden and system entries, in the order the
// system gives them; nullopt when the folder cannot be read.
std::optional<FolderContents> readFolder(platform::Platform& os, std::string_view folder);

// The runtime's length of a named file, in bytes (64-bit: files of 2 GiB and more keep their
// size); nullopt when the file cannot be found.
std::optional<std::int64_t> fileLength(platform::Platform& os, std::string_view path);

// The path of an entry of a folder, with exactly one separator between them.
std::string childPath(std::string_view folder, std::string_view name);

// The folders from the drive's root down to `path`: "C:\Data\Notes" gives "C:\", "C:\Data",
// "C:\Data\Notes". A trailing separator is dropped (but the root's).
std::vector<std::string> pathChain(std::string_view path);

}  // namespace toolkit
