#include "toolkit/date_format.h"

#include <gtest/gtest.h>

namespace {

using toolkit::DateTime;

struct DateRow {
    const char* name;
    DateTime date;
    const char* pattern;
    const char* expected;
};

class DateFormatTest : public ::testing::TestWithParam<DateRow> {};

TEST_P(DateFormatTest, FormatsAsTheRuntimeDoes) {
    EXPECT_EQ(toolkit::formatDate(GetParam().date, GetParam().pattern, {}), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DateFormatTest,
    ::testing::Values(
        DateRow{"timeWithLeadingZeros", {2004, 1, 5, 14, 3, 7}, "hh:mm:ss", "14:03:07"},
        DateRow{"midnight", {2004, 1, 5, 0, 0, 0}, "hh:mm:ss", "00:00:00"},
        DateRow{"lastSecondOfTheDay", {2004, 1, 5, 23, 59, 59}, "hh:mm:ss", "23:59:59"},
        DateRow{
            "longDate", {2004, 1, 5, 14, 3, 7}, "dddd dd, mmmm yyyy", "Monday 05, January 2004"},
        DateRow{"thirdOfTheMonth",
                {2005, 3, 4, 0, 0, 0},
                "dddd dd, mmmm yyyy",
                "Friday 04, March 2005"},
        DateRow{
            "zeroFileTime", {1601, 1, 1, 0, 0, 0}, "dddd dd, mmmm yyyy", "Monday 01, January 1601"},
        DateRow{
            "leapDay", {2000, 2, 29, 0, 0, 0}, "dddd dd, mmmm yyyy", "Tuesday 29, February 2000"},
        DateRow{"centuryWithoutLeapDay", {1900, 3, 1, 0, 0, 0}, "dddd", "Thursday"},
        DateRow{"farFuture",
                {30828, 9, 14, 2, 48, 5},
                "dddd dd, mmmm yyyy",
                "Thursday 14, September 30828"},
        DateRow{"monthAsNumberOutsideTime", {2004, 1, 5, 14, 3, 7}, "dd/mm/yy", "05/01/04"},
        DateRow{"minuteByN", {2004, 1, 5, 14, 3, 7}, "h:n", "14:3"},
        DateRow{"literalsKept", {2004, 1, 5, 14, 3, 7}, "yyyy;   x", "2004;   x"}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST(DateFormatLocaleTest, UsesTheLocalesNamesAndTimeSeparator) {
    toolkit::DateSymbols german;
    german.weekdayNames[1] = "Montag";
    german.monthNames[0] = "Januar";
    german.timeSeparator = ".";
    EXPECT_EQ(toolkit::formatDate({2004, 1, 5, 14, 3, 7}, "hh:mm:ss dddd dd, mmmm yyyy", german),
              "14.03.07 Montag 05, Januar 2004");
}

}  // namespace
