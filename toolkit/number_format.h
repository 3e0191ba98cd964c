#pragma once

#include <string>
#include <string_view>

namespace toolkit {

// The locale's symbols for numbers.
struct NumberSymbols {
    std::string groupSeparator = ",";
    std::string decimalPoint = ".";
    std::string minusSign = "-";
};

// Formats `value` with a number pattern of the forms runtime: '0' is a digit always shown, '#'
// a digit shown when significant, ',' between integer digits asks for thousands grouping, '.'
// starts the decimals. "###,###,##0" shows 1234567.5 as 1,234,568; "0.00" shows 3.14159 as 3.14.
// Rounds half away from zero. Characters other than these are not supported and are ignored.
// A value that is not finite is written as the C library writes it ("inf", "nan").
std::string formatNumber(double value, std::string_view pattern, const NumberSymbols& symbols);

}  // namespace toolkit
