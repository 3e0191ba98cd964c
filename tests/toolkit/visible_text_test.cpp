#include "toolkit/visible_text.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using namespace std::string_literals;

struct VisibleRow {
    const char* name;
    std::string text;
    std::string shown;
};

void PrintTo(const VisibleRow& row, std::ostream* out) {
    *out << row.name;
}

const VisibleRow rows[] = {
    {"PlainNamesStayAsTheyAre", "Notes 2004.txt", "Notes 2004.txt"},
    {"OtherScriptsStayAsTheyAre", "caf\u00e9 \u65e5\u672c.txt", "caf\u00e9 \u65e5\u672c.txt"},
    {"LineFeedShowsItsPicture", "line\nbreak.txt", "line\u240abreak.txt"},
    {"EveryC0ControlShowsItsPicture", "\0\t\r\x1b\x1f"s, "\u2400\u2409\u240d\u241b\u241f"},
    {"DeleteShowsItsPicture", "a\x7f", "a\u2421"},
    {"EscapedBackslashShowsAsAnOperator", "a\uf05cb", "a\u29f5b"},
    {"EscapedByteShowsItsHexDigits", "caf\uf0e9", "caf\u2039E9\u203a"},
    {"ByteThatIsNoUtf8ShowsTheSame", "caf\xe9", "caf\u2039E9\u203a"},
    {"CutCharacterShowsEachByte", "x\xe2\x82", "x\u2039E2\u203a\u203982\u203a"},
    {"SurrogateShowsEachByte", "\xed\xa0\x80", "\u2039ED\u203a\u2039A0\u203a\u203980\u203a"},
    {"OverlongFormShowsEachByte", "\xc0\xaf", "\u2039C0\u203a\u2039AF\u203a"},
    {"C1ControlShowsItsNumber", "a\u0085b", "a\u2039U+0085\u203ab"},
    {"LineSeparatorShowsItsNumber", "a\u2028b", "a\u2039U+2028\u203ab"},
    {"RightToLeftOverrideShowsItsNumber", "x\u202efdp.exe", "x\u2039U+202E\u203afdp.exe"},
    {"IsolateShowsItsNumber", "\u2066x\u2069", "\u2039U+2066\u203ax\u2039U+2069\u203a"},
    {"RealStandInsShowTheirNumber", "\u2039\u240a\u29f5",
     "\u2039U+2039\u203a\u2039U+240A\u203a\u2039U+29F5\u203a"},
    {"CloseGuillemetAloneStays", "a\u203a", "a\u203a"},
};

class VisibleText : public testing::TestWithParam<VisibleRow> {};

TEST_P(VisibleText, ShowsEveryCharacterAndNoneThatBreaksTheLine) {
    const std::string shown = toolkit::visibleText(GetParam().text);
    EXPECT_EQ(shown, GetParam().shown);
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << "a control character is left";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, VisibleText, testing::ValuesIn(rows),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(VisibleTextTest, DifferentNamesLookDifferent) {
    const std::string names[] = {"a\nb", "a\u240ab", "a\u2039U+240A\u203ab", "a\uf05cb", "a\u29f5b",
                                 "a\\b", "a\u2039",  "a\u2039U+2039\u203a"};
    for (const std::string& one : names) {
        for (const std::string& other : names) {
            if (&one != &other) {
                EXPECT_NE(toolkit::visibleText(one), toolkit::visibleText(other))
                    << testing::PrintToString(one) << " and " << testing::PrintToString(other);
            }
        }
    }
}

}  // namespace
