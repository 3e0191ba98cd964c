#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/platform.h"

namespace toolkit {

// The runtime's length of a named file at a DOS path, in bytes (64-bit: files of 2 GiB and more
// keep their size); nullopt when the file cannot be found or names a folder. The name is looked
// up as it is: "*" and "?" in it are no wildcards.
std::optional<std::int64_t> fileLength(platform::Platform& os, std::string_view path);

}  // namespace toolkit
