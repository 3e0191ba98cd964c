#include "volume_queries/volume_answers.h"

#include <limits>

namespace volume_queries {

namespace {

std::int64_t bytes(std::uint32_t clusters, std::uint32_t sectorsPerCluster,
                   std::uint32_t bytesPerSector) {
    // Two 32-bit factors always fit 64 bits; the third one may not.
    const std::uint64_t sectors = std::uint64_t{clusters} * sectorsPerCluster;
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (bytesPerSector != 0 && sectors > limit / bytesPerSector)
        return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(sectors * bytesPerSector);
}

}  // namespace

std::int64_t VolumeAnswers::freeBytes() const {
    return bytes(freeClusters, sectorsPerCluster, bytesPerSector);
}

std::int64_t VolumeAnswers::totalBytes() const {
    return bytes(totalClusters, sectorsPerCluster, bytesPerSector);
}

}  // namespace volume_queries
