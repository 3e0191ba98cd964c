// The browser, and the main window's figures, on a real Linux volume: a tmpfs (or a ramfs, or a
// FUSE volume) mounted in the test's own folder under /mnt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWidget>
#include <fstream>
#include <map>
#include <optional>
#include <set>

#include "main_window/frm_main.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/mount_watch.h"
#include "platform/posix/posix_platform.h"
#include "platform/posix/unique_fd.h"
#include "tests/platform/real_volume_test.h"
#include "tests/platform/scratch_volumes.h"
#include "tests/support/recording_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"

namespace {

// Takes away this thread's power to read past permissions (CAP_DAC_OVERRIDE and
// CAP_DAC_READ_SEARCH), so that even root cannot open a folder of mode 000; gives it back when
// destroyed.
class NoPermissionOverride {
  public:
    NoPermissionOverride() {
        ok_ = syscall(SYS_capget, &header_, saved_) == 0;
        if (!ok_) return;
        __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ok_ = syscall(SYS_capset, &header_, reduced) == 0;
    }
    ~NoPermissionOverride() {
        if (ok_) syscall(SYS_capset, &header_, saved_);
    }
    NoPermissionOverride(const NoPermissionOverride&) = delete;
    NoPermissionOverride& operator=(const NoPermissionOverride&) = delete;
    bool ok() const { return ok_; }

  private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool ok_ = false;
};

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

class RealFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string why = scratch::unavailableReason();
        if (!why.empty()) GTEST_SKIP() << why;
        lock_.emplace();
        folder_.emplace();
    }

    // Mounts a 4 MiB tmpfs with the given options and returns the letter the window's platform
    // gives it.
    char mountVolume(const std::string& options = "size=4m") {
        return mountVolumeOf("tmpfs", options);
    }
    // Mounts a volume of that type ("tmpfs", "ramfs", or "fuse": an empty folder through
    // bindfs, typed fuse.bindfs as FUSE programs type their volumes) and returns the letter the
    // window's platform gives it.
    char mountVolumeOf(const std::string& type, const std::string& options = "") {
        target_ = folder_->makeFolder("vol");
        if (type == "fuse")
            fuse_.emplace(std::vector<std::string>{"bindfs", "-o", "subtype=bindfs",
                                                   folder_->makeFolder("under"), target_},
                          target_);
        else
            mount_.emplace("volscope-test", target_, type, 0, options);
        return scratch::letterIn(os_, target_);
    }

    std::string make(const std::string& name) {
        const std::string path = target_ + "/" + name;
        std::ofstream(path) << name;
        return path;
    }

    void browse(char letter) {
        modVolscope_.CurrentDrive = std::string(1, letter);
        main_.cmdBrowse_Click();
    }

    // Selects the browser's file of that name, stepping the list from the top as a user would.
    void select(const std::string& name) {
        browser_window::FrmBrowser& b = main_.frmBrowser();
        for (std::int32_t i = 0; i < b.fil.listCount(); ++i) {
            b.fil.setListIndex(i);
            if (b.fil.fileName() == name) return;
        }
    }

    std::optional<scratch::MountLock> lock_;
    std::optional<scratch::Folder> folder_;
    std::optional<scratch::Mount> mount_;
    std::optional<scratch::FuseMount> fuse_;
    std::string target_;
    platform::PosixPlatform os_;
    volume_queries::ModVolscope modVolscope_{os_};
    fake::RecordingMessageBoxes boxes_;
    platform::posix::MountWatch volumeChanges_;
    toolkit::qt::QtToolkit qt_{boxes_, os_, volumeChanges_, "Volscope"};
    main_window::FrmMain main_{qt_, modVolscope_};
};

