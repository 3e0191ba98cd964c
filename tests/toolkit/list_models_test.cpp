#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/fake_platform.h"
#include "toolkit/controls.h"
#include "toolkit/file_list_model.h"
#include "toolkit/folder_list_model.h"
#include "toolkit/icon_choice.h"

namespace {

namespace attribute = platform::file_attribute;

void byBytes(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end());
}

class ListModelTest : public ::testing::Test {
  protected:
    ListModelTest() {
        os.setDrive('C', {});
        os.addFile("C:\\b.txt");
        os.addFile("C:\\a.txt");
        os.addFile("C:\\c.txt");
        os.addFile("C:\\secret.txt", {.attributes = attribute::hidden});
        os.addFolder("C:\\Data\\Sub");
        os.addFolder("C:\\Data\\Alpha");
        os.addFolder("C:\\Data\\.git", attribute::directory | attribute::hidden);
        os.addFolder("C:\\Locked\\Inside");
        os.setUnreadable("C:\\Locked");
        os.setDrive('D', {});
        os.setUnreadable("D:\\");
    }
    fake::Platform os;
};

// One step of a file list's life: code or the user acting on it, and whether Click follows.
struct SelectionStep {
    enum Kind { Code, User, Relist } kind;
    std::int32_t row;
    bool click;
    std::int32_t indexAfter;
};

struct SelectionRow {
    const char* name;
    std::vector<SelectionStep> steps;
};

class FileListSelectionTest : public ListModelTest,
                              public ::testing::WithParamInterface<SelectionRow> {};

TEST_P(FileListSelectionTest, ClickFollowsASelectionAndNothingElse) {
    toolkit::FileListModel list;
    list.setPath(os, "C:\\", byBytes);
    int step = 0;
    for (const SelectionStep& s : GetParam().steps) {
        bool click = false;
        if (s.kind == SelectionStep::Code) click = list.setListIndex(s.row);
        if (s.kind == SelectionStep::User) click = list.userSelected(s.row);
        if (s.kind == SelectionStep::Relist) list.setPath(os, "C:\\", byBytes);
        EXPECT_EQ(click, s.click) << "step " << step;
        EXPECT_EQ(list.listIndex(), s.indexAfter) << "step " << step;
        ++step;
    }
}

using S = SelectionStep;
INSTANTIATE_TEST_SUITE_P(
    Rows, FileListSelectionTest,
    ::testing::Values(
        SelectionRow{"CodeRaisesForEveryRowEvenTheSelectedOne",
                     {{S::Code, 1, true, 1}, {S::Code, 1, true, 1}, {S::Code, -1, false, -1}}},
        SelectionRow{"UserRaisesOnlyForANewRow",
                     {{S::User, 0, true, 0}, {S::User, 0, false, 0}, {S::User, 2, true, 2}}},
        SelectionRow{"UserClearingTheSelectionRaisesNothing",
                     {{S::User, 1, true, 1}, {S::User, -1, false, -1}}},
        SelectionRow{"RelistLeavesNoSelectionAndRaisesNothing",
                     {{S::Code, 2, true, 2}, {S::Relist, 0, false, -1}, {S::User, 2, true, 2}}},
        SelectionRow{"UserRowOutsideTheListChangesNothing",
                     {{S::User, 1, true, 1}, {S::User, 3, false, 1}, {S::User, -2, false, 1}}}),
    [](const auto& rowInfo) { return std::string(rowInfo.param.name); });

