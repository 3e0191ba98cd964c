#include "platform/posix/unix_time.h"

#include <limits>

namespace platform::posix {

namespace {

constexpr std::int64_t ticksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t secondsTo1970 = 11'644'473'600;

}  // namespace

std::optional<FileTime> fileTimeOf(std::int64_t seconds, std::uint32_t nanoseconds) {
    if (nanoseconds > 999'999'999) return std::nullopt;
    constexpr std::int64_t maxTicks = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t lastSecond = maxTicks / ticksPerSecond - secondsTo1970;
    if (seconds < -secondsTo1970 || seconds > lastSecond) return std::nullopt;
    const std::int64_t wholeTicks = (seconds + secondsTo1970) * ticksPerSecond;
    const std::int64_t fraction = nanoseconds / 100;
    if (fraction > maxTicks - wholeTicks) return std::nullopt;
    const auto ticks = static_cast<std::uint64_t>(wholeTicks + fraction);
    return FileTime{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

}  // namespace platform::posix
