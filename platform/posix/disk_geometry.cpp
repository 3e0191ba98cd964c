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
    std::uint64_t sectorsPerCluster = 1;
    if (cluster % sectorSize == 0) {
        geometry.bytesPerSector = sectorSize;
        sectorsPerCluster = cluster / sectorSize;
    } else {
        geometry.bytesPerSector = clamp32(cluster);
    }
    // Volumes beyond 16 TiB of 4 KiB blocks are common; a clamped count would make the product
    // of the four figures wrong, so the cluster grows instead, as FAT's and NTFS's do.
    constexpr std::uint64_t max32 = std::numeric_limits<std::uint32_t>::max();
    while (totalBlocks > max32 && sectorsPerCluster <= max32 / 2) {
        sectorsPerCluster *= 2;
        totalBlocks /= 2;
        availableBlocks /= 2;
    }
    geometry.sectorsPerCluster = clamp32(sectorsPerCluster);
    geometry.freeClusters = clamp32(availableBlocks);
    geometry.totalClusters = clamp32(totalBlocks);
    return geometry;
}

}  // namespace platform::posix
