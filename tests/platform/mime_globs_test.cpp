#include "platform/posix/mime_globs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using platform::posix::MimeGlob;
using platform::posix::MimeGlobs;

TEST(MimeGlobsTest, ReadsWeightTypePatternAndTheCaseSensitiveFlag) {
    const std::vector<MimeGlob> globs = platform::posix::readGlobs2(
        "# This file was automatically generated\n"
        "80:text/html:*.html\n"
        "50:text/x-csrc:*.c:cs\n"
        "50:text/x-makefile:makefile\n"
        "10:text/x-readme:readme*:cs,future\n"
        "60:application/x-sharedlib:*.so.[0-9]*::extra:fields\r\n");
    const std::vector<MimeGlob> expected = {
        {80, "text/html", "*.html", false},
        {50, "text/x-csrc", "*.c", true},
        {50, "text/x-makefile", "makefile", false},
        {10, "text/x-readme", "readme*", true},
        {60, "application/x-sharedlib", "*.so.[0-9]*", false},
    };
    EXPECT_EQ(globs, expected);
}

TEST(MimeGlobsTest, SkipsLinesThatAreNotGlobs) {
    const char* lines[] = {
        "",
        "#50:text/plain:*.txt",
        "text/plain:*.txt",
        "50:text/plain",
        "50::*.txt",
        "50:text/plain:",
        "x:text/plain:*.txt",
        "5x:text/plain:*.txt",
        "-1:text/plain:*.txt",
        "101:text/plain:*.txt",
        "50:text/plain:__NOGLOBS__",
    };
    for (const char* line : lines) {
        SCOPED_TRACE(line);
        EXPECT_TRUE(platform::posix::readGlobs2(line).empty());
    }
}

struct Row {
    const char* fileName;
    std::optional<std::string> type;
};

TEST(MimeGlobsTest, NamesGetTheTypeOfTheHeaviestThenLongestMatch) {
    const MimeGlobs globs = MimeGlobs::parse(
        "50:application/gzip:*.gz\n"
        "50:application/x-compressed-tar:*.tar.gz\n"
        "50:text/plain:*.txt\n"
        "50:image/jpeg:*.jpg\n"
        "50:text/x-csrc:*.c:cs\n"
        "50:text/x-c++src:*.C:cs\n"
        "50:text/x-makefile:makefile\n"
        "10:text/x-makefile:makefile.*\n"
        "10:text/x-readme:readme*\n"
        "50:text/x-cmake:cmakelists.txt\n"
        "50:application/x-troff-man:*.[1-9]\n"
        "40:text/first:*.dup\n"
        "40:text/second:*.dup\n"
        "80:text/heavy:*.h\n"
        "50:text/long:*.hhhhh.h\n");
    const Row rows[] = {
        {"notes.txt", "text/plain"},
        {"NOTES.TXT", "text/plain"},
        {"photo.JPG", "image/jpeg"},
        {"archive.tar.gz", "application/x-compressed-tar"},  // longer than *.gz
        {"single.gz", "application/gzip"},
        {"Makefile", "text/x-makefile"},     // a literal name, any case
        {"makefile.am", "text/x-makefile"},  // the lighter glob
        {"README.md", "text/x-readme"},
        {"CMakeLists.txt", "text/x-cmake"},  // as long a match, listed later, still longer
        {"main.c", "text/x-csrc"},
        {"main.C", "text/x-c++src"},  // case-sensitive patterns keep case
        {"ls.1", "application/x-troff-man"},
        {"twice.dup", "text/first"},  // a tie goes to the first listed
        {"x.hhhhh.h", "text/heavy"},  // weight before length
        {"noext", std::nullopt},
        {"txt", std::nullopt},
        {".txt.bak", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fileName);
        EXPECT_EQ(globs.typeOf(row.fileName), row.type);
    }
}

TEST(MimeGlobsTest, NameWithANulMatchesNothing) {
    const MimeGlobs globs = MimeGlobs::parse("50:text/plain:*\n");
    EXPECT_EQ(globs.typeOf(std::string("a\0b", 3)), std::nullopt);
    EXPECT_EQ(globs.typeOf("ab"), "text/plain");
}

}  // namespace
