// What FatAttributeStore makes of the FAT driver's answers, with the calls faked: the kernels of
// the test machines have no vfat. The files are real (in a temporary folder), only the calls on
// them are not.
#include "platform/posix/fat_attribute_store.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

namespace {

namespace attr = platform::file_attribute;
namespace code = platform::error_code;
using platform::posix::FatNames;

class FakeFatCalls final : public platform::posix::FatCalls {
  public:
    int getAttributes(int, std::uint32_t& attributes) override {
        if (refusal != 0) return refusal;
        attributes = byte;
        return 0;
    }
    int setAttributes(int, std::uint32_t attributes) override {
        written.push_back(attributes);
        byte = attributes;
        return 0;
    }
    int readNextNames(int, FatNames& names, bool& found) override {
        found = next < entries.size();
        if (found) names = entries[next++];
        return 0;
    }

    std::uint32_t byte = attr::archive;
    int refusal = 0;  // the errno of getAttributes
    std::vector<std::uint32_t> written;
    std::vector<FatNames> entries;
    std::size_t next = 0;
};

class FatStore : public testing::Test {
  protected:
    void SetUp() override {
        char folder[] = "/tmp/volscope-fat-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        const int fd = open((folder_ + "/a.txt").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    platform::posix::StoredEntry entry(const char* name, bool isDirectory = false) {
        path_ = isDirectory ? folder_ : folder_ + "/" + name;
        return {path_.c_str(), name, isDirectory, 0644};
    }

    FakeFatCalls calls;
    platform::posix::FatAttributeStore store{calls};
    std::string folder_;
    std::string path_;
};

TEST_F(FatStore, ShowsTheFourBitsOfTheByteAndNormalForNone) {
    calls.byte = 0x40 | attr::hidden | attr::system;
    EXPECT_EQ(store.read(entry("a.txt")), attr::hidden | attr::system);
    calls.byte = attr::directory | attr::readOnly;
    EXPECT_EQ(store.read(entry(".", true)), attr::directory | attr::readOnly);
    calls.byte = 0;
    EXPECT_EQ(store.read(entry("a.txt")), attr::normal);
}

TEST_F(FatStore, WritesTheFourBitsKeepingTheOthersAndNothingWhenNothingChanges) {
    calls.byte = 0x40 | attr::archive;
    EXPECT_EQ(store.write(entry("a.txt"), attr::readOnly | attr::hidden, {}), code::success);
    EXPECT_EQ(store.write(entry("a.txt"), attr::readOnly | attr::hidden | attr::directory, {}),
              code::success);
    EXPECT_EQ(calls.written, (std::vector<std::uint32_t>{0x40 | attr::readOnly | attr::hidden}));
}

TEST_F(FatStore, ChangesNothingOnceTheCallerHasGivenUpOrWhenTheDriverRefuses) {
    std::stop_source givenUp;
    givenUp.request_stop();
    EXPECT_EQ(store.write(entry("a.txt"), attr::hidden, givenUp.get_token()), code::notReady);
    calls.refusal = EPERM;
    EXPECT_EQ(store.write(entry("a.txt"), attr::hidden, {}), code::accessDenied);
    EXPECT_TRUE(calls.written.empty());
}

TEST_F(FatStore, ShortNameIsTheEightDotThreeNameBesideTheLongOne) {
    calls.entries = {{".", ""},
                     {"..", ""},
                     {"README.TXT", ""},
                     {"LONGNA~1.TXT", "Long Name Notes.txt"},
                     {"SHORT.TXT", "SHORT.TXT"}};
    for (const auto& [name, shortName] : std::vector<std::pair<std::string, const char*>>{
             {"Long Name Notes.txt", "LONGNA~1.TXT"},
             {"README.TXT", nullptr},  // its own 8.3 name
             {"SHORT.TXT", nullptr},
             {"missing.txt", nullptr}}) {
        SCOPED_TRACE(name);
        calls.next = 0;
        const std::optional<std::string> found = store.shortName(folder_, name);
        EXPECT_EQ(found, shortName ? std::optional<std::string>(shortName) : std::nullopt);
    }
}

}  // namespace
