#include "platform/file_time.h"

#include <cstdint>

namespace platform {

namespace {

constexpr std::int64_t ticksPerMillisecond = 10'000;
constexpr std::int64_t millisecondsPerDay = 86'400'000;
// Days from 1601-01-01 to 1970-01-01.
constexpr std::int64_t daysTo1970 = 134'774;

struct Date {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// The civil date of a day counted from 1970-01-01, by eras of 400 years (146097 days) that start
// on 1 March, so that the leap day falls at the end of each shifted year.
Date dateOf(std::int64_t days) {
    days += 719'468;
    const std::int64_t era = (days >= 0 ? days : days - 146'096) / 146'097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146'097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const unsigned month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const std::int64_t year = std::int64_t{yearOfEra} + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

}  // namespace

std::optional<SystemTime> systemTimeOf(const FileTime& fileTime) {
    const std::uint64_t ticks = std::uint64_t{fileTime.highDateTime} << 32 | fileTime.lowDateTime;
    if (ticks >= std::uint64_t{1} << 63) return std::nullopt;
    const auto milliseconds = static_cast<std::int64_t>(ticks) / ticksPerMillisecond;
    const std::int64_t days = milliseconds / millisecondsPerDay;
    const std::int64_t ofDay = milliseconds % millisecondsPerDay;
    const Date date = dateOf(days - daysTo1970);
    SystemTime time;
    time.year = static_cast<std::uint16_t>(date.year);
    time.month = static_cast<std::uint16_t>(date.month);
    time.day = static_cast<std::uint16_t>(date.day);
    // 1601-01-01 was a Monday.
    time.dayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);
    time.hour = static_cast<std::uint16_t>(ofDay / 3'600'000);
    time.minute = static_cast<std::uint16_t>(ofDay / 60'000 % 60);
    time.second = static_cast<std::uint16_t>(ofDay / 1000 % 60);
    time.milliseconds = static_cast<std::uint16_t>(ofDay % 1000);
    return time;
}

bool fileTimeToSystemTime(const FileTime* fileTime, SystemTime* systemTime) {
    if (fileTime == nullptr || systemTime == nullptr) return false;
    const std::optional<SystemTime> time = systemTimeOf(*fileTime);
    if (!time) return false;
    *systemTime = *time;
    return true;
}

}  // namespace platform
