#pragma once

#include <string>
#include <string_view>

namespace volume_queries {

// The text a system call wrote into a buffer: up to its terminating NUL (the whole buffer when
// it has none), without blanks at either end. A blank-filled buffer that the call did not write
// comes out empty.
std::string writtenText(std::string_view buffer);

}  // namespace volume_queries