TEST_F(RealFolderTest, HiddenAndSystemFilesAreLeftOutAndOddNamesReachTheirOwnFiles) {
    const char letter = mountVolume();
    ASSERT_NE(letter, '\0') << target_ << " got no letter";
    std::map<std::string, ino_t> expected;  // a name the browser should list -> its file
    for (const std::string name : {"visible.txt", "a\\b", "\xFF\xFE.bin", "line\nbreak.txt"})
        expected[name] = inodeOf(make(name));
    make(".dotfile");
    const std::string hidden = make("hidden-by-attribute.txt");
    const std::string system = make("system-by-attribute.txt");
    if (::setxattr(hidden.c_str(), "user.DOSATTRIB", "0x2", 3, 0) != 0 ||
        ::setxattr(system.c_str(), "user.DOSATTRIB", "0x4", 3, 0) != 0)
        GTEST_SKIP() << "this kernel's tmpfs takes no user extended attributes";
    // A folder "a" holding "b" next to the file "a\b": the file must not lead into the folder.
    ::mkdir((target_ + "/a").c_str(), 0755);
    make("a/b");

    browse(letter);
    main_window::FrmMain& w = main_;
    ASSERT_TRUE(boxes_.shown.empty());
    browser_window::FrmBrowser& b = w.frmBrowser();
    ASSERT_EQ(b.fil.listCount(), 4);
    std::set<ino_t> reached;
    for (std::int32_t i = 0; i < 4; ++i) {
        b.fil.setListIndex(i);
        const auto mapped = platform::posix::mapDosPath(
            b.SelectedFilePath(), platform::test_support::PosixPlatformAccess::drives(os_));
        ASSERT_TRUE(mapped) << b.SelectedFilePath();
        reached.insert(inodeOf(mapped->path));
    }
    std::set<ino_t> files;
    for (const auto& [name, inode] : expected) files.insert(inode);
    EXPECT_EQ(reached, files);
}

std::string dosAttrib(const std::string& path) {
    char value[64] = {};
    const ssize_t size = ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value - 1);
    return size < 0 ? std::string() : std::string(value, static_cast<std::size_t>(size));
}

mode_t modeOf(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

TEST_F(RealFolderTest, AttributeBoxesWriteTheRealFileAndReadBackThroughAFreshSelection) {
    const char letter = mountVolume();
    ASSERT_NE(letter, '\0');
    const std::string file = make("report.txt");
    ::chmod(file.c_str(), 0664);
    make("other.txt");
    browse(letter);
    browser_window::FrmBrowser& b = main_.frmBrowser();
    QWidget* window = toolkit::qt::nativeWindow(b.form());
    const auto click = [&](const char* name) {
        QWidget* box = window->findChild<QWidget*>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    };

    select("report.txt");
    click("chkHidden");
    EXPECT_EQ(dosAttrib(file), "0x22") << "Wine's text form: hidden and archive";
    EXPECT_EQ(modeOf(file), 0664u);
    click("chkReadOnly");
    EXPECT_EQ(modeOf(file), 0444u) << "every write bit cleared, nothing else";
    click("chkArchive");
    select("other.txt");
    select("report.txt");
    EXPECT_EQ(b.chkReadOnly.value(), 1);
    EXPECT_EQ(b.chkHidden.value(), 1);
    EXPECT_EQ(b.chkArchive.value(), 0);
    click("chkReadOnly");
    EXPECT_EQ(modeOf(file), 0644u) << "the owner may write again";
    EXPECT_TRUE(boxes_.shown.empty());

    // Read-only from now on: the next change is refused, reported, and not shown as done.
    ASSERT_EQ(::mount(nullptr, target_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    click("chkHidden");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].title, "Error");
    EXPECT_EQ(b.chkHidden.value(), 1) << "the file is still hidden, and the box says so";
    ::mount(nullptr, target_.c_str(), nullptr, MS_REMOUNT, nullptr);
}

TEST_F(RealFolderTest, RealFilesShowTheirExactSizeAndTimes) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const char letter = mountVolume("size=4m");
    ASSERT_NE(letter, '\0');
    const std::string big = make("big.bin");
    ASSERT_EQ(::truncate(big.c_str(), 5'000'000'000), 0) << "a sparse file takes no room";
    const std::string dated = make("dated.txt");
    const timespec times[2] = {{-14'182'940, 0},     // last access: 1969-07-20 20:17:40 UTC
                               {1'073'311'387, 0}};  // last write: 2004-01-05 14:03:07 UTC
    ASSERT_EQ(::utimensat(AT_FDCWD, dated.c_str(), times, 0), 0);
    const std::string secret = make("secret.txt");
    ::chmod(secret.c_str(), 0);

    // A file the user may not read: as root only once the permission override is gone. Dropped
    // before browsing: the files are opened by the volume's worker thread, which takes this
    // thread's powers when it starts. The owner reads the other files all the same.
    std::optional<NoPermissionOverride> withoutOverride(std::in_place);
    if (!withoutOverride->ok()) GTEST_SKIP() << "cannot drop CAP_DAC_OVERRIDE here";
    browse(letter);
    browser_window::FrmBrowser& b = main_.frmBrowser();
    select("big.bin");
    EXPECT_EQ(b.lblSize.caption(), "Size: 5000000000 bytes, 4882812 KB.");
    select("dated.txt");
    EXPECT_EQ(b.lblLastModified.caption(), "Last Modified: 14:03:07;   Monday 05, January 2004");
    EXPECT_EQ(b.lblLastAccessed.caption(), "Last Accessed: 20:17:40;   Sunday 20, July 1969");
    EXPECT_TRUE(boxes_.shown.empty());

    select("secret.txt");
    withoutOverride.reset();
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].prompt, "File Read Error.");
    EXPECT_EQ(b.lblLastModified.caption(), "Last Modified: 00:00:00;   Monday 01, January 1601");
    QLocale::setDefault(QLocale::c());
}

TEST_F(RealFolderTest, NamesWithWildcardCharactersShowTheirOwnSizeAndTimes) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const char letter = mountVolume();
    ASSERT_NE(letter, '\0');
    const timespec times[2] = {{1'073'311'387, 0}, {1'073'311'387, 0}};  // 2004-01-05 14:03:07
    for (const std::string name : {"what?.txt", "*"}) {
        ASSERT_EQ(::utimensat(AT_FDCWD, make(name).c_str(), times, 0), 0);
    }
    make("whatX.txt");
    browse(letter);
    browser_window::FrmBrowser& b = main_.frmBrowser();
    for (const std::string name : {"what?.txt", "*"}) {
        SCOPED_TRACE(name);
        select(name);
        EXPECT_EQ(b.lblSize.caption(), "Size: " + std::to_string(name.size()) + " bytes, 0 KB.");
        EXPECT_EQ(b.lblLastModified.caption(),
                  "Last Modified: 14:03:07;   Monday 05, January 2004");
    }
    EXPECT_TRUE(boxes_.shown.empty());
    QLocale::setDefault(QLocale::c());
}

TEST_F(RealFolderTest, MainWindowShowsTheExactSizeOfAHundredTebibyteVolume) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const char letter = mountVolume("size=100t");
    ASSERT_NE(letter, '\0');
    modVolscope_.CurrentDrive = std::string(1, letter);
    main_.UpdateVolscope();
    EXPECT_EQ(main_.lblTotalClusters.caption(), "Total Number of Clusters: 3355443200");
    EXPECT_EQ(main_.lblSectorsPerCluster.caption(), "Number of Sectors per Cluster: 64");
    EXPECT_EQ(main_.lblUsedTotal.caption(), "Used / Total: 0KB / 107,374,182,400KB");
    QLocale::setDefault(QLocale::c());
}

