#pragma once

#include <cstdint>
#include <string>

#include "volume_queries/volume_details.h"

namespace main_window {

// What the main window shows of a volume, wide enough for any volume: taken from the 32-bit
// record when the volume fits it, or from the system's own answers in 64-bit arithmetic when it
// does not. Byte totals beyond the 64-bit range stop at its largest value.
struct VolumeFigures {
    std::string volumeName;
    std::uint32_t serialNumber = 0;
    std::int64_t maxComponentLength = 0;
    std::string fileSystemName;
    std::int64_t bytesPerSector = 0;
    std::int64_t sectorsPerCluster = 0;
    std::int64_t totalClusters = 0;
    std::int64_t freeBytes = 0;
    std::int64_t totalBytes = 0;

    static VolumeFigures fromDetails(const volume_queries::VolumeDetails& details);
    static VolumeFigures fromAnswers(const volume_queries::VolumeAnswers& answers);
};

// The serial number as the window writes it: the first and the last four of its upper-case hex
// digits around a hyphen (1A2B-3C4D, ABC-ABC), or "Serial Number Not Retrieveable" for 0.
std::string serialNumberText(std::uint32_t serialNumber);

}  // namespace main_window
