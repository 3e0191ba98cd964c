// The time to fill the browser's file list for folders of 10,000 and 100,000 files, against a
// bare loop of the system calls the listing needs (reading the folder, each entry's type and its
// DOS attribute), in the same run; and the memory the filled list holds. The folders are made
// under /tmp (drive C) and removed afterwards.
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "browser_window/frm_browser.h"
#include "platform/posix/mount_watch.h"
#include "platform/posix/posix_platform.h"
#include "toolkit/controls.h"
#include "toolkit/message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"

namespace {

class SilentMessageBoxes final : public toolkit::MessageBoxes {
  public:
    int show(const toolkit::MessageBoxRequest&) override { return toolkit::msgboxAnswerOk; }
};

double millisecondsOf(const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        runs.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// readdir, then per entry the stat and the attribute read that the listing makes.
std::size_t bareLoop(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    std::size_t files = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat info {};
        ::fstatat(::dirfd(dir), entry->d_name, &info, 0);
        char value[256];
        const std::string path = folder + "/" + entry->d_name;
        ::lgetxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value);
        if (S_ISREG(info.st_mode)) ++files;
    }
    ::closedir(dir);
    return files;
}

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE) / 1024;
}

// The system calls and the drawing of one selection refresh, made directly: what the refresh
// asks of the file (its icon's stat, the short name's lstat, its attributes and size, the open
// with the sharing check, the times, the close, the attributes again) and the same icon drawn
// into the same picture box. What the refresh adds is its labels and the hand-overs of its calls
// to the volume's worker.
void bareRefresh(const std::string& folder, const std::string& name, toolkit::PictureBox& box) {
    const std::string path = folder + "/" + name;
    struct stat info {};
    ::stat(path.c_str(), &info);
    box.cls();
    platform::DeviceContext& dc = box.hDC();
    const char* icon = "text-x-generic";
    if (dc.hasThemeIcon("text-plain"))
        icon = "text-plain";
    else
        dc.hasThemeIcon(icon);
    dc.drawThemeIcon(icon, 0, 0);
    ::lstat(path.c_str(), &info);
    const auto attributes = [&] {
        const int parent = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        ::fstatat(parent, name.c_str(), &info, 0);
        char value[256];
        ::getxattr(path.c_str(), "user.DOSATTRIB", value, sizeof value);
        ::close(parent);
    };
    attributes();
    ::stat(path.c_str(), &info);
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    ::fstat(fd, &info);
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) ::fcntl(fd, F_SETLEASE, F_UNLCK);
    struct statx status {};
    // The mount's ID: unique from kernel 6.8 on, else the older kind.
    constexpr unsigned uniqueMountId = 0x00004000U;
    ::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC, uniqueMountId, &status);
    if ((status.stx_mask & uniqueMountId) == 0)
        ::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC, STATX_MNT_ID, &status);
    ::statx(fd, "", AT_EMPTY_PATH, STATX_BASIC_STATS | STATX_BTIME, &status);
    ::close(fd);
    attributes();
}

// One selection refresh (icon and the six labels) in the big folder, against its bare calls.
void refreshes(browser_window::FrmBrowser& browser, const std::string& folder) {
    constexpr int selections = 500;
    const double refresh = millisecondsOf([&] {
        for (int i = 0; i < selections; ++i) browser.fil.setListIndex((i * 197) % 100'000);
    });
    const double bare = millisecondsOf([&] {
        for (int i = 0; i < selections; ++i)
            bareRefresh(folder, "file" + std::to_string((i * 197) % 100'000) + ".txt",
                        browser.pctIcon);
    });
    std::printf(
        "one selection refresh in the 100000-file folder: %.1f us, bare calls %.1f us "
        "(%.2fx)\n",
        refresh * 1000 / selections, bare * 1000 / selections, refresh / bare);
}

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    SilentMessageBoxes boxes;
    platform::PosixPlatform os;
    platform::posix::MountWatch volumeChanges;
    toolkit::qt::QtToolkit toolkit(boxes, os, volumeChanges, "Volscope");
    volume_queries::ModVolscope modVolscope(os);
    browser_window::FrmBrowser browser(toolkit, modVolscope);

    char pattern[] = "/tmp/volscope-bench-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    for (const int count : {10'000, 100'000}) {
        const std::string folder = root + "/n" + std::to_string(count);
        std::filesystem::create_directory(folder);
        for (int i = 0; i < count; ++i)
            ::close(::open((folder + "/file" + std::to_string(i) + ".txt").c_str(),
                           O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
        std::string dos = "C:" + folder;
        std::replace(dos.begin(), dos.end(), '/', '\\');

        std::size_t bareFiles = 0;
        const double bare = millisecondsOf([&] { bareFiles = bareLoop(folder); });
        browser.fil.setPath("C:\\");
        const long before = residentKilobytes();
        const double fill = millisecondsOf([&] { browser.fil.setPath(dos); });
        const long after = residentKilobytes();
        std::printf(
            "%7d files: file list %8.1f ms, bare loop %8.1f ms (%.2fx); list holds %d "
            "names, resident memory +%ld KiB\n",
            count, fill, bare, fill / bare, browser.fil.listCount(), after - before);
        if (bareFiles != static_cast<std::size_t>(count))
            std::printf("  (bare loop saw %zu)\n", bareFiles);
        if (count == 100'000) refreshes(browser, folder);
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of the whole run: %ld MiB\n", usage.ru_maxrss / 1024);
    std::filesystem::remove_all(root);
    return 0;
}
