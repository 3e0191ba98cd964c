#pragma once

#include <cstdint>
#include <optional>

#include "platform/files.h"

namespace platform::posix {

// The FILETIME of a Linux time stamp (seconds since 1970-01-01 UTC, which may be negative, and
// nanoseconds 0 to 999999999), exact to the 100 nanoseconds that FILETIME counts. Returns nullopt
// for times before 1601-01-01 and from 2^63 intervals on (the year 30828), which FILETIME's
// users cannot show, and for nanoseconds out of range.
std::optional<FileTime> fileTimeOf(std::int64_t seconds, std::uint32_t nanoseconds);

}  // namespace platform::posix
