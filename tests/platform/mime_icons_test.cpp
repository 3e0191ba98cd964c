#include "platform/posix/mime_icons.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/mime_globs.h"

namespace {

using platform::posix::MimeGlobs;
using platform::posix::MimeIcons;
using Names = std::vector<std::string>;

struct Row {
    const char* type;
    Names names;
};

TEST(MimeIconsTest, NamesRunFromTheTypesOwnToItsGenericIcon) {
    const MimeIcons icons = MimeIcons::parse(
        "application/x-special:special-icon\n"
        "text/x-same:text-x-same\n",
        "application/x-compressed-tar:package-x-generic\n"
        "application/x-special:package-x-generic\n"
        "text/x-same:text-x-generic\n"
        "text/x-same:ignored-second\n"
        "broken line\n"
        ":no-type\n"
        "no/name:\r\n");
    const Row rows[] = {
        {"text/plain", {"text-plain", "text-x-generic"}},
        {"image/jpeg", {"image-jpeg", "image-x-generic"}},
        {"application/x-compressed-tar", {"application-x-compressed-tar", "package-x-generic"}},
        {"application/x-special", {"special-icon", "application-x-special", "package-x-generic"}},
        {"text/x-same", {"text-x-same", "text-x-generic"}},  // no repeats
        {"no/name", {"no-name", "no-x-generic"}},
        {"noslash", {}},
        {"", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        EXPECT_EQ(icons.namesOf(row.type), row.names);
    }
}

TEST(MimeIconsTest, UnknownTypesAreOctetStreams) {
    EXPECT_EQ(MimeIcons::unknownTypeNames(), (Names{"application-octet-stream", "unknown"}));
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The database this machine has, read as the Linux backend reads it.
TEST(MimeIconsTest, InstalledDatabaseNamesCommonFiles) {
    const std::string folder = "/usr/share/mime";
    const std::string globs2 = readFile(folder + "/globs2");
    if (globs2.empty()) GTEST_SKIP() << "no " << folder << "/globs2 (package shared-mime-info)";
    const MimeGlobs globs = MimeGlobs::parse(globs2);
    const MimeIcons icons =
        MimeIcons::parse(readFile(folder + "/icons"), readFile(folder + "/generic-icons"));
    const auto namesOf = [&](const char* fileName) {
        const auto type = globs.typeOf(fileName);
        return type ? icons.namesOf(*type) : MimeIcons::unknownTypeNames();
    };
    EXPECT_EQ(namesOf("notes.txt").back(), "text-x-generic");
    EXPECT_EQ(namesOf("photo.JPG").back(), "image-x-generic");
    EXPECT_EQ(namesOf("archive.tar.gz").back(), "package-x-generic");
    EXPECT_EQ(namesOf("Makefile").front(), "text-x-makefile");
    EXPECT_EQ(namesOf("noext"), MimeIcons::unknownTypeNames());
}

}  // namespace
