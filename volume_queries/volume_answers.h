#pragma once

#include <cstdint>
#include <string>

namespace volume_queries {

// The system's own answers about a volume (ModVolscope::QueryVolume): the trimmed names and the
// unsigned 32-bit counts exactly as reported, wide enough for any volume. What the main window
// shows is read from them; the 32-bit VolumeDetails record is fitted from them. A new record
// holds empty texts and zeros, which is also what a letter without a volume yields.
struct VolumeAnswers {
    std::string volumeName;
    std::uint32_t serialNumber = 0;
    std::uint32_t maxComponentLength = 0;
    std::string fileSystemName;
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;

    // freeClusters × sectorsPerCluster × bytesPerSector, and the same for totalClusters, in
    // 64-bit arithmetic: never negative, and stopping at the largest 64-bit value, which no
    // real volume reaches.
    std::int64_t freeBytes() const;
    std::int64_t totalBytes() const;

    friend bool operator==(const VolumeAnswers&, const VolumeAnswers&) = default;
};

}  // namespace volume_queries
