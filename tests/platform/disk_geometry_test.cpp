#include "platform/posix/disk_geometry.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace {

struct GeometryCase {
    const char* name;
    std::uint64_t blockSize;
    std::uint64_t availableBlocks;
    std::uint64_t totalBlocks;
    std::uint32_t sectorSize;
    std::uint32_t sectorsPerCluster;
    std::uint32_t bytesPerSector;
    std::uint32_t freeClusters;
    std::uint32_t totalClusters;
};

// Failures name the row rather than dump its bytes.
void PrintTo(const GeometryCase& row, std::ostream* out) {
    *out << row.name;
}

constexpr std::uint64_t beyond32Bits = 0x1'0000'0005ULL;
constexpr std::uint32_t max32 = 0xFFFFFFFFU;

const GeometryCase geometryCases[] = {
    {"FourKibBlocksOn512ByteSectors", 4096, 100, 1000, 512, 8, 512, 100, 1000},
    {"OneKibBlocksOn512ByteSectors", 1024, 7, 9, 512, 2, 512, 7, 9},
    {"FourKibBlocksOnFourKibSectors", 4096, 7, 9, 4096, 1, 4096, 7, 9},
    {"BlockSmallerThanTheSector", 512, 7, 9, 4096, 1, 512, 7, 9},
    {"BlockNotAWholeNumberOfSectors", 6000, 7, 9, 4096, 1, 6000, 7, 9},
    {"NoBlockSize", 0, 7, 9, 512, 1, 512, 7, 9},
    // Beyond 32 bits the cluster doubles until the count fits, both counts rounded down.
    {"TotalBeyond32BitsDoublesTheCluster", 4096, 7, beyond32Bits, 512, 16, 512, 3, 0x8000'0002U},
    {"FreeBeyond32BitsHalvesWithIt", 4096, beyond32Bits, beyond32Bits, 512, 16, 512, 0x8000'0002U,
     0x8000'0002U},
    {"HundredTebibyteTmpfs", 4096, 100ULL << 28, 100ULL << 28, 512, 64, 512, 100U << 25,
     100U << 25},
    {"OddBlockSizeDoublesToo", 6000, 7, beyond32Bits, 4096, 2, 6000, 3, 0x8000'0002U},
    {"ExactlyThe32BitMaximumIsKept", 4096, max32, max32, 512, 8, 512, max32, max32},
    {"BeyondWhatDoublingReachesIsClamped", 1ULL << 31, 7, ~0ULL, 1, 0x8000'0000U, 1, 7, max32},
    {"EmptyVolume", 4096, 0, 0, 512, 8, 512, 0, 0},
};

class DiskGeometry : public testing::TestWithParam<GeometryCase> {};

TEST_P(DiskGeometry, SplitsBlocksIntoSectors) {
    const GeometryCase& row = GetParam();
    const platform::posix::DiskGeometry geometry = platform::posix::diskGeometry(
        row.blockSize, row.availableBlocks, row.totalBlocks, row.sectorSize);
    EXPECT_EQ(geometry.sectorsPerCluster, row.sectorsPerCluster);
    EXPECT_EQ(geometry.bytesPerSector, row.bytesPerSector);
    EXPECT_EQ(geometry.freeClusters, row.freeClusters);
    EXPECT_EQ(geometry.totalClusters, row.totalClusters);
}

INSTANTIATE_TEST_SUITE_P(Rows, DiskGeometry, testing::ValuesIn(geometryCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
