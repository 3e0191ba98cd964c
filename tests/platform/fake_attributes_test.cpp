// The fake's scripted attributes and opening: what tests of the windows rely on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/fake_platform.h"

namespace {

namespace attr = platform::file_attribute;
using Platform = platform::Platform;

class FakeAttributes : public testing::Test {
  protected:
    void SetUp() override {
        os.setDrive('D', fake::Drive{});
        os.addFile("D:\\Docs\\a.txt");
    }
    fake::Platform os;
};

TEST_F(FakeAttributes, ChangesAreLoggedWithTheirWord) {
    os.clearCalls();
    EXPECT_TRUE(os.SetFileAttributesA("D:\\Docs\\a.txt", attr::hidden | attr::archive));
    EXPECT_EQ(os.GetFileAttributesA("d:\\docs\\A.TXT"), attr::hidden | attr::archive);
    EXPECT_EQ(os.calls(), (std::vector<std::string>{"SetFileAttributesA(D:\\Docs\\a.txt, 0x22)",
                                                    "GetFileAttributesA(d:\\docs\\A.TXT)"}));
}

TEST_F(FakeAttributes, FoldersKeepTheirDirectoryBit) {
    EXPECT_TRUE(os.SetFileAttributesA("D:\\Docs", attr::readOnly));
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs"), attr::directory | attr::readOnly);
    EXPECT_TRUE(os.SetFileAttributesA("D:\\Docs", attr::normal));
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs"), attr::directory);
}

TEST_F(FakeAttributes, LockedFilesAndReadOnlyVolumesRefuseAndKeepTheirWord) {
    os.setLocked("D:\\Docs\\a.txt");
    EXPECT_FALSE(os.SetFileAttributesA("D:\\Docs\\a.txt", attr::hidden));
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs\\a.txt"), attr::archive);
    os.setLocked("D:\\Docs\\a.txt", false);
    os.drive('D').fileSystemFlags |= platform::fs_flags::readOnlyVolume;
    EXPECT_FALSE(os.SetFileAttributesA("D:\\Docs\\a.txt", attr::hidden));
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs\\a.txt"), attr::archive);
}

// Windows takes "/" for "\", after the drive's colon too.
TEST_F(FakeAttributes, PathsWithSlashesReachTheFileAndKeepItsVolumesRules) {
    EXPECT_TRUE(os.SetFileAttributesA("D:/Docs/a.txt", attr::hidden));
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs\\a.txt"), attr::hidden);
    os.drive('D').fileSystemFlags |= platform::fs_flags::readOnlyVolume;
    EXPECT_FALSE(os.SetFileAttributesA("D:/Docs/a.txt", attr::archive));
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs\\a.txt"), attr::hidden);
}

TEST_F(FakeAttributes, RemovedFilesAreUnreachable) {
    os.remove("D:\\Docs\\a.txt");
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs\\a.txt"), Platform::invalidFileAttributes);
    EXPECT_FALSE(os.SetFileAttributesA("D:\\Docs\\a.txt", attr::hidden));
    EXPECT_NE(os.GetFileAttributesA("D:\\Docs"), Platform::invalidFileAttributes);
    os.remove("D:\\Nowhere\\b.txt");
    os.remove("Q:\\b.txt");
    os.drive('D').hasVolume = false;
    EXPECT_EQ(os.GetFileAttributesA("D:\\Docs"), Platform::invalidFileAttributes);
}

TEST_F(FakeAttributes, ShellExecuteRecordsItsArgumentsAndAnswersAsScripted) {
    os.setShellExecuteResult(99);
    const auto owner = static_cast<Platform::WindowHandle>(0x1234);
    EXPECT_EQ(os.ShellExecuteA(owner, "open", "D:\\Docs\\a.txt", "", "D:\\Docs", 5), 99);
    EXPECT_EQ(os.ShellExecuteA(owner, nullptr, "D:\\Docs\\b.txt", nullptr, nullptr, 1),
              Platform::shellFileNotFound);
    EXPECT_EQ(os.ShellExecuteA(owner, "edit", "D:\\Docs\\a.txt", nullptr, nullptr, 1),
              Platform::shellNoAssociation);
    ASSERT_EQ(os.shellExecutions().size(), 3u);
    const fake::ShellExecution& first = os.shellExecutions()[0];
    EXPECT_EQ(first.owner, owner);
    EXPECT_EQ(first.operation, "open");
    EXPECT_EQ(first.file, "D:\\Docs\\a.txt");
    EXPECT_EQ(first.parameters, "");
    EXPECT_EQ(first.directory, "D:\\Docs");
    EXPECT_EQ(first.showCommand, 5);
    EXPECT_EQ(os.shellExecutions()[1].operation, std::nullopt);
    EXPECT_EQ(os.shellExecutions()[1].directory, std::nullopt);
}

}  // namespace
