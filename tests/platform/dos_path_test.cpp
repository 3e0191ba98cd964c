#include "platform/posix/dos_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

using platform::posix::DriveTable;
using platform::posix::UnixPath;

DriveTable drives() {
    DriveTable table;
    table[2] = platform::posix::Volume{};
    table[2]->mount.target = "/";
    table[3] = platform::posix::Volume{};
    table[3]->mount.target = "/mnt/data";
    return table;
}

struct PathCase {
    const char* name;
    std::string dosPath;
    std::optional<std::string> unixPath;  // nullopt: the path maps onto nothing
    bool isRoot = false;
};

void PrintTo(const PathCase& row, std::ostream* out) {
    *out << row.name;
}

const PathCase pathCases[] = {
    {"RootOfC", "C:\\", "/", true},
    {"NameOnC", "C:\\etc\\fstab", "/etc/fstab"},
    {"LowerCaseLetter", "c:\\etc", "/etc"},
    {"RootOfD", "D:\\", "/mnt/data", true},
    {"FileOnD", "D:\\Photos\\cat.jpg", "/mnt/data/Photos/cat.jpg"},
    {"TrailingSeparator", "D:\\Photos\\", "/mnt/data/Photos"},
    {"ForwardSlashes", "D:/Photos/cat.jpg", "/mnt/data/Photos/cat.jpg"},
    {"DoubledSeparators", "D:\\\\Photos\\\\\\cat.jpg", "/mnt/data/Photos/cat.jpg"},
    {"DotsAreSkipped", "D:\\.\\Photos\\.\\cat.jpg", "/mnt/data/Photos/cat.jpg"},
    {"DotDotGoesUpOne", "D:\\Photos\\..\\Music", "/mnt/data/Music"},
    {"DotDotBackToTheRoot", "D:\\Photos\\..", "/mnt/data", true},
    {"DotDotAboveTheRoot", "D:\\..", std::nullopt},
    {"DotDotAboveTheRootLater", "D:\\a\\..\\..\\etc", std::nullopt},
    {"DotDotAboveTheRootOfC", "C:\\..\\etc", std::nullopt},
    {"DotDotWithSlashes", "D:/Photos/../../etc", std::nullopt},
    {"DotDotDropsANameBeforeItIsMapped", "D:\\caf\xE9\\..\\Music", "/mnt/data/Music"},
    {"NamesOfDotsKept", "D:\\...\\..a\\a..", "/mnt/data/.../..a/a.."},
    {"TrailingDotAndBlankKept", "D:\\name. ", "/mnt/data/name. "},
    {"ColonInName", "D:\\a:b", "/mnt/data/a:b"},
    {"EscapedBackslash",
     "D:\\a\xEF\x81\x9C"
     "b",
     "/mnt/data/a\\b"},
    {"EscapedByte", "D:\\caf\xEF\x83\xA9", "/mnt/data/caf\xE9"},
    {"NonCanonicalEscape", "D:\\\xEF\x81\xA1", std::nullopt},
    {"EscapedSlash", "D:\\a\xEF\x80\xAF..", std::nullopt},
    {"InvalidUtf8", "D:\\caf\xE9", std::nullopt},
    {"LetterWithoutVolume", "F:\\x", std::nullopt},
    {"RootWithoutVolume", "F:\\", std::nullopt},
    {"NotALetter", "1:\\", std::nullopt},
    {"NoSeparatorAfterColon", "D:Photos", std::nullopt},
    {"LetterAndColonOnly", "D:", std::nullopt},
    {"Empty", "", std::nullopt},
    {"Relative", "Photos\\cat.jpg", std::nullopt},
    {"Unc", "\\\\server\\share", std::nullopt},
};

class MapDosPath : public testing::TestWithParam<PathCase> {};

TEST_P(MapDosPath, ResolvesOntoTheMountPoint) {
    const std::optional<UnixPath> mapped =
        platform::posix::mapDosPath(GetParam().dosPath, drives());
    ASSERT_EQ(mapped.has_value(), GetParam().unixPath.has_value());
    if (!mapped) return;
    EXPECT_EQ(mapped->path, *GetParam().unixPath);
    EXPECT_EQ(mapped->isRoot, GetParam().isRoot);
}

INSTANTIATE_TEST_SUITE_P(Rows, MapDosPath, testing::ValuesIn(pathCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
