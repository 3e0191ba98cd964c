#include "toolkit/number_format.h"

#include <gtest/gtest.h>

namespace {

struct FormatRow {
    const char* name;
    double value;
    const char* pattern;
    const char* expected;
};

class NumberFormatTest : public ::testing::TestWithParam<FormatRow> {};

TEST_P(NumberFormatTest, FormatsAsTheRuntimeDoes) {
    const FormatRow& row = GetParam();
    EXPECT_EQ(toolkit::formatNumber(row.value, row.pattern, {}), row.expected);
}

constexpr const char* kb = "###,###,###,###,##0";

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberFormatTest,
    ::testing::Values(FormatRow{"zero", 0, kb, "0"}, FormatRow{"belowOneThousand", 999, kb, "999"},
                      FormatRow{"firstGroup", 1000, kb, "1,000"},
                      FormatRow{"manyGroups", 123456789012.0, kb, "123,456,789,012"},
                      FormatRow{"roundsDown", 1953.124, kb, "1,953"},
                      FormatRow{"roundsUp", 2929.6875, kb, "2,930"},
                      FormatRow{"halfAwayFromZero", 2.5, kb, "3"},
                      FormatRow{"negativeHalfAwayFromZero", -2.5, kb, "-3"},
                      FormatRow{"negativeGrouped", -1234567, kb, "-1,234,567"},
                      FormatRow{"tinyNegativeRoundsToZeroWithoutSign", -0.4, kb, "0"},
                      FormatRow{"beyondThirtyTwoBits", 8589934592.0, kb, "8,589,934,592"},
                      FormatRow{"noGrouping", 1234567, "0", "1234567"},
                      FormatRow{"minimumDigits", 7, "000", "007"},
                      FormatRow{"hashesOnlyDropZero", 0, "###", ""},
                      FormatRow{"fixedDecimals", 3.14159, "0.00", "3.14"},
                      FormatRow{"optionalDecimals", 3.1, "0.##", "3.1"},
                      FormatRow{"optionalDecimalsGone", 3.0, "0.##", "3"},
                      FormatRow{"decimalsCarryIntoInteger", 9.996, "#,##0.00", "10.00"}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST(NumberFormatLocaleTest, UsesTheLocaleSymbols) {
    const toolkit::NumberSymbols german{".", ",", "-"};
    EXPECT_EQ(toolkit::formatNumber(1234567.891, "#,##0.00", german), "1.234.567,89");
    const toolkit::NumberSymbols swiss{"\xE2\x80\x99", ".", "\xE2\x88\x92"};
    EXPECT_EQ(toolkit::formatNumber(-1234, "#,##0", swiss),
              "\xE2\x88\x92"
              "1\xE2\x80\x99"
              "234");
}

}  // namespace
