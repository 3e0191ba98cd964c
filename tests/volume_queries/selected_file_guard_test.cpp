#include "volume_queries/selected_file_guard.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/fake_platform.h"

namespace {

using volume_queries::SelectedFileGuard;
using Finding = SelectedFileGuard::Finding;
using Scope = SelectedFileGuard::Scope;

constexpr const char* selected = "C:\\Data\\report.txt";

// What happens to drive C before its folder is listed and the file selected, and in between
// that and the check; and what the check finds for the volume alone and for the file too.
struct GuardRow {
    const char* name;
    std::function<void(fake::Platform&)> before;
    std::function<void(fake::Platform&)> meanwhile;
    Finding volume;
    Finding file;
};

void nothing(fake::Platform&) {}

void anotherVolume(fake::Platform& os) {
    os.setDrive('C', os.drive('C'));  // the same files, mounted anew
}

void anotherFileUnderTheName(fake::Platform& os) {
    os.remove(selected);
    os.addFile(selected);
}

void heldForWriting(fake::Platform& os) {
    os.setHeldForWriting(selected);
}

void unnamedVolume(fake::Platform& os) {
    os.drive('C').namedVolume = false;
}

class GuardTest : public ::testing::TestWithParam<GuardRow> {
  protected:
    GuardTest() {
        os.setDrive('C', {});
        os.addFile(selected);
    }

    fake::Platform os;
    SelectedFileGuard guard{os};
};

TEST_P(GuardTest, FindsWhatThePathLeadsToNow) {
    const GuardRow& row = GetParam();
    row.before(os);
    guard.listed("C:\\Data");
    guard.selected(selected);
    row.meanwhile(os);
    EXPECT_EQ(guard.check(selected, Scope::volume), row.volume);
    EXPECT_EQ(guard.check(selected, Scope::file), row.file);
    EXPECT_EQ(os.openFiles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GuardTest,
    ::testing::Values(
        GuardRow{"nothingChanged", nothing, nothing, Finding::same, Finding::same},
        GuardRow{"anotherVolumeBehindTheLetter", nothing, anotherVolume, Finding::other,
                 Finding::other},
        GuardRow{"anotherFileUnderTheName", nothing, anotherFileUnderTheName, Finding::same,
                 Finding::other},
        GuardRow{"fileGone", nothing, [](fake::Platform& os) { os.remove(selected); },
                 Finding::same, Finding::unknown},
        GuardRow{"driveGone", nothing, [](fake::Platform& os) { os.removeDrive('C'); },
                 Finding::unknown, Finding::unknown},
        // Open for writing elsewhere, as a log or a document being edited is: still known.
        GuardRow{"heldForWriting", heldForWriting, nothing, Finding::same, Finding::same},
        GuardRow{"heldForWritingThenAnotherFileUnderTheName", heldForWriting,
                 [](fake::Platform& os) {
                     anotherFileUnderTheName(os);
                     heldForWriting(os);
                 },
                 Finding::same, Finding::other},
        // Where the system names no volume, the file's own identity tells.
        GuardRow{"unnamedVolume", unnamedVolume, nothing, Finding::same, Finding::same},
        GuardRow{"unnamedVolumeReplaced", unnamedVolume,
                 [](fake::Platform& os) {
                     anotherVolume(os);
                     unnamedVolume(os);
                 },
                 Finding::other, Finding::other},
        GuardRow{"unnamedVolumeAnotherFileUnderTheName", unnamedVolume, anotherFileUnderTheName,
                 Finding::same, Finding::other},
        GuardRow{"unnamedVolumeFileGone", unnamedVolume,
                 [](fake::Platform& os) { os.remove(selected); }, Finding::unknown,
                 Finding::unknown}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(GuardTest, ListingAgainForgetsTheSelectedFile) {
    unnamedVolume(os);
    guard.listed("C:\\Data");
    guard.selected(selected);
    guard.listed("C:\\Data");
    EXPECT_EQ(guard.check(selected, Scope::file), Finding::unknown);
}

}  // namespace
