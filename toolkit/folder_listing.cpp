#include "toolkit/folder_listing.h"

namespace toolkit {

namespace {

constexpr std::uint32_t leftOut =
    platform::file_attribute::hidden | platform::file_attribute::system;

void take(const platform::FindData& entry, FolderContents& contents) {
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
    if (handle == platform::invalidFindHandle) return std::nullopt;
    FolderContents contents;
    do {
        take(entry, contents);
    } while (os.FindNextFileA(handle, &entry));
    os.FindClose(handle);
    return contents;
}

std::optional<std::int64_t> fileLength(platform::Platform& os, std::string_view path) {
    const std::string name(path);
    platform::FindData entry;
    const platform::FindHandle handle = os.FindFirstFileA(name.c_str(), &entry);
    if (handle == platform::invalidFindHandle) return std::nullopt;
    os.FindClose(handle);
    if (entry.fileAttributes & platform::file_attribute::directory) return std::nullopt;
    return static_cast<std::int64_t>(entry.fileSize);
}

std::string childPath(std::string_view folder, std::string_view name) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') path += '\\';
    return path += name;
}

std::vector<std::string> pathChain(std::string_view path) {
    std::vector<std::string> chain;
    if (path.size() < 3) return chain;
    std::string current(path.substr(0, 3));
    chain.push_back(current);
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) end = path.size();
        if (end > start) {
            current = childPath(current, path.substr(start, end - start));
            chain.push_back(current);
        }
        start = end + 1;
    }
    return chain;
}

}  // namespace toolkit
