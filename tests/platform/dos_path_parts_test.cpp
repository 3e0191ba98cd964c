// How DOS paths are taken apart for the backends that resolve them themselves: drive roots, the
// names below a root, and what FindFirstFileA's fileName asks for.
#include "platform/dos_path.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct RootCase {
    const char* name;
    const char* root;
    std::optional<std::size_t> index;
};

void PrintTo(const RootCase& row, std::ostream* out) {
    *out << row.name;
}

const RootCase rootCases[] = {
    {"UpperCase", "C:\\", 2},
    {"LowerCase", "c:\\", 2},
    {"FirstLetter", "A:\\", 0},
    {"LastLetter", "z:\\", 25},
    {"Null", nullptr, std::nullopt},
    {"Empty", "", std::nullopt},
    {"LetterOnly", "C", std::nullopt},
    {"NoBackslash", "C:", std::nullopt},
    {"ForwardSlash", "C:/", std::nullopt},
    {"PathBelowRoot", "C:\\x", std::nullopt},
    {"DoubleBackslash", "C:\\\\", std::nullopt},
    {"Digit", "1:\\", std::nullopt},
    {"CharacterBeforeA", "@:\\", std::nullopt},
    {"CharacterAfterZ", "[:\\", std::nullopt},
    {"CharacterAfterLowerZ", "{:\\", std::nullopt},
    {"TwoLetters", "CC:\\", std::nullopt},
    {"LeadingBlank", " C:\\", std::nullopt},
};

class DriveRoots : public testing::TestWithParam<RootCase> {};

TEST_P(DriveRoots, AcceptsOnlyALetterColonBackslash) {
    EXPECT_EQ(platform::driveIndex(GetParam().root), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Rows, DriveRoots, testing::ValuesIn(rootCases),
                         [](const auto& row) { return std::string(row.param.name); });

struct SplitCase {
    const char* name;
    const char* path;
    std::optional<std::size_t> drive;  // nullopt: the path is refused
    std::vector<std::string_view> names;
};

void PrintTo(const SplitCase& row, std::ostream* out) {
    *out << row.name;
}

const SplitCase splitCases[] = {
    {"Root", "D:\\", 3, {}},
    {"Names", "d:\\Photos\\cat.jpg", 3, {"Photos", "cat.jpg"}},
    {"SlashesAndDoubledSeparators", "Z:/a\\\\b/", 25, {"a", "b"}},
    {"DotsSkippedAndDotDotUpOne", "C:\\.\\a\\b\\..\\c", 2, {"a", "c"}},
    {"DotDotBackToTheRoot", "C:\\a\\..", 2, {}},
    {"NamesOfDotsKept", "C:\\...\\..a", 2, {"...", "..a"}},
    {"DotDotAboveTheRoot", "C:\\a\\..\\..\\b", std::nullopt, {}},
    {"NoSeparatorAfterColon", "C:a", std::nullopt, {}},
    {"NotALetter", "1:\\a", std::nullopt, {}},
    {"Unc", "\\\\server\\share", std::nullopt, {}},
};

class SplitDosPath : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitDosPath, GivesTheDriveAndTheResolvedNames) {
    const std::optional<platform::DosPath> split = platform::splitDosPath(GetParam().path);
    ASSERT_EQ(split.has_value(), GetParam().drive.has_value());
    if (!split) return;
    EXPECT_EQ(split->drive, *GetParam().drive);
    EXPECT_EQ(split->names, GetParam().names);
}

INSTANTIATE_TEST_SUITE_P(Rows, SplitDosPath, testing::ValuesIn(splitCases),
                         [](const auto& row) { return std::string(row.param.name); });

using Kind = platform::FindTarget::Kind;

struct PatternCase {
    const char* name;
    const char* fileName;
    Kind kind;
    std::string_view path;  // the folder listed, or the entry found
};

void PrintTo(const PatternCase& row, std::ostream* out) {
    *out << row.name;
}

const PatternCase patternCases[] = {
    {"Star", "D:\\Photos\\*", Kind::folder, "D:\\Photos\\"},
    {"StarOnARoot", "C:\\*", Kind::folder, "C:\\"},
    {"StarDotStar", "C:\\*.*", Kind::folder, "C:\\"},
    {"StarAfterSlash", "D:/Photos/*", Kind::folder, "D:/Photos/"},
    {"OtherPattern", "D:\\Photos\\*.jpg", Kind::unsupported, ""},
    {"QuestionMark", "D:\\Photos\\?", Kind::unsupported, ""},
    {"PlainName", "D:\\Photos", Kind::oneEntry, "D:\\Photos"},
    {"TrailingSeparator", "D:\\Photos\\", Kind::unsupported, ""},
    {"StarAlone", "*", Kind::unsupported, ""},
    {"Empty", "", Kind::unsupported, ""},
};

class FindTargets : public testing::TestWithParam<PatternCase> {};

TEST_P(FindTargets, TakesTheWholeFolderPatternOrOneName) {
    const platform::FindTarget target = platform::findTargetOf(GetParam().fileName);
    EXPECT_EQ(target.kind, GetParam().kind);
    EXPECT_EQ(target.path, GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Rows, FindTargets, testing::ValuesIn(patternCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