// The volumes of a hostile unmount: a and b, each with a same.txt. a's same.txt is selected;
// then a goes, and another volume, c, with a same.txt of its own, takes a's free letter. Nothing
// meant for a's file may reach b's or c's.
TEST_F(RealFolderTest, FileOfAVolumeThatWentIsNeitherWrittenNorOpenedOnAnother) {
    std::map<std::string, std::optional<scratch::Mount>> volumes;
    const auto mountWithSameTxt = [&](const std::string& name) {
        const std::string target = folder_->makeFolder(name);
        volumes[name].emplace("volscope-" + name, target, "tmpfs", 0, "size=1m");
        std::ofstream(target + "/same.txt") << name;
        ::chmod((target + "/same.txt").c_str(), 0644);
        return target;
    };
    const std::string a = mountWithSameTxt("a");
    const std::string b = mountWithSameTxt("b");
    const char letterA = scratch::letterIn(os_, a);
    const char letterB = scratch::letterIn(os_, b);
    ASSERT_NE(letterA, '\0');
    ASSERT_NE(letterB, '\0');
    browse(letterA);
    browser_window::FrmBrowser& w = main_.frmBrowser();
    QWidget* window = toolkit::qt::nativeWindow(w.form());
    const auto click = [&](const char* name) {
        QWidget* box = window->findChild<QWidget*>(name);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    };
    select("same.txt");
    ASSERT_TRUE(boxes_.shown.empty());
    const std::string path = std::string{letterA} + ":\\same.txt";

    volumes["a"]->unmount();
    click("chkReadOnly");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].title, "Error");
    EXPECT_EQ(boxes_.shown[0].prompt.rfind("The file " + path + " cannot be reached", 0), 0u)
        << boxes_.shown[0].prompt;
    EXPECT_EQ(scratch::letterIn(os_, b), letterB) << "b keeps its letter";

    const std::string c = mountWithSameTxt("c");
    ASSERT_EQ(scratch::letterIn(os_, c), letterA) << "the lowest free letter: a's";
    w.cmdNext_Click();  // ">" selects same.txt again, which is c's now
    EXPECT_EQ(boxes_.shown.size(), 1u);
    click("chkHidden");
    w.cmdExecute_Click();
    ASSERT_EQ(boxes_.shown.size(), 3u);
    EXPECT_NE(boxes_.shown[1].prompt.find(path + " is no longer the one that was listed"),
              std::string::npos)
        << boxes_.shown[1].prompt;
    EXPECT_NE(boxes_.shown[2].prompt.find("Nothing was opened."), std::string::npos);
    for (const std::string& target : {b, c}) {
        SCOPED_TRACE(target);
        EXPECT_EQ(modeOf(target + "/same.txt"), 0644u);
        EXPECT_EQ(dosAttrib(target + "/same.txt"), "");
    }
    for (auto& [name, volume] : volumes) volume.reset();
}

