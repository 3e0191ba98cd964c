#include "toolkit/number_format.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace toolkit {

namespace {

struct Pattern {
    int minIntegerDigits = 0;
    bool grouping = false;
    int minDecimals = 0;
    int maxDecimals = 0;
};

Pattern parse(std::string_view pattern) {
    Pattern parsed;
    bool inDecimals = false;
    for (const char c : pattern) {
        if (c == '.') {
            inDecimals = true;
        } else if (c == '0' || c == '#') {
            if (inDecimals) {
                ++parsed.maxDecimals;
                if (c == '0') parsed.minDecimals = parsed.maxDecimals;
            } else if (c == '0') {
                ++parsed.minIntegerDigits;
            }
        } else if (c == ',' && !inDecimals) {
            parsed.grouping = true;
        }
    }
    return parsed;
}

std::string grouped(const std::string& digits, const std::string& separator) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

}  // namespace

std::string formatNumber(double value, std::string_view pattern, const NumberSymbols& symbols) {
    if (!std::isfinite(value)) return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    const Pattern p = parse(pattern);

    // Round half away from zero on the scaled value, then print it as whole digits; %.0f of a
    // whole number is exact, so no second rounding happens.
    const double scaled = std::round(std::fabs(value) * std::pow(10.0, p.maxDecimals));
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.0f", scaled);
    std::string digits = buffer;
    const auto decimalsCount = static_cast<std::size_t>(p.maxDecimals);
    const auto minIntegerDigits = static_cast<std::size_t>(p.minIntegerDigits);
    if (digits.size() <= decimalsCount)
        digits = std::string(decimalsCount + 1 - digits.size(), '0') + digits;

    std::string integer = digits.substr(0, digits.size() - decimalsCount);
    std::string decimals = digits.substr(integer.size());
    while (static_cast<int>(decimals.size()) > p.minDecimals && decimals.back() == '0')
        decimals.pop_back();
    // Digits that are not significant disappear, down to the pattern's minimum.
    const std::size_t significant = std::min(integer.find_first_not_of('0'), integer.size());
    integer = integer.substr(
        std::min(significant, integer.size() - std::min(integer.size(), minIntegerDigits)));
    if (integer.size() < minIntegerDigits)
        integer = std::string(minIntegerDigits - integer.size(), '0') + integer;

    std::string out = p.grouping ? grouped(integer, symbols.groupSeparator) : integer;
    if (!decimals.empty()) out += symbols.decimalPoint + decimals;
    const bool zero = scaled == 0.0;
    return (value < 0 && !zero) ? symbols.minusSign + out : out;
}

}  // namespace toolkit
