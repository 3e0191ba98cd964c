#include "platform/posix/unix_time.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace {

using platform::FileTime;
using platform::posix::fileTimeOf;

std::optional<std::uint64_t> ticksOf(std::int64_t seconds, std::uint32_t nanoseconds) {
    const std::optional<FileTime> time = fileTimeOf(seconds, nanoseconds);
    if (!time) return std::nullopt;
    return std::uint64_t{time->highDateTime} << 32 | time->lowDateTime;
}

struct Row {
    std::int64_t seconds;
    std::uint32_t nanoseconds;
    std::optional<std::uint64_t> ticks;
};

TEST(UnixTimeTest, TimeStampsBecomeExactFileTimes) {
    const Row rows[] = {
        {0, 0, 0x019DB1DED53E8000ULL},                     // the epoch
        {1073311387, 123456789, 0x01C3D394A4DF7607ULL},    // 100-ns steps, the rest dropped
        {-14182940, 500000000, 0x019D30E09A895540ULL},     // before 1970
        {-1, 999999999, 0x019DB1DED53E8000ULL - 1},        // the last tick before the epoch
        {2147483648, 0, 0x01E9FD1ED53E8000ULL},            // past 32-bit time_t
        {-11644473600, 0, 0},                              // 1601-01-01, FILETIME's zero
        {910692730085, 477580700, 0x7FFFFFFFFFFFFFFFULL},  // the last time a FILETIME shows
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.seconds << "s " << row.nanoseconds << "ns");
        EXPECT_EQ(ticksOf(row.seconds, row.nanoseconds), row.ticks);
    }
}

TEST(UnixTimeTest, TimesAFileTimeCannotHoldAreRefused) {
    const Row rows[] = {
        {-11644473601, 999999999, std::nullopt},  // before 1601
        {910692730085, 477580800, std::nullopt},  // 2^63 intervals
        {910692730086, 0, std::nullopt},
        {INT64_MAX, 0, std::nullopt},
        {INT64_MIN, 0, std::nullopt},
        {0, 1000000000, std::nullopt},  // not a nanosecond count
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.seconds << "s " << row.nanoseconds << "ns");
        EXPECT_EQ(ticksOf(row.seconds, row.nanoseconds), row.ticks);
    }
}

}  // namespace
