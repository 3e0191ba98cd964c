#pragma once

#include <cstdint>
#include <stdexcept>

namespace volume_queries {

// The one failure of the program's fixed-width arithmetic: a result that does not fit its
// 32-bit signed type. Callers that can show something better catch it; elsewhere the toolkit
// reports it as an uncaught failure.
class ArithmeticOverflow : public std::overflow_error {
  public:
    ArithmeticOverflow() : std::overflow_error("Overflow") {}
};

// a × b in 32-bit signed arithmetic; throws ArithmeticOverflow when the product does not fit.
std::int32_t multiplyChecked(std::int32_t a, std::int32_t b);

// A count the system reports as unsigned 32 bits, as a 32-bit signed number; throws
// ArithmeticOverflow above 2,147,483,647.
std::int32_t toInt32Checked(std::uint32_t count);

}  // namespace volume_queries
