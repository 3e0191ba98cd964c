#pragma once

#include <string>
#include <string_view>
#include <vector>

// DOS paths as the folder and file lists build them ("C:\", "C:\Data\Notes"). Pure text: nothing
// here asks the system.
namespace toolkit {

// The path of an entry of a folder, with exactly one separator between them: "C:\" and "a.txt"
// give "C:\a.txt", "C:\Data" and "a.txt" give "C:\Data\a.txt".
std::string childPath(std::string_view folder, std::string_view name);

// The folders from the drive's root down to `path`: "C:\Data\Notes" gives "C:\", "C:\Data",
// "C:\Data\Notes". A trailing separator is dropped (but the root's); empty for a path shorter
// than a root.
std::vector<std::string> pathChain(std::string_view path);

}  // namespace toolkit
