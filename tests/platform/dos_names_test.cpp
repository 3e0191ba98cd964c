#include "platform/posix/dos_names.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <random>
#include <string>

namespace {

using platform::posix::dosNameOf;
using platform::posix::unixNameOf;

struct NameCase {
    const char* name;
    std::string unixName;
    std::string dosName;
};

void PrintTo(const NameCase& row, std::ostream* out) {
    *out << row.name;
}

// U+F05C, standing for "\", and the escapes of a few bytes.
const std::string escapedBackslash = "\xEF\x81\x9C";

const NameCase nameCases[] = {
    {"Plain", "cat.jpg", "cat.jpg"},
    {"Utf8", "tr\xC3\xA8s", "tr\xC3\xA8s"},
    {"FourByteUtf8", "\xF0\x9F\x90\xB1.jpg", "\xF0\x9F\x90\xB1.jpg"},
    {"WindowsForbiddenCharactersAreKept", "a:b*c?\"<>|", "a:b*c?\"<>|"},
    {"ControlCharactersAreKept", "a\nb\tc", "a\nb\tc"},
    {"DotsAreKept", "..", ".."},
    {"Backslash", "a\\b", "a" + escapedBackslash + "b"},
    {"OnlyBackslashes", "\\\\", escapedBackslash + escapedBackslash},
    {"Latin1Byte", "caf\xE9", "caf\xEF\x83\xA9"},
    {"ByteFF", "\xFF", "\xEF\x83\xBF"},
    {"LoneContinuationByte", "\x80", "\xEF\x82\x80"},
    {"CutShortCharacter", "a\xC3", "a\xEF\x83\x83"},
    {"OverlongSlash", "\xC0\xAF", "\xEF\x83\x80\xEF\x82\xAF"},
    {"Surrogate", "\xED\xA0\x80", "\xEF\x83\xAD\xEF\x82\xA0\xEF\x82\x80"},
    {"AboveUnicode", "\xF4\x90\x80\x80", "\xEF\x83\xB4\xEF\x82\x90\xEF\x82\x80\xEF\x82\x80"},
    {"EscapeCharacterInAName", "x\xEF\x81\x9Cy", "x\xEF\x83\xAF\xEF\x82\x81\xEF\x82\x9Cy"},
    {"FirstEscapeCharacter", "\xEF\x80\x80", "\xEF\x83\xAF\xEF\x82\x80\xEF\x82\x80"},
    {"CharacterBelowTheEscapesIsKept", "\xEE\xBF\xBF", "\xEE\xBF\xBF"},
    {"CharacterAboveTheEscapesIsKept", "\xEF\x84\x80", "\xEF\x84\x80"},
    {"LoneEscapeLeadByte", "\xEF", "\xEF\x83\xAF"},
};

class NameMapping : public testing::TestWithParam<NameCase> {};

TEST_P(NameMapping, GivesTheDosNameAndBackExactly) {
    EXPECT_EQ(dosNameOf(GetParam().unixName), GetParam().dosName);
    EXPECT_EQ(unixNameOf(GetParam().dosName), GetParam().unixName);
}

// Labels are text, not names: a "\" stays, the rest is escaped as in names.
TEST(TextMapping, LabelsAreEscapedAsNamesAreButKeepTheirBackslashes) {
    using platform::posix::dosTextOf;
    EXPECT_EQ(dosTextOf("A\\B"), "A\\B");
    EXPECT_EQ(dosTextOf("Caf\xE9\nDisk"), "Caf\xEF\x83\xA9\nDisk");
    EXPECT_EQ(dosTextOf("x\xEF\x81\x9Cy"), dosNameOf("x\xEF\x81\x9Cy")) << "one to one";
}

INSTANTIATE_TEST_SUITE_P(Rows, NameMapping, testing::ValuesIn(nameCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct RejectedCase {
    const char* name;
    std::string dosName;
};

void PrintTo(const RejectedCase& row, std::ostream* out) {
    *out << row.name;
}

const RejectedCase rejectedCases[] = {
    {"Empty", ""},
    {"Backslash", "a\\b"},
    {"Slash", "a/b"},
    {"Nul", std::string("a\0b", 3)},
    {"InvalidUtf8", "caf\xE9"},
    // Escapes that dosNameOf never gives: a second name for "a", "/" or NUL smuggled in, a valid
    // character spelt byte by byte.
    {"EscapeOfAPlainLetter", "\xEF\x81\xA1"},
    {"EscapeOfSlash",
     "a\xEF\x80\xAF"
     "b"},
    {"EscapeOfNul", "a\xEF\x80\x80"},
    {"EscapedValidCharacter", "\xEF\x83\x83\xEF\x82\xA9"},
};

class NameRejected : public testing::TestWithParam<RejectedCase> {};

TEST_P(NameRejected, MapsToNoUnixName) {
    EXPECT_EQ(unixNameOf(GetParam().dosName), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Rows, NameRejected, testing::ValuesIn(rejectedCases),
                         [](const auto& row) { return std::string(row.param.name); });

bool isValidUtf8WithoutSeparators(const std::string& text) {
    // Round-trips through the checker that unixNameOf applies to what it is given.
    return unixNameOf(text).has_value();
}

// Random names of 1 to 24 bytes drawn mostly from the bytes that need care: "\", bytes of
// UTF-8 sequences, the escape characters' own bytes, and plain letters.
TEST(NameMappingProperty, RandomByteNamesMapBackToTheirExactBytes) {
    constexpr std::array<unsigned char, 14> interesting = {
        '\\', 'a', '.', 0x80, 0x83, 0x9C, 0xA9, 0xBF, 0xC3, 0xE9, 0xED, 0xEF, 0xF0, 0xFF};
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> length(1, 24);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<std::size_t> which(0, interesting.size() - 1);
    std::uniform_int_distribution<int> anyByte(1, 255);
    for (int round = 0; round < 20000; ++round) {
        std::string name;
        for (int n = length(random); n > 0; --n) {
            int byte = pick(random) == 0 ? anyByte(random) : interesting[which(random)];
            if (byte == '/') byte = '\\';
            name += static_cast<char>(byte);
        }
        const std::string dosName = dosNameOf(name);
        ASSERT_TRUE(isValidUtf8WithoutSeparators(dosName)) << testing::PrintToString(name);
        ASSERT_EQ(dosName.find('\\'), std::string::npos);
        ASSERT_EQ(unixNameOf(dosName), name) << testing::PrintToString(name);
    }
}

}  // namespace