TEST_F(ListModelTest, FileListHoldsTheShownFilesAndRefusesIndexesOutsideThem) {
    toolkit::FileListModel list;
    list.setPath(os, "C:\\", byBytes);
    EXPECT_EQ(list.names(), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_EQ(list.fileName(), "");
    list.setListIndex(1);
    EXPECT_EQ(list.fileName(), "b.txt");
    EXPECT_THROW(list.setListIndex(3), std::out_of_range);
    EXPECT_THROW(list.setListIndex(-2), std::out_of_range);
    EXPECT_EQ(list.listIndex(), 1);
    EXPECT_THROW(list.setPath(os, "D:\\", byBytes), toolkit::PathUnavailable);
    EXPECT_EQ(list.path(), "C:\\") << "a folder that cannot be read changes nothing";
    EXPECT_EQ(list.listCount(), 3);
}

TEST_F(ListModelTest, FolderListShowsTheWayDownOpenThenTheSubfoldersClosed) {
    toolkit::FolderListModel folders;
    EXPECT_TRUE(folders.setPath(os, "C:\\Data\\", byBytes));
    EXPECT_EQ(folders.path(), "C:\\Data");
    const std::vector<toolkit::FolderLine> expected = {
        {"C:\\", "C:\\", 0, true},
        {"C:\\Data", "Data", 1, true},
        {"C:\\Data\\Alpha", "Alpha", 2, false},
        {"C:\\Data\\Sub", "Sub", 2, false},
    };
    EXPECT_EQ(folders.lines(), expected);
    EXPECT_EQ(folders.currentLine(), 1u);
    EXPECT_FALSE(folders.setPath(os, "C:\\Data", byBytes)) << "the same folder is no change";
}

TEST_F(ListModelTest, FolderListKeepsItsPathWhenTheRootCannotBeReadAndShowsUnreadableFolders) {
    toolkit::FolderListModel folders;
    folders.setPath(os, "C:\\", byBytes);
    EXPECT_THROW(folders.setPath(os, "D:\\", byBytes), toolkit::PathUnavailable);
    EXPECT_EQ(folders.path(), "C:\\");
    EXPECT_TRUE(folders.setPath(os, "C:\\Locked", byBytes));
    EXPECT_EQ(folders.lines().size(), 2u) << "an unreadable folder is shown without subfolders";
    EXPECT_EQ(toolkit::FolderListModel::unreadableDriveMessage("D:\\Photos"),
              "The drive D:\\ cannot be read now.");
}

TEST_F(ListModelTest, EmptyRootIsAFolderWithoutEntriesNotAnUnreadableOne) {
    os.setDrive('E', {});
    toolkit::FolderListModel folders;
    EXPECT_TRUE(folders.setPath(os, "E:\\", byBytes));
    EXPECT_EQ(folders.lines(), (std::vector<toolkit::FolderLine>{{"E:\\", "E:\\", 0, true}}));
    toolkit::FileListModel files;
    files.setPath(os, "E:\\", byBytes);
    EXPECT_EQ(files.path(), "E:\\");
    EXPECT_EQ(files.listCount(), 0);
    EXPECT_THROW(files.setPath(os, "D:\\", byBytes), toolkit::PathUnavailable)
        << "an unreadable root is still one";
}

// Which image a picture shows at a side in pixels, from the images of drive_network.ico (a 48
// pixel picture at the scales 1 to 2, two depths each, after its 16 and 32 pixel designs).
TEST(IconChoiceTest, TheSmallestImageAtLeastTheSideIsShownAndOfEqualSizesTheFirst) {
    using toolkit::chooseIconImage;
    const std::vector<toolkit::ImageSize> network = {{16, 16}, {16, 16}, {32, 32}, {32, 32},
                                                     {48, 48}, {48, 48}, {60, 60}, {60, 60},
                                                     {72, 72}, {72, 72}, {96, 96}, {96, 96}};
    const std::pair<int, std::size_t> rows[] = {
        {48, 4},   {60, 6}, {72, 8}, {96, 10},  // each scale's own image, the first of its two
        {84, 10},                               // between two scales: the larger image
        {200, 10},                              // larger than any: the widest
        {1, 0},
    };
    for (const auto& [side, expected] : rows)
        EXPECT_EQ(chooseIconImage(network, side), expected) << side << " pixels";
    EXPECT_EQ(chooseIconImage({}, 48), std::nullopt);
    EXPECT_EQ(chooseIconImage({{96, 96}, {48, 48}, {48, 48}}, 48), 1u);
}

}  // namespace
