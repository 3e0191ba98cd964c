#pragma once

#include <cstdint>
#include <string>

namespace main_window {

// The serial number as the window writes it: the first and the last four of its upper-case hex
// digits around a hyphen (1A2B-3C4D, ABC-ABC), or "Serial Number Not Retrieveable" for 0.
std::string serialNumberText(std::uint32_t serialNumber);

}  // namespace main_window
