#include "platform/posix/attribute_change.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "platform/platform.h"

namespace {

namespace attr = platform::file_attribute;
using platform::posix::AttributeChange;
using platform::posix::AttributeState;
using namespace std::string_literals;

std::string le32(std::uint32_t v) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(v >> (8 * i) & 0xFF);
    return bytes;
}

// Samba 4.15's form: an empty text, then version 5 with valid_flags ATTRIB|CREATE_TIME.
std::string sambaVersion5(std::uint32_t attrib) {
    return std::string(2, '\0') + "\x05\0\x05\0"s + std::string(2, '\0') + le32(0x11) +
           le32(attrib) + std::string(8, '\x07');
}

AttributeState file(const char* name, std::uint32_t mode,
                    std::optional<std::string> dosAttrib = std::nullopt, bool xattrs = true) {
    return {name, false, mode, std::move(dosAttrib), xattrs};
}
// A file whose user.DOSATTRIB its owner may not read (mode 000).
AttributeState unreadable(const char* name, std::uint32_t mode) {
    AttributeState state = file(name, mode);
    state.dosAttribUnreadable = true;
    return state;
}
AttributeState folder(const char* name, std::uint32_t mode,
                      std::optional<std::string> dosAttrib = std::nullopt) {
    return {name, true, mode, std::move(dosAttrib), true};
}

struct PlanCase {
    const char* name;
    AttributeState state;
    std::uint32_t attributes;
    std::optional<AttributeChange> expected;  // nullopt: refused
};

void PrintTo(const PlanCase& row, std::ostream* out) {
    *out << row.name;
}

const PlanCase cases[] = {
    // The mode.
    {"ReadOnlyClearsEveryWriteBit", file("a", 0664), attr::readOnly | attr::archive,
     AttributeChange{0444, std::nullopt}},
    {"ReadOnlyKeepsExecuteAndSpecialBits", file("a", 04775), attr::readOnly | attr::archive,
     AttributeChange{04555, std::nullopt}},
    {"ClearingReadOnlyGivesTheOwnerWriteBack", file("a", 0444), attr::archive,
     AttributeChange{0644, std::nullopt}},
    {"ClearingReadOnlyLeavesOthersWriteAsItWas", file("a", 0466), attr::archive,
     AttributeChange{0666, std::nullopt}},
    {"WritableStaysAsItIs", file("a", 0660), attr::archive, AttributeChange{0660, std::nullopt}},
    {"ReadOnlyAgainChangesNothing", file("a", 0444), attr::readOnly | attr::archive,
     AttributeChange{0444, std::nullopt}},
    {"FolderKeepsItsModeWhenReadOnly", folder("F", 0755), attr::readOnly,
     AttributeChange{0755, std::nullopt}},
    {"FolderKeepsItsModeWhenNotReadOnly", folder("F", 0555), 0,
     AttributeChange{0555, std::nullopt}},
    // No value is written for what the file shows without one.
    {"ArchiveOnAFileNeedsNoValue", file("a", 0644), attr::archive,
     AttributeChange{0644, std::nullopt}},
    {"HiddenOnADotFileNeedsNoValue", file(".a", 0644), attr::hidden | attr::archive,
     AttributeChange{0644, std::nullopt}},
    {"NothingOnAFolderNeedsNoValue", folder("F", 0755), attr::directory,
     AttributeChange{0755, std::nullopt}},
    // The text form where there was no value.
    {"HiddenWritesText", file("a", 0644), attr::hidden | attr::archive,
     AttributeChange{0644, "0x22"}},
    {"HiddenAndReadOnlyStoresReadOnlyToo", file("a", 0644),
     attr::hidden | attr::archive | attr::readOnly, AttributeChange{0444, "0x23"}},
    {"NoArchiveOnAFileWritesZero", file("a", 0644), attr::normal, AttributeChange{0644, "0x0"}},
    {"ShownDotFileWritesArchive", file(".a", 0644), attr::archive, AttributeChange{0644, "0x20"}},
    {"FolderStoresNoReadOnly", folder("F", 0755), attr::readOnly | attr::system,
     AttributeChange{0755, "0x4"}},
    {"UnreadableValueGivesWayToText", file("a", 0644, "junk"), attr::system | attr::archive,
     AttributeChange{0644, "0x24"}},
    {"UnreadableValueStaysWhenNothingChanges", file("a", 0644, "junk"), attr::archive,
     AttributeChange{0644, std::nullopt}},
    // A value that vouches for a word is kept up to date.
    {"TextValueFollowsReadOnly", file("a", 0644, "0x22"),
     attr::hidden | attr::archive | attr::readOnly, AttributeChange{0444, "0x23"}},
    {"TextValueLosesReadOnly", file("a", 0444, "0x23"), attr::hidden | attr::archive,
     AttributeChange{0644, "0x22"}},
    {"SameTextIsNotRewritten", file("a", 0644, "0x22"), attr::hidden | attr::archive,
     AttributeChange{0644, std::nullopt}},
    {"TextWithNulIsRewrittenWithout", file("a", 0644, "0x22\0"s), attr::hidden | attr::archive,
     AttributeChange{0644, "0x22"}},
    {"SambaValueUpdatedInPlace", file("a", 0644, sambaVersion5(0x20)), attr::hidden | attr::archive,
     AttributeChange{0644, sambaVersion5(0x22)}},
    {"SambaValueArchiveOnlyStaysWhenUnchanged", file("a", 0644, sambaVersion5(0x20)), attr::archive,
     AttributeChange{0644, std::nullopt}},
    // Without user.* attributes only what needs no value can be done.
    {"NoXattrsStillTakesReadOnly", file("a", 0644, std::nullopt, false),
     attr::readOnly | attr::archive, AttributeChange{0444, std::nullopt}},
    {"NoXattrsRefusesHidden", file("a", 0644, std::nullopt, false), attr::hidden | attr::archive,
     std::nullopt},
    {"NoXattrsRefusesHiddenWithReadOnlyAsAWhole", file("a", 0644, std::nullopt, false),
     attr::hidden | attr::archive | attr::readOnly, std::nullopt},
    {"NoXattrsRefusesClearingArchive", file("a", 0644, std::nullopt, false), 0, std::nullopt},
    // A value that cannot be read is never overwritten, and stops nothing else.
    {"UnreadableValueStillTakesReadOnlyOff", unreadable("a", 0), attr::archive,
     AttributeChange{0200, std::nullopt}},
    {"UnreadableValueStillTakesReadOnly", unreadable("a", 0200), attr::readOnly | attr::archive,
     AttributeChange{0, std::nullopt}},
    {"UnreadableValueRefusesHiddenAsAWhole", unreadable("a", 0), attr::hidden | attr::archive,
     std::nullopt},
};

class PlanAttributeChange : public testing::TestWithParam<PlanCase> {};

TEST_P(PlanAttributeChange, ChangesWhatTheWordAsksForAndNoMore) {
    const PlanCase& row = GetParam();
    const std::optional<AttributeChange> change =
        platform::posix::planAttributeChange(row.state, row.attributes);
    ASSERT_EQ(change.has_value(), row.expected.has_value());
    if (!change) return;
    EXPECT_EQ(change->mode, row.expected->mode) << std::oct << change->mode;
    EXPECT_EQ(change->dosAttrib, row.expected->dosAttrib);
}

INSTANTIATE_TEST_SUITE_P(Rows, PlanAttributeChange, testing::ValuesIn(cases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
