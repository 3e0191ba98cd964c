#pragma once

#include <optional>

#include "platform/files.h"

namespace platform {

// The calendar date and time (UTC, proleptic Gregorian) of a FILETIME value, as
// FileTimeToSystemTime makes it: 0 is Monday 1601-01-01 00:00:00.000; sub-millisecond intervals
// are dropped. Returns nullopt for values of 2^63 and beyond, which Windows refuses too.
std::optional<SystemTime> systemTimeOf(const FileTime& fileTime);

// FileTimeToSystemTime's contract (platform.h) for the backends that compute it: systemTimeOf's
// answer in systemTime. Returns false, leaving systemTime as it was, where systemTimeOf gives
// nullopt and for null arguments.
bool fileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime);

}  // namespace platform
