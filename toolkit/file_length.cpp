#include "toolkit/file_length.h"

#include <string>

namespace toolkit {

std::optional<std::int64_t> fileLength(platform::Platform& os, std::string_view path) {
    const std::string name(path);
    platform::FindData entry;
    const platform::FindHandle handle = os.FindFirstFileA(name.c_str(), &entry);
    if (handle == platform::invalidFindHandle) return std::nullopt;
    os.FindClose(handle);
    if (entry.fileAttributes & platform::file_attribute::directory) return std::nullopt;
    return static_cast<std::int64_t>(entry.fileSize);
}

}  // namespace toolkit
