#include "main_window/serial_number_text.h"

#include <algorithm>
#include <cstdio>

namespace main_window {

std::string serialNumberText(std::uint32_t serialNumber) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(serialNumber));
    const std::string digits = hex;
    // Fewer than eight digits make the two halves overlap: 12345 gives 1234-2345.
    const std::string text = digits.substr(0, 4) + "-" +
                             digits.substr(digits.size() - std::min<std::size_t>(4, digits.size()));
    return text == "0-0" ? "Serial Number Not Retrieveable" : text;
}

}  // namespace main_window
