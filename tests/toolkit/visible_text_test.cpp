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

// "<" and ">" stand for the single guillemets U+2039 and U+203A.
std::string shown(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '<' ? "\u2039" : c == '>' ? "\u203a" : std::string(1, c);
    return out;
}

const VisibleRow rows[] = {
    {"PlainNamesStayAsTheyAre", "Notes 2004.txt", "Notes 2004.txt"},
    {"OtherScriptsStayAsTheyAre", "caf\u00e9 \u65e5\u672c.txt", "caf\u00e9 \u65e5\u672c.txt"},
    {"LineFeedShowsItsAbbreviation", "line\nbreak.txt", shown("line<LF>break.txt")},
    {"EveryC0ControlShowsItsAbbreviation", "\0\t\r\x1b\x1f"s, shown("<NUL><HT><CR><ESC><US>")},
    {"DeleteShowsItsAbbreviation", "a\x7f", shown("a<DEL>")},
    {"EscapedBackslashShowsAsSetMinus", "a\uf05cb", "a\u2216b"},
    {"EscapedByteShowsItsHexDigits", "caf\uf0e9", shown("caf<0xE9>")},
    {"EscapedFfIsNoFormFeed", "\uf0ff\f", shown("<0xFF><FF>")},
    {"ByteThatIsNoUtf8ShowsTheSame", "caf\xe9", shown("caf<0xE9>")},
    {"CutCharacterShowsEachByte", "x\xe2\x82", shown("x<0xE2><0x82>")},
    {"SurrogateShowsEachByte", "\xed\xa0\x80", shown("<0xED><0xA0><0x80>")},
    {"OverlongFormShowsEachByte", "\xc0\xaf", shown("<0xC0><0xAF>")},
    {"C1ControlShowsItsNumber", "a\u0085b", shown("a<U+0085>b")},
    {"LineSeparatorShowsItsNumber", "a\u2028b", shown("a<U+2028>b")},
    {"RightToLeftOverrideShowsItsNumber", "x\u202efdp.exe", shown("x<U+202E>fdp.exe")},
    {"IsolateShowsItsNumber", "\u2066x\u2069", shown("<U+2066>x<U+2069>")},
    {"RealStandInCharactersShowTheirNumber", "\u2039\u2216", shown("<U+2039><U+2216>")},
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
    const std::string names[] = {"a\nb",     shown("a<LF>b"), "a\uf05cb",
                                 "a\u2216b", "a\\b",          "a\u2039",
                                 "\f",       "\uf0ff",        shown("<U+2039>")};
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
