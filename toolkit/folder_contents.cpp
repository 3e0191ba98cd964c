#include "toolkit/folder_contents.h"

#include "toolkit/folder_paths.h"

namespace toolkit {

namespace {

constexpr std::uint32_t leftOut =
    platform::file_attribute::hidden | platform::file_attribute::system;

// Files the lists show, in the folders or the files; "." and "..", hidden and system entries are
// passed over.
void addShownEntry(const platform::FindData& entry, FolderContents& contents) {
    if (entry.fileName == "." || entry.fileName == ".." || (entry.fileAttributes & leftOut)) return;
    if (entry.fileAttributes & platform::file_attribute::directory)
        contents.folders.push_back(entry.fileName);
    else
        contents.files.push_back(entry.fileName);
}

}  // namespace

std::optional<FolderContents> readFolder(platform::Platform& os, std::string_view folder) {
    const std::string pattern = childPath(folder, "*");
    platform::FindData entry;
    const platform::FindHandle handle = os.FindFirstFileA(pattern.c_str(), &entry);
    // The system finds nothing in a root without entries (below a root "." and ".." are there),
    // and says so: the folder was read, it is empty.
    if (handle == platform::invalidFindHandle) {
        if (os.GetLastError() == platform::error_code::fileNotFound) return FolderContents{};
        return std::nullopt;
    }
    FolderContents contents;
    do {
        addShownEntry(entry, contents);
    } while (os.FindNextFileA(handle, &entry));
    os.FindClose(handle);
    return contents;
}

}  // namespace toolkit