// A file that cannot be opened when it is selected (here: held open for writing elsewhere, which
// the browser's reading open does not share) gives no file to compare with later: its attributes
// are still written, on the volume that was listed, and on no other.
TEST_F(RealFolderTest, FileThatCouldNotBeOpenedIsWrittenOnTheVolumeListedOnly) {
    const char letter = mountVolume("size=1m");
    ASSERT_NE(letter, '\0');
    const std::string held = make("held.txt");
    std::optional<platform::posix::UniqueFd> writer(std::in_place,
                                                    ::open(held.c_str(), O_WRONLY | O_CLOEXEC));
    ASSERT_TRUE(writer->valid());
    browse(letter);
    browser_window::FrmBrowser& w = main_.frmBrowser();
    select("held.txt");
    ASSERT_EQ(boxes_.shown.size(), 1u);
    ASSERT_EQ(boxes_.shown[0].prompt, "File Read Error.");
    w.chkHidden.setValue(1);
    w.chkHidden_Click();
    EXPECT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(dosAttrib(held), "0x22") << "written where it was listed";

    writer.reset();
    mount_.reset();
    const std::string other = folder_->makeFolder("other");
    const scratch::Mount replacement("volscope-other", other, "tmpfs", 0, "size=1m");
    ASSERT_EQ(scratch::letterIn(os_, other), letter);
    std::ofstream(other + "/held.txt") << "other";
    w.chkArchive.setValue(0);
    w.chkArchive_Click();
    ASSERT_EQ(boxes_.shown.size(), 2u);
    EXPECT_EQ(boxes_.shown[1].title, "Error");
    EXPECT_EQ(dosAttrib(other + "/held.txt"), "");
}

TEST_F(RealFolderTest, RootTheListerCannotOpenShowsTheBrowserThenTheMessageAndHidesIt) {
    const char letter = mountVolume("size=4m,mode=000");
    ASSERT_NE(letter, '\0');
    NoPermissionOverride withoutOverride;
    if (!withoutOverride.ok()) GTEST_SKIP() << "cannot drop CAP_DAC_OVERRIDE here";
    browse(letter);
    ASSERT_EQ(boxes_.shown.size(), 1u);
    EXPECT_EQ(boxes_.shown[0].prompt.rfind("An error has occurred while trying to browse", 0), 0u);
    EXPECT_FALSE(toolkit::qt::nativeWindow(main_.frmBrowser().form())->isVisible());
}

class EmptyVolumeTest : public RealFolderTest, public ::testing::WithParamInterface<const char*> {};

// A freshly made volume has no entry at all in its root: a folder without files.
TEST_P(EmptyVolumeTest, OpensTheBrowserWithEmptyListsAndNoMessage) {
    const std::string type = GetParam();
    if (type == "fuse" && !scratch::hasTool("bindfs")) GTEST_SKIP() << "bindfs is missing";
    const char letter = mountVolumeOf(type);
    ASSERT_NE(letter, '\0') << target_ << " got no letter";
    browse(letter);
    EXPECT_TRUE(boxes_.shown.empty());
    browser_window::FrmBrowser& b = main_.frmBrowser();
    EXPECT_TRUE(toolkit::qt::nativeWindow(b.form())->isVisible());
    EXPECT_EQ(b.Dir.path(), (std::string{letter, ':', '\\'}));
    EXPECT_EQ(b.fil.listCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, EmptyVolumeTest, ::testing::Values("tmpfs", "ramfs", "fuse"));

}  // namespace
