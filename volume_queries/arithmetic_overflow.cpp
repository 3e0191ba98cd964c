#include "volume_queries/arithmetic_overflow.h"

#include <limits>

namespace volume_queries {

std::int32_t multiplyChecked(std::int32_t a, std::int32_t b) {
    const std::int64_t product = std::int64_t{a} * b;
    if (product > std::numeric_limits<std::int32_t>::max() ||
        product < std::numeric_limits<std::int32_t>::min())
        throw ArithmeticOverflow();
    return static_cast<std::int32_t>(product);
}

std::int32_t toInt32Checked(std::uint32_t count) {
    if (count > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max()))
        throw ArithmeticOverflow();
    return static_cast<std::int32_t>(count);
}

}  // namespace volume_queries
