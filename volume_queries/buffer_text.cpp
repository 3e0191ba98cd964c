#include "volume_queries/buffer_text.h"

namespace volume_queries {

std::string writtenText(std::string_view buffer) {
    const std::string_view written = buffer.substr(0, buffer.find('\0'));
    const std::size_t first = written.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(written.substr(first, written.find_last_not_of(' ') - first + 1));
}

}  // namespace volume_queries
