#include "toolkit/file_length.h"

#include <string>

namespace toolkit {

// A lookup of exactly that name: a listing's first entry would take "*" and "?" in a Linux
// name for wildcards.
std::optional<std::int64_t> fileLength(platform::Platform& os, std::string_view path) {
    const std::string name(path);
    platform::FileAttributeData entry;
    if (!os.GetFileAttributesExA(name.c_str(), platform::file_info_level::standard, &entry))
        return std::nullopt;
    if (entry.fileAttributes & platform::file_attribute::directory) return std::nullopt;
    return static_cast<std::int64_t>(entry.fileSize);
}

}  // namespace toolkit
