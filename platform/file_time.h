#pragma once

#include <optional>

#include "platform/files.h"

namespace platform {

// The calendar date and time (UTC, proleptic Gregorian) of a FILETIME value, as
// FileTimeToSystemTime makes it: 0 is Monday 1601-01-01 00:00:00.000; sub-millisecond intervals
// are dropped. Returns nullopt for values of 2^63 and beyond, which Windows refuses too.
std::optional<SystemTime> systemTimeOf(const FileTime& fileTime);

}  // namespace platform
