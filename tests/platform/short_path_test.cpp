#include "platform/posix/short_path.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

struct ShortPathCase {
    const char* name;
    const char* longPath;
    std::vector<std::optional<std::string>> shortNames;
    const char* shortPath;
};

void PrintTo(const ShortPathCase& row, std::ostream* out) {
    *out << row.name;
}

const std::optional<std::string> none;

const ShortPathCase shortPathCases[] = {
    {"NoneKeepsThePathAsGiven", "g:/Data//notes.txt", {none, none}, "g:/Data//notes.txt"},
    {"RootAlone", "G:\\", {}, "G:\\"},
    {"FolderAndFile",
     "G:\\Long Folder\\Long Name Notes.txt",
     {"LONGFO~1", "LONGNA~1.TXT"},
     "G:\\LONGFO~1\\LONGNA~1.TXT"},
    {"FolderOnlyKeepsTheFilesName",
     "G:\\Long Folder\\a.txt",
     {"LONGFO~1", none},
     "G:\\LONGFO~1\\a.txt"},
    {"ResolvedAsWindowsResolvesIt",
     "g:/x/../Long Folder/./b.txt",
     {"LONGFO~1"},
     "g:\\LONGFO~1\\b.txt"},
    {"FewerShortNamesThanNames", "G:\\Long Folder\\a.txt", {"LONGFO~1"}, "G:\\LONGFO~1\\a.txt"},
};

class ComposeShortPath : public testing::TestWithParam<ShortPathCase> {};

TEST_P(ComposeShortPath, PutsTheStoredNamesInPlace) {
    EXPECT_EQ(platform::posix::composeShortPath(GetParam().longPath, GetParam().shortNames),
              GetParam().shortPath);
}

INSTANTIATE_TEST_SUITE_P(Rows, ComposeShortPath, testing::ValuesIn(shortPathCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
