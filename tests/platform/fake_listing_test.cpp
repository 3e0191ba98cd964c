// The fake's scripted file trees, which the window tests rely on.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/fake_platform.h"

namespace {

namespace attr = platform::file_attribute;
using platform::FindData;
using platform::invalidFindHandle;

class FakeListing : public testing::Test {
  protected:
    void SetUp() override { os.setDrive('D', {}); }

    std::vector<std::string> names(const char* pattern) {
        std::vector<std::string> listed;
        FindData data;
        const auto handle = os.FindFirstFileA(pattern, &data);
        if (handle == invalidFindHandle) return listed;
        do {
            listed.push_back(data.fileName);
        } while (os.FindNextFileA(handle, &data));
        os.FindClose(handle);
        return listed;
    }

    fake::Platform os;
};

TEST_F(FakeListing, ListsScriptedEntriesInTheOrderAdded) {
    os.addFile("D:\\Photos\\cat.jpg", {attr::archive | attr::readOnly, 1234});
    os.addFolder("D:\\Photos\\Trips");
    os.addFile("D:\\Photos\\dog.jpg");
    EXPECT_EQ(names("D:\\Photos\\*"),
              (std::vector<std::string>{".", "..", "cat.jpg", "Trips", "dog.jpg"}));
    EXPECT_EQ(names("D:\\*"), (std::vector<std::string>{"Photos"}));

    FindData data;
    const auto handle = os.FindFirstFileA("D:\\Photos\\*", &data);
    ASSERT_TRUE(os.FindNextFileA(handle, &data));
    ASSERT_TRUE(os.FindNextFileA(handle, &data));
    EXPECT_EQ(data.fileAttributes, attr::archive | attr::readOnly);
    EXPECT_EQ(data.fileSize, 1234u);
    ASSERT_TRUE(os.FindNextFileA(handle, &data));
    EXPECT_EQ(data.fileAttributes, attr::directory);
    EXPECT_EQ(data.fileSize, 0u);
    EXPECT_TRUE(os.FindClose(handle));
    EXPECT_EQ(os.openListings(), 0u);
}

TEST_F(FakeListing, PathsMatchWhateverTheirCase) {
    os.addFile("D:\\Photos\\cat.jpg");
    os.addFile("d:\\PHOTOS\\CAT.JPG", {attr::hidden, 1});
    EXPECT_EQ(names("d:\\photos\\*"), (std::vector<std::string>{".", "..", "cat.jpg"}))
        << "the second file replaced the first, keeping its name";
}

TEST_F(FakeListing, UnreadableFolderFailsUntilMadeReadableAgain) {
    os.addFolder("D:\\Private");
    os.setUnreadable("D:\\Private");
    FindData data{0x77, 7, "kept"};
    EXPECT_EQ(os.FindFirstFileA("D:\\Private\\*", &data), invalidFindHandle);
    EXPECT_EQ(data.fileName, "kept");
    EXPECT_EQ(names("D:\\*"), (std::vector<std::string>{"Private"})) << "its parent lists it";
    os.setUnreadable("D:\\Private", false);
    EXPECT_EQ(names("D:\\Private\\*"), (std::vector<std::string>{".", ".."}));
}

TEST_F(FakeListing, DriveWithoutVolumeListsNothing) {
    os.addFile("D:\\a.txt");
    os.drive('D').hasVolume = false;
    EXPECT_TRUE(names("D:\\*").empty());
}

TEST_F(FakeListing, ImpossibleScriptsThrow) {
    os.addFile("D:\\a.txt");
    os.addFolder("D:\\Folder");
    EXPECT_THROW(os.addFile("E:\\b.txt"), std::invalid_argument) << "no such drive";
    EXPECT_THROW(os.addFile("D:\\a.txt\\b.txt"), std::invalid_argument) << "through a file";
    EXPECT_THROW(os.addFolder("D:\\a.txt"), std::invalid_argument) << "a file is in the way";
    EXPECT_THROW(os.addFile("D:\\Folder"), std::invalid_argument) << "a folder is in the way";
    EXPECT_THROW(os.setUnreadable("D:\\a.txt"), std::invalid_argument) << "not a folder";
    EXPECT_THROW(os.setUnreadable("D:\\missing"), std::invalid_argument);
}

TEST_F(FakeListing, CallsAreLoggedWithTheirPathOrHandle) {
    os.addFile("D:\\a.txt");
    os.clearCalls();
    FindData data;
    const auto handle = os.FindFirstFileA("D:\\*", &data);
    os.FindNextFileA(handle, &data);
    os.FindClose(handle);
    const std::string number = std::to_string(static_cast<std::uintptr_t>(handle));
    EXPECT_EQ(os.calls(),
              (std::vector<std::string>{"FindFirstFileA(D:\\*)", "FindNextFileA(#" + number + ")",
                                        "FindClose(#" + number + ")"}));
}

}  // namespace
