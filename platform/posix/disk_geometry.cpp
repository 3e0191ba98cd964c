#include "platform/posix/disk_geometry.h"

#include <algorithm>
#include <limits>

namespace platform::posix {

namespace {

std::uint32_t clamp32(std::uint64_t value) {
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(value, std::numeric_limits<std::uint32_t>::max()));
}

}  // namespace

DiskGeometry diskGeometry(std::uint64_t blockSize, std::uint64_t availableBlocks,
                          std::uint64_t totalBlocks, std::uint32_t sectorSize) {
    DiskGeometry geometry;
    const std::uint64_t cluster = blockSize != 0 ? blockSize : sectorSize;
    if (cluster % sectorSize == 0) {
        geometry.bytesPerSector = sectorSize;
        geometry.sectorsPerCluster = clamp32(cluster / sectorSize);
    } else {
        geometry.bytesPerSector = clamp32(cluster);
        geometry.sectorsPerCluster = 1;
    }
    geometry.freeClusters = clamp32(availableBlocks);
    geometry.totalClusters = clamp32(totalBlocks);
    return geometry;
}

}  // namespace platform::posix
