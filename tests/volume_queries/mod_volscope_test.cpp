#include "volume_queries/mod_volscope.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "tests/support/fake_platform.h"
#include "volume_queries/arithmetic_overflow.h"
#include "volume_queries/buffer_text.h"

namespace {

using volume_queries::ArithmeticOverflow;
using volume_queries::ModVolscope;
using volume_queries::VolumeAnswers;
using volume_queries::VolumeDetails;

class QueryVolumeDetailsTest : public ::testing::Test {
  protected:
    QueryVolumeDetailsTest() { mod.CurrentDrive = "D"; }

    fake::Drive& drive(fake::Drive d = {}) {
        os.setDrive('D', std::move(d));
        return os.drive('D');
    }

    // A record that holds something in every field, to see what a query leaves alone.
    static VolumeDetails stale() { return {"old", 7, 8, "OLDFS", 9, 10, 11, 12, 13, 14}; }

    fake::Platform os;
    ModVolscope mod{os};
};

TEST_F(QueryVolumeDetailsTest, LetterWithoutDriveYieldsEmptyNamesAndZerosWithoutFailure) {
    VolumeDetails details = stale();
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(details, VolumeDetails{});
}

TEST_F(QueryVolumeDetailsTest, DriveWithoutMediumYieldsEmptyNamesAndZeros) {
    drive({.type = 5, .hasVolume = false});
    VolumeDetails details = stale();
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(details, VolumeDetails{});
}

TEST_F(QueryVolumeDetailsTest, AsksTheSystemAboutTheRootOfTheCurrentDrive) {
    drive();
    VolumeDetails details;
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(os.calls(),
              (std::vector<std::string>{"GetVolumeInformationA(D:\\)", "GetDiskFreeSpaceA(D:\\)"}));
}

TEST_F(QueryVolumeDetailsTest, FillsEveryFieldFromTheAnswers) {
    drive({.label = "DATA",
           .serialNumber = 0x1A2B3C4D,
           .maxComponentLength = 255,
           .fileSystem = "NTFS",
           .sectorsPerCluster = 8,
           .bytesPerSector = 512,
           .freeClusters = 1000,
           .totalClusters = 4000});
    VolumeDetails details;
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(details, (VolumeDetails{"DATA", 0x1A2B3C4D, 255, "NTFS", 512, 8, 1000, 4000,
                                      4'096'000, 16'384'000}));
}

TEST_F(QueryVolumeDetailsTest, NamesLoseTheirBlanksAtBothEndsButKeepInnerOnes) {
    drive({.label = "  My  Disk   ", .fileSystem = " ext4 "});
    VolumeDetails details;
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(details.VolumeName, "My  Disk");
    EXPECT_EQ(details.FileSystemName, "ext4");
}

TEST_F(QueryVolumeDetailsTest, VolumeWithoutLabelHasEmptyNameAndTheOtherFields) {
    drive({.label = "", .serialNumber = 5, .freeClusters = 1, .totalClusters = 2});
    VolumeDetails details;
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(details.VolumeName, "");
    EXPECT_EQ(details.SerialNumber, 5);
    EXPECT_EQ(details.TotalBytes, 8192);
}

TEST_F(QueryVolumeDetailsTest, SerialNumberKeepsAllThirtyTwoBits) {
    drive({.serialNumber = 0xFFFFFFFF});
    VolumeDetails details;
    mod.QueryVolumeDetails(details);
    EXPECT_EQ(static_cast<std::uint32_t>(details.SerialNumber), 0xFFFFFFFFu);
}

// Byte totals at the record's limit and one past it, for free and for total space.
struct ByteLimitRow {
    const char* name;
    std::uint32_t freeClusters;
    std::uint32_t totalClusters;
    std::uint32_t sectorsPerCluster;
    std::uint32_t bytesPerSector;
    bool overflows;
};

class ByteLimitTest : public QueryVolumeDetailsTest,
                      public ::testing::WithParamInterface<ByteLimitRow> {};

TEST_P(ByteLimitTest, FillsTheRecordUpToTheLimitAndLeavesItUntouchedBeyond) {
    const ByteLimitRow& row = GetParam();
    drive({.label = "BIG",
           .sectorsPerCluster = row.sectorsPerCluster,
           .bytesPerSector = row.bytesPerSector,
           .freeClusters = row.freeClusters,
           .totalClusters = row.totalClusters});
    VolumeDetails details = stale();
    if (row.overflows) {
        EXPECT_THROW(mod.QueryVolumeDetails(details), ArithmeticOverflow);
        EXPECT_EQ(details, stale());
    } else {
        mod.QueryVolumeDetails(details);
        EXPECT_EQ(std::int64_t{details.TotalBytes},
                  std::int64_t{row.totalClusters} * row.sectorsPerCluster * row.bytesPerSector);
        EXPECT_EQ(details.VolumeName, "BIG");
    }
    // The answers themselves hold any volume, so a large one can still be shown.
    const VolumeAnswers answers = mod.QueryVolume();
    EXPECT_EQ(answers.totalClusters, row.totalClusters);
    EXPECT_EQ(answers.freeClusters, row.freeClusters);
    EXPECT_EQ(answers.volumeName, "BIG");
}

// 2,147,483,647 = 7 × 151 × 31 × 65,537; 2,147,483,648 = 2^31.
INSTANTIATE_TEST_SUITE_P(
    Rows, ByteLimitTest,
    ::testing::Values(ByteLimitRow{"totalAtLimit", 0, 2'147'483'647, 1, 1, false},
                      ByteLimitRow{"totalAtLimitAsProduct", 7, 65'537 * 31, 7, 151, false},
                      ByteLimitRow{"totalOnePastLimit", 0, 4'194'304, 8, 64, true},
                      ByteLimitRow{"freeAtLimit", 2'147'483'647, 2'147'483'647, 1, 1, false},
                      ByteLimitRow{"freeOnePastLimit", 4'194'304, 1, 8, 64, true},
                      ByteLimitRow{"firstProductOverflows", 1, 2'147'483'647, 2, 1, true},
                      ByteLimitRow{"clusterCountBeyondSignedRange", 0, 2'147'483'648u, 1, 1, true},
                      ByteLimitRow{"typicalTerabyteDisk", 100'000'000, 244'190'646, 8, 512, true}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(QueryVolumeDetailsTest, AnswersOfALetterWithoutVolumeAreEmptyNamesAndZeros) {
    drive({.type = 5, .hasVolume = false});
    EXPECT_EQ(mod.QueryVolume(), VolumeAnswers{});
}

// Byte totals of the answers in 64-bit arithmetic.
struct ByteTotalRow {
    const char* name;
    VolumeAnswers answers;
    std::int64_t freeBytes;
    std::int64_t totalBytes;
};

TEST(VolumeAnswersTest, ByteTotalsHoldAnyVolumeAndAreNeverNegative) {
    constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
    const ByteTotalRow rows[] = {
        {"noVolume", {}, 0, 0},
        {"typical",
         {.sectorsPerCluster = 8,
          .bytesPerSector = 512,
          .freeClusters = 1000,
          .totalClusters = 4000},
         4'096'000,
         16'384'000},
        // 100 TiB in 32 KiB clusters; a quarter of it free.
        {"hundredTebibytes",
         {.sectorsPerCluster = 64,
          .bytesPerSector = 512,
          .freeClusters = 838'860'800,
          .totalClusters = 3'355'443'200u},
         27'487'790'694'400,
         109'951'162'777'600},
        {"everyCountAtItsLargest",
         {.sectorsPerCluster = 0xFFFFFFFF,
          .bytesPerSector = 0xFFFFFFFF,
          .freeClusters = 0,
          .totalClusters = 0xFFFFFFFF},
         0,
         largest},
        {"justBelowTheLargest",
         {.sectorsPerCluster = 0x80000000u,
          .bytesPerSector = 1,
          .freeClusters = 1,
          .totalClusters = 0xFFFFFFFF},
         0x80000000,
         0x7FFF'FFFF'8000'0000},
    };
    for (const ByteTotalRow& row : rows) {
        EXPECT_EQ(row.answers.freeBytes(), row.freeBytes) << row.name;
        EXPECT_EQ(row.answers.totalBytes(), row.totalBytes) << row.name;
    }
}

TEST(WrittenTextTest, EndsAtTheTerminatorWithoutBlanksAtEitherEnd) {
    using namespace std::string_literals;
    const std::pair<std::string, std::string> rows[] = {
        {std::string(255, ' '), ""},
        {"  My  Disk \0stale rest"s, "My  Disk"},
        {"\0written later"s, ""},
        {"C:\\PROGRA~1\\A.TXT\0   "s, "C:\\PROGRA~1\\A.TXT"},
        {"no terminator ", "no terminator"},
        {"", ""},
    };
    for (const auto& [buffer, text] : rows) EXPECT_EQ(volume_queries::writtenText(buffer), text);
}

TEST(ArithmeticOverflowTest, IsAnOverflowErrorNamedOverflow) {
    const ArithmeticOverflow failure;
    const std::overflow_error& asStandard = failure;
    EXPECT_STREQ(asStandard.what(), "Overflow");
}

TEST(DriveRootTest, IsTheLetterWithColonAndBackslash) {
    EXPECT_EQ(ModVolscope::driveRoot("C"), "C:\\");
    EXPECT_EQ(ModVolscope::driveRoot("Z"), "Z:\\");
}

}  // namespace

namespace {

class NeighbourDriveTypeTest : public ::testing::Test {
  protected:
    fake::Platform os;
    volume_queries::ModVolscope mod{os};
};

TEST_F(NeighbourDriveTypeTest, AtAThereIsNoPreviousLetterAndNothingIsAsked) {
    os.setDrive('B', {.type = platform::drive_type::removable});
    mod.CurrentDrive = "A";
    EXPECT_EQ(mod.PrevDriveType(), std::nullopt);
    EXPECT_TRUE(os.calls().empty());
    EXPECT_EQ(mod.NextDriveType(), platform::drive_type::removable);
    EXPECT_EQ(os.calls(), std::vector<std::string>{"GetDriveTypeA(B:\\)"});
}

TEST_F(NeighbourDriveTypeTest, AtZThereIsNoNextLetterAndNothingIsAsked) {
    os.setDrive('Y', {.type = platform::drive_type::remote});
    mod.CurrentDrive = "Z";
    EXPECT_EQ(mod.NextDriveType(), std::nullopt);
    EXPECT_TRUE(os.calls().empty());
    EXPECT_EQ(mod.PrevDriveType(), platform::drive_type::remote);
}

TEST_F(NeighbourDriveTypeTest, EveryCodeIsPassedOnUnchangedAndTheLetterStays) {
    mod.CurrentDrive = "M";
    EXPECT_EQ(mod.NextDriveType(), platform::drive_type::noRootDir) << "no drive: code 1";
    for (const std::uint32_t code : {0u, 2u, 3u, 4u, 5u, 6u}) {
        os.setDrive('L', {.type = code});
        EXPECT_EQ(mod.PrevDriveType(), code);
    }
    EXPECT_EQ(mod.CurrentDrive, "M");
}

TEST_F(NeighbourDriveTypeTest, NoValueMatchesNoDriveTypeCode) {
    mod.CurrentDrive = "Z";
    const std::optional<std::uint32_t> none = mod.NextDriveType();
    for (std::uint32_t code = 1; code <= 6; ++code) EXPECT_NE(none, code);
}

}  // namespace
