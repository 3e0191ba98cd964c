#pragma once

#include <array>
#include <string>
#include <string_view>

namespace toolkit {

// A calendar date and time of day, as the runtime's date formatting takes it (proleptic
// Gregorian calendar; no time zone).
struct DateTime {
    int year = 1601;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The locale's names and separators for dates.
struct DateSymbols {
    std::array<std::string, 7> weekdayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    std::array<std::string, 12> monthNames{"January",   "February", "March",    "April",
                                           "May",       "June",     "July",     "August",
                                           "September", "October",  "November", "December"};
    std::string timeSeparator = ":";
};

// The day of the week of a date, 0 for Sunday.
int weekdayOf(int year, int month, int day);

// Formats a date with a date pattern of the forms runtime: "d"/"dd" the day (without/with a
// leading zero), "dddd" the weekday's name, "m"/"mm" the month, "mmmm" its name, "yy"/"yyyy" the
// year, "h"/"hh" the hour (0 to 23), "n"/"nn" the minute, "s"/"ss" the second, ":" the locale's
// time separator. "m" and "mm" right after an hour stand for the minute. Anything else is
// copied as it is. "hh:mm:ss" gives 14:03:07; "dddd dd, mmmm yyyy" gives Monday 05, January
// 2004.
std::string formatDate(const DateTime& date, std::string_view pattern, const DateSymbols& symbols);

}  // namespace toolkit
