#include "platform/posix/dos_attrib.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/platform/little_endian.h"

namespace {

using platform::posix::DosAttrib;
using platform::posix::parseDosAttrib;
using platform::posix::withDosAttributes;

using little_endian::le16;
using little_endian::le32;
using little_endian::le64;
using little_endian::nul;
using little_endian::pad;

constexpr std::uint64_t someTime = 0x01D6BDD58116BC9AULL;  // an NTTIME of 2020

struct Expected {
    std::uint16_t version = DosAttrib::textOnly;
    std::optional<std::uint32_t> attributes;
    std::size_t attribOffset = 0;
    std::size_t textLength = 0;
};

struct DosAttribCase {
    const char* name;
    std::string value;
    std::optional<Expected> expected;  // nullopt: no attribute at all
};

void PrintTo(const DosAttribCase& row, std::ostream* out) {
    *out << row.name;
}

constexpr std::uint16_t textOnly = DosAttrib::textOnly;

// Version 1 after the text "0x20": version at 6, the structure at 12 (aligned up from 10).
const std::string version1 = "0x20" + nul + pad(1) + le16(1) + le16(1) + pad(2) + le32(0x20) +
                             le32(0) + le64(5) + le64(4096) + le64(someTime) + le64(someTime);
// Version 2 after "0x2": version at 4, the structure at 8 with attrib second; a name ends it.
const std::string version2 = "0x2" + nul + le16(2) + le16(2) + le32(0) + le32(0x2) + le32(0) +
                             le64(0) + le64(0) + le64(someTime) + le64(0) + le64(0) + "old" + nul;
// As smbd 4.10 wrote it for a hidden file: the text, then version 3 with valid_flags
// ATTRIB|CREATE_TIME.
const std::string version3 = "0x22" + nul + pad(1) + le16(3) + le16(3) + pad(2) + le32(0x11) +
                             le32(0x22) + le32(0) + le64(0) + le64(0) + le64(someTime) + le64(0);
// As smbd writes it since 4.11: no text, version 4 with valid_flags ATTRIB|CREATE_TIME|ITIME.
const std::string version4 = nul + pad(1) + le16(4) + le16(4) + pad(2) + le32(0x51) + le32(0x11) +
                             le64(someTime) + le64(someTime);
const std::string version5 =
    nul + pad(1) + le16(5) + le16(5) + pad(2) + le32(0x11) + le32(0x10) + le64(someTime);

// Version 3 after any text, padded as NDR aligns from the value's start.
std::string withVersion3(const std::string& text, std::uint32_t validFlags, std::uint32_t attrib) {
    std::string value = text + nul;
    value += pad(value.size() % 2) + le16(3) + le16(3);
    value += pad((4 - value.size() % 4) % 4);
    return value + le32(validFlags) + le32(attrib) + le32(0) + le64(0) + le64(0) + le64(someTime) +
           le64(0);
}

const DosAttribCase cases[] = {
    // The text form, as old Samba and Wine write it.
    {"TextHidden", "0x2", Expected{textOnly, 0x2, 0, 3}},
    {"TextWithItsNul", "0x22" + nul, Expected{textOnly, 0x22, 0, 4}},
    {"TextUpperCaseDigits", "0x2A", Expected{textOnly, 0x2A, 0, 4}},
    {"TextEightDigits", "0x00000026", Expected{textOnly, 0x26, 0, 10}},
    {"TextLargestWord", "0xffffffff", Expected{textOnly, 0xFFFFFFFFU, 0, 10}},
    {"TextNineDigits", "0x000000026", std::nullopt},
    {"TextWithoutDigits", "0x", std::nullopt},
    {"TextWithoutPrefix", "22", std::nullopt},
    {"TextWithUpperCaseX", "0X22", std::nullopt},
    {"TextWithNonHexDigit", "0x2g", std::nullopt},
    {"TextWithLeadingBlank", " 0x2", std::nullopt},
    {"TextWithTrailingBlank", "0x2 ", std::nullopt},
    {"TextWithSign", "0x-2", std::nullopt},
    {"Empty", "", std::nullopt},
    {"LoneNul", nul, std::nullopt},
    // Samba's binary forms.
    {"Version1", version1, Expected{1, 0x20, 12, 4}},
    {"Version2", version2, Expected{2, 0x2, 12, 3}},
    {"Version2WithoutNameEnd", version2.substr(0, version2.size() - 1), std::nullopt},
    {"Version3", version3, Expected{3, 0x22, 16, 4}},
    {"Version3WithoutAttribFlag", withVersion3("0x22", 0x10, 0x22),
     Expected{3, std::nullopt, 16, 4}},
    {"Version3WithEmptyText", withVersion3("", 0x1, 0x6), Expected{3, 0x6, 12, 0}},
    // A 6-byte text puts the version at 8 after a pad byte; the structure at 12.
    {"Version3AfterEvenText",
     "0x2222" + nul + pad(1) + le16(3) + le16(3) + le32(0x1) + le32(0x4) + le32(0) + le64(0) +
         le64(0) + le64(0) + le64(0),
     Expected{3, 0x4, 16, 6}},
    {"Version4", version4, Expected{4, 0x11, 12, 0}},
    {"Version4WithoutAttribFlag",
     nul + pad(1) + le16(4) + le16(4) + pad(2) + le32(0x50) + le32(0x11) + le64(0) + le64(0),
     Expected{4, std::nullopt, 12, 0}},
    {"Version5", version5, Expected{5, 0x10, 12, 0}},
    {"Version5PaddedToFourBytes", version5 + pad(4), Expected{5, 0x10, 12, 0}},
    // Samba reads the binary part and ignores the text, which only older readers use.
    {"BinaryWinsOverDisagreeingText", withVersion3("0x2", 0x1, 0x20), Expected{3, 0x20, 12, 3}},
    {"BinaryWinsOverUnreadableText", withVersion3("junk", 0x1, 0x4), Expected{3, 0x4, 16, 4}},
    {"BinaryWithoutAttribDoesNotFallBackToText", withVersion3("0x2", 0x0, 0x2),
     Expected{3, std::nullopt, 12, 3}},
    {"VersionZero", nul + pad(1) + le16(0) + le16(0) + pad(2) + le32(0x1) + le32(0x2),
     std::nullopt},
    {"VersionSix",
     nul + pad(1) + le16(6) + le16(6) + pad(2) + le32(0x1) + le32(0x2) + le64(0) + le64(0),
     std::nullopt},
    {"VersionTextOnlyInBinary", nul + pad(1) + le16(0xFFFF) + le16(0xFFFF) + le32(0x2),
     std::nullopt},
    {"LevelDiffersFromVersion",
     nul + pad(1) + le16(4) + le16(5) + pad(2) + le32(0x1) + le32(0x2) + le64(0) + le64(0),
     std::nullopt},
    {"OnlyAPadByteAfterText", "0x22" + nul + pad(1), std::nullopt},
    {"VersionWithoutLevel", "0x22" + nul + pad(1) + le16(3), std::nullopt},
};

class ParseDosAttrib : public testing::TestWithParam<DosAttribCase> {};

TEST_P(ParseDosAttrib, ReadsTheAttributeAndWhereItLies) {
    const DosAttribCase& row = GetParam();
    const std::optional<DosAttrib> parsed = parseDosAttrib(row.value);
    ASSERT_EQ(parsed.has_value(), row.expected.has_value());
    if (!parsed) return;
    EXPECT_EQ(parsed->version, row.expected->version);
    EXPECT_EQ(parsed->attributes(), row.expected->attributes);
    EXPECT_EQ(parsed->attribOffset, row.expected->attribOffset);
    EXPECT_EQ(parsed->textLength, row.expected->textLength);
    if (parsed->version != DosAttrib::textOnly) {
        // The word can be rewritten in place: it is where the parser says.
        EXPECT_EQ(row.value.substr(parsed->attribOffset, 4), le32(parsed->attrib));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ParseDosAttrib, testing::ValuesIn(cases),
                         [](const auto& row) { return std::string(row.param.name); });

// Every cut of a binary value short of its end is refused, read from a buffer of exactly that
// size so that AddressSanitizer sees any read past it. Cuts that leave the text and its NUL alone
// are the text form, judged as such.
TEST(ParseDosAttribCutShort, EveryCutOfABinaryValueIsRefused) {
    const std::vector<std::string> wholes = {version1, version2, version3, version4, version5};
    for (std::size_t version = 1; version <= wholes.size(); ++version) {
        const std::string& whole = wholes[version - 1];
        const std::size_t binaryStart = whole.find('\0') + 1;
        for (std::size_t size = binaryStart + 1; size < whole.size(); ++size) {
            SCOPED_TRACE("version " + std::to_string(version) + " cut to " + std::to_string(size) +
                         " bytes");
            const std::unique_ptr<char[]> exact(new char[size]);
            std::memcpy(exact.get(), whole.data(), size);
            EXPECT_FALSE(parseDosAttrib(std::string_view(exact.get(), size)).has_value());
        }
    }
}

TEST(ParseDosAttribCutShort, TextLeftAloneIsReadAsTheTextForm) {
    const std::optional<DosAttrib> parsed = parseDosAttrib(version3.substr(0, 5));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->version, DosAttrib::textOnly);
    EXPECT_EQ(parsed->attributes(), 0x22U);
    EXPECT_FALSE(parseDosAttrib(version4.substr(0, 1)).has_value()) << "an empty text is no word";
}

// Writing a word back.

struct RewriteCase {
    const char* name;
    std::string value;
    std::uint32_t attributes;
    std::string expected;
};

void PrintTo(const RewriteCase& row, std::ostream* out) {
    *out << row.name;
}

const RewriteCase rewriteCases[] = {
    {"TextStaysText", "0x22", 0x20, "0x20"},
    {"TextLosesItsNulAsWineWritesIt", "0x22" + nul, 0x3, "0x3"},
    {"TextOfUpperCaseDigitsBecomesLowerCase", "0x2A", 0x2A, "0x2a"},
    {"TextOfZero", "0x00000026", 0x0, "0x0"},
    {"Version1TextOfTheSameLength", version1, 0x22,
     "0x22" + nul + pad(1) + le16(1) + le16(1) + pad(2) + le32(0x22) + le32(0) + le64(5) +
         le64(4096) + le64(someTime) + le64(someTime)},
    // "0x2" to "0x21" moves the version from 4 to 6 and the structure from 8 to 12.
    {"Version2LongerTextMovesTheStructure", version2, 0x21,
     "0x21" + nul + pad(1) + le16(2) + le16(2) + pad(2) + le32(0) + le32(0x21) + le32(0) + le64(0) +
         le64(0) + le64(someTime) + le64(0) + le64(0) + "old" + nul},
    {"Version3ShorterText", withVersion3("0x22", 0x11, 0x22), 0x2, withVersion3("0x2", 0x11, 0x2)},
    {"Version3LongerText", withVersion3("0x2", 0x11, 0x2), 0x22, withVersion3("0x22", 0x11, 0x22)},
    {"Version3UnreadableTextIsReplaced", withVersion3("junk", 0x1, 0x4), 0x6,
     withVersion3("0x6", 0x1, 0x6)},
    {"Version3GainsTheAttribFlag", withVersion3("0x22", 0x10, 0x22), 0x20,
     withVersion3("0x20", 0x11, 0x20)},
    {"Version3EmptyTextStaysEmpty", withVersion3("", 0x1, 0x6), 0x20, withVersion3("", 0x1, 0x20)},
    {"Version4", version4, 0x2,
     nul + pad(1) + le16(4) + le16(4) + pad(2) + le32(0x51) + le32(0x2) + le64(someTime) +
         le64(someTime)},
    {"Version4GainsTheAttribFlag",
     nul + pad(1) + le16(4) + le16(4) + pad(2) + le32(0x50) + le32(0x11) + le64(0) + le64(0), 0x21,
     nul + pad(1) + le16(4) + le16(4) + pad(2) + le32(0x51) + le32(0x21) + le64(0) + le64(0)},
    {"Version5KeepsItsPadding", version5 + "\x01\x02\x03\x04", 0x27,
     nul + pad(1) + le16(5) + le16(5) + pad(2) + le32(0x11) + le32(0x27) + le64(someTime) +
         "\x01\x02\x03\x04"},
};

class WithDosAttributes : public testing::TestWithParam<RewriteCase> {};

TEST_P(WithDosAttributes, ChangesTheWordAndNothingElse) {
    const RewriteCase& row = GetParam();
    const std::optional<DosAttrib> parsed = parseDosAttrib(row.value);
    ASSERT_TRUE(parsed.has_value());
    const std::string written = withDosAttributes(row.value, *parsed, row.attributes);
    EXPECT_EQ(written, row.expected);
    const std::optional<DosAttrib> reread = parseDosAttrib(written);
    ASSERT_TRUE(reread.has_value());
    EXPECT_EQ(reread->version, parsed->version);
    EXPECT_EQ(reread->attributes(), row.attributes) << "readers take the new word";
}

INSTANTIATE_TEST_SUITE_P(Rows, WithDosAttributes, testing::ValuesIn(rewriteCases),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(DosAttribText, IsLowerCaseHexWithoutLeadingZerosOrNul) {
    EXPECT_EQ(platform::posix::dosAttribText(0x0), "0x0");
    EXPECT_EQ(platform::posix::dosAttribText(0x27), "0x27");
    EXPECT_EQ(platform::posix::dosAttribText(0xABCDEF01U), "0xabcdef01");
}

}  // namespace
