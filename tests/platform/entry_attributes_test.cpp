#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "platform/platform.h"
#include "platform/posix/entry_reader.h"

namespace {

namespace attr = platform::file_attribute;
using platform::posix::EntryFacts;

struct AttributesCase {
    const char* name;
    EntryFacts facts;
    std::uint32_t attributes;
};

void PrintTo(const AttributesCase& row, std::ostream* out) {
    *out << row.name;
}

EntryFacts file(const char* name, std::optional<std::uint32_t> dos = std::nullopt,
                bool writable = true) {
    return {name, false, writable, dos};
}
EntryFacts folder(const char* name, std::optional<std::uint32_t> dos = std::nullopt,
                  bool writable = true) {
    return {name, true, writable, dos};
}

const AttributesCase attributesCases[] = {
    {"FileIsArchive", file("a.txt"), attr::archive},
    {"FileWithoutOwnerWriteIsReadOnly", file("a.txt", std::nullopt, false),
     attr::readOnly | attr::archive},
    {"Folder", folder("Photos"), attr::directory},
    {"FolderWithoutOwnerWriteIsReadOnly", folder("Photos", std::nullopt, false),
     attr::directory | attr::readOnly},
    {"DotFileIsHidden", file(".profile"), attr::hidden | attr::archive},
    {"DotFolderIsHidden", folder(".config"), attr::directory | attr::hidden},
    {"DotDotNamedFileIsHidden", file("..a"), attr::hidden | attr::archive},
    {"DosAttribZeroUnhidesADotFile", file(".profile", 0x0), attr::normal},
    {"DosAttribArchiveOnlyUnhidesADotFile", file(".profile", 0x20), attr::archive},
    {"DosAttribHiddenSystem", file("boot.ini", 0x6), attr::hidden | attr::system},
    {"DosAttribOfAFolder", folder("Photos", 0x2), attr::directory | attr::hidden},
    {"DosAttribArchiveOnAFolder", folder("Photos", 0x20), attr::directory | attr::archive},
    {"DosAttribReadOnlyBitIsNotTaken", file("a.txt", 0x21), attr::archive},
    {"DosAttribDirectoryBitIsNotTaken", file("a.txt", 0x10), attr::normal},
    {"DosAttribOtherBitsAreNotTaken", file("a.txt", 0xFFFFFF00U), attr::normal},
    {"ModeStillMakesReadOnlyWithDosAttrib", file("a.txt", 0x2, false),
     attr::readOnly | attr::hidden},
    {"DotIsNeverHidden", folder("."), attr::directory},
    {"DotDotIsNeverHidden", folder(".."), attr::directory},
    {"DotIsNeverHiddenByDosAttrib", folder(".", 0x2), attr::directory},
    {"DotDotReadOnly", folder("..", std::nullopt, false), attr::directory | attr::readOnly},
};

class AttributesOf : public testing::TestWithParam<AttributesCase> {};

TEST_P(AttributesOf, MakesTheWordWindowsShows) {
    EXPECT_EQ(platform::posix::attributesOf(GetParam().facts), GetParam().attributes);
}

INSTANTIATE_TEST_SUITE_P(Rows, AttributesOf, testing::ValuesIn(attributesCases),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
