#include "toolkit/date_format.h"

#include <cstdio>

namespace toolkit {

namespace {

std::string number(int value, bool twoDigits) {
    char text[16];
    std::snprintf(text, sizeof text, twoDigits ? "%02d" : "%d", value);
    return text;
}

// The name at a 1-based index, or nothing for an index outside the table.
template <std::size_t N>
std::string nameAt(const std::array<std::string, N>& names, int index) {
    return index >= 1 && index <= static_cast<int>(N) ? names[static_cast<std::size_t>(index - 1)]
                                                      : std::string();
}

}  // namespace

int weekdayOf(int year, int month, int day) {
    // Sakamoto's method over the proleptic Gregorian calendar.
    static constexpr int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    const int weekday =
        (year + year / 4 - year / 100 + year / 400 + offsets[(month - 1) % 12] + day) % 7;
    return weekday < 0 ? weekday + 7 : weekday;
}

std::string formatDate(const DateTime& date, std::string_view pattern, const DateSymbols& symbols) {
    std::string out;
    bool afterHour = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = static_cast<char>(pattern[i] | 0x20);  // tokens in either case
        std::size_t run = 1;
        while (i + run < pattern.size() && static_cast<char>(pattern[i + run] | 0x20) == c &&
               (c == 'd' || c == 'm' || c == 'y' || c == 'h' || c == 'n' || c == 's'))
            ++run;
        const bool twoDigits = run >= 2;
        switch (pattern[i] == ':' ? ':' : c) {
            case 'd':
                out += run >= 4 ? symbols.weekdayNames[static_cast<std::size_t>(
                                      weekdayOf(date.year, date.month, date.day))]
                                : number(date.day, twoDigits);
                break;
            case 'm':
                if (afterHour && run <= 2)
                    out += number(date.minute, twoDigits);
                else
                    out += run >= 4 ? nameAt(symbols.monthNames, date.month)
                                    : number(date.month, twoDigits);
                break;
            case 'y':
                out += run >= 3 ? number(date.year, false) : number(date.year % 100, true);
                break;
            case 'h':
                out += number(date.hour, twoDigits);
                break;
            case 'n':
                out += number(date.minute, twoDigits);
                break;
            case 's':
                out += number(date.second, twoDigits);
                break;
            case ':':
                out += symbols.timeSeparator;
                break;
            default:
                out += pattern.substr(i, run);
                break;
        }
        if (c == 'h')
            afterHour = true;
        else if (c == 'd' || c == 'm' || c == 'y' || c == 'n' || c == 's')
            afterHour = false;
        i += run;
    }
    return out;
}

}  // namespace toolkit
