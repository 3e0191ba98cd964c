#pragma once

#include <cstdint>

namespace platform::posix {

// A volume's size the way GetDiskFreeSpaceA reports it.
struct DiskGeometry {
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t freeClusters = 0;
    std::uint32_t totalClusters = 0;
};

// The geometry of a file system with blocks of blockSize bytes (statvfs's f_frsize), of which
// availableBlocks are free to the user (f_bavail) and totalBlocks exist (f_blocks), on a disk with
// sectorSize-byte logical sectors (sectorSize > 0). A block is a cluster of blockSize / sectorSize
// sectors; a block that is no whole number of sectors is reported as one sector of its own size,
// and a block size of 0 as one sector. When the total does not fit 32 bits, the sectors per
// cluster are doubled (and both counts halved, rounding down) until it does, so that clusters x
// sectors x bytes stays the volume's size, to within a cluster. Only where sectors per cluster
// would pass 32 bits themselves are the counts clamped to 0xFFFFFFFF.
DiskGeometry diskGeometry(std::uint64_t blockSize, std::uint64_t availableBlocks,
                          std::uint64_t totalBlocks, std::uint32_t sectorSize);

}  // namespace platform::posix
