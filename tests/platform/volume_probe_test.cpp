#include "platform/posix/volume_probe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

namespace {

struct SerialCase {
    const char* name;
    const char* uuid;
    std::uint32_t serial;
};

// Failures name the row rather than dump its bytes.
void PrintTo(const SerialCase& row, std::ostream* out) {
    *out << row.name;
}

const SerialCase serialCases[] = {
    {"Vfat", "1A2B-3C4D", 0x1A2B3C4DU},
    {"VfatLowerCase", "1a2b-3c4d", 0x1A2B3C4DU},
    {"Exfat", "0123-ABCD", 0x0123ABCDU},
    {"NtfsTakesTheLowHalf", "1234567890ABCDEF", 0x90ABCDEFU},
    {"Ext4TakesTheFirstEightDigits", "1a2b3c4d-5e6f-4a1b-8c2d-3e4f5a6b7c8d", 0x1A2B3C4DU},
    {"BtrfsTakesTheFirstEightDigits", "FEDCBA98-7654-3210-fedc-ba9876543210", 0xFEDCBA98U},
    {"AllOnes", "ffffffff-ffff-ffff-ffff-ffffffffffff", 0xFFFFFFFFU},
    {"Empty", "", 0},
    {"FatWithoutDash", "1A2B3C4D", 0},
    {"FatWithOtherSeparator", "1A2B_3C4D", 0},
    {"FatWithNonHexDigit", "1A2B-3C4G", 0},
    {"FatWithSign", "+A2B-3C4D", 0},
    {"FatWithHexPrefix", "0x1A-3C4D", 0},
    {"FatWithLeadingBlank", " 1A2-3C4D", 0},
    {"NtfsWithNonHexDigit", "1234567890ABCDEZ", 0},
    {"UuidCutShort", "1a2b3c4d-5e6f-4a1b-8c2d", 0},
    {"UuidWithDashesMisplaced", "1a2b3c4d5-e6f-4a1b-8c2d-3e4f5a6b7c8d", 0},
    {"UuidWithNonHexTail", "1a2b3c4d-5e6f-4a1b-8c2d-3e4f5a6b7c8x", 0},
    {"Iso9660Date", "2023-01-01-12-00-00-00", 0},
};

class SerialFromUuid : public testing::TestWithParam<SerialCase> {};

TEST_P(SerialFromUuid, ReadsTheVolumeSerial) {
    EXPECT_EQ(platform::posix::serialFromUuid(GetParam().uuid), GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialFromUuid, testing::ValuesIn(serialCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct UdevNameCase {
    const char* name;
    const char* encoded;
    const char* decoded;
};

void PrintTo(const UdevNameCase& row, std::ostream* out) {
    *out << row.name;
}

const UdevNameCase udevNameCases[] = {
    {"Plain", "DATA", "DATA"},
    {"Blank", "Test\\x20Vol", "Test Vol"},
    {"BlanksAtBothEnds", "\\x20\\x20Test\\x20Vol\\x20\\x20", "  Test Vol  "},
    {"Slash", "a\\x2fb", "a/b"},
    {"UpperCaseHex", "a\\x2Fb", "a/b"},
    {"Backslash", "a\\x5cb", "a\\b"},
    {"Utf8Bytes", "tr\\xc3\\xa8s", "tr\xc3\xa8s"},
    {"LoneBackslashIsKept", "a\\b", "a\\b"},
    {"EscapeCutShortIsKept", "ab\\x2", "ab\\x2"},
    {"EscapeWithNonHexIsKept", "ab\\xZZ", "ab\\xZZ"},
    {"BackslashAtTheEndIsKept", "ab\\", "ab\\"},
};

class UdevName : public testing::TestWithParam<UdevNameCase> {};

TEST_P(UdevName, UndoesUdevEscapes) {
    EXPECT_EQ(platform::posix::unescapeUdevName(GetParam().encoded), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(Rows, UdevName, testing::ValuesIn(udevNameCases),
                         [](const auto& row) { return std::string(row.param.name); });

// udev's record of a device, as /run/udev/data keeps it: what users who may not read the device
// learn of its file system.
TEST(UdevProperty, IsTheValueOfItsOwnKeyAlone) {
    const char* database =
        "S:disk/by-uuid/601C-DDA3\nE:ID_FS_VERSION=FAT32\nE:ID_FS_TYPE=vfat\n"
        "E:ID_FS_TYPE_OLD=msdos\nG:systemd";
    EXPECT_EQ(platform::posix::udevProperty(database, "ID_FS_TYPE"), "vfat");
    EXPECT_EQ(platform::posix::udevProperty(database, "ID_FS_VERSION"), "FAT32");
    EXPECT_EQ(platform::posix::udevProperty(database, "ID_FS"), "") << "no key is a prefix";
    EXPECT_EQ(platform::posix::udevProperty("S:disk/by-label/ID_FS_TYPE=x", "ID_FS_TYPE"), "")
        << "only properties count";
}

}  // namespace
