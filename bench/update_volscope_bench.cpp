// The time of one UpdateVolscope on this machine's real root volume (drive C), against the bare
// system calls it needs: reading the mount table, statvfs and the label. Then the same on a RAM
// disk mounted for the run (a tmpfs under /mnt, root only), whose calls go through the volume
// watchdog's worker and bounded wait, against that volume's bare calls; and one bare round trip
// to a watchdog's worker.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libmount/libmount.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <string>

#include "main_window/frm_main.h"
#include "platform/posix/mount_watch.h"
#include "platform/posix/mounted_drives.h"
#include "platform/posix/posix_platform.h"
#include "platform/volume_watchdog.h"
#include "toolkit/message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

namespace {

class SilentMessageBoxes final : public toolkit::MessageBoxes {
  public:
    int show(const toolkit::MessageBoxRequest&) override { return toolkit::msgboxAnswerOk; }
};

// A tmpfs mounted for the run under /mnt, and unmounted at its end. Meanwhile it holds the mount
// lock that the real-volume tests take (an exclusive flock on /mnt), so that a test running at
// the same time does not see its letters move.
class RamDisk {
  public:
    RamDisk() : lock_(::open("/mnt", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (lock_ >= 0) ::flock(lock_, LOCK_EX);
        char folder[] = "/mnt/volscope-bench-XXXXXX";
        if (::mkdtemp(folder) == nullptr) return;
        target_ = folder;
        if (::mount("volscope-bench", folder, "tmpfs", 0, "size=4m") != 0) {
            ::rmdir(folder);
            target_.clear();
        }
    }
    RamDisk(const RamDisk&) = delete;
    RamDisk& operator=(const RamDisk&) = delete;
    ~RamDisk() {
        if (!target_.empty()) {
            ::umount2(target_.c_str(), MNT_DETACH);
            ::rmdir(target_.c_str());
        }
        if (lock_ >= 0) ::close(lock_);
    }
    // Empty when it could not be mounted (mounting needs root).
    const std::string& target() const { return target_; }

  private:
    int lock_;
    std::string target_;
};

RamDisk& ramDisk() {
    static RamDisk disk;
    return disk;
}

// The letter that a platform starting now gives the volume at target; '\0' for none.
char letterOf(const std::string& target) {
    const platform::posix::DriveTable drives =
        platform::posix::assignDriveLetters(platform::posix::mountedVolumes());
    for (std::size_t i = 0; i < drives.size(); ++i) {
        if (drives[i] && drives[i]->mount.target == target) return static_cast<char>('A' + i);
    }
    return '\0';
}

// One UpdateVolscope of the letter (the program's start-up letter when empty).
void updateVolscope(benchmark::State& state, const std::string& target) {
    SilentMessageBoxes boxes;
    platform::PosixPlatform os;
    platform::posix::MountWatch volumeChanges;
    toolkit::qt::QtToolkit toolkit(boxes, os, volumeChanges, "Volscope");
    volume_queries::ModVolscope modVolscope(os);
    main_window::FrmMain frmMain(toolkit, modVolscope);
    frmMain.form().load();
    if (!target.empty()) {
        const char letter = letterOf(target);
        if (letter == '\0') {
            state.SkipWithError("the RAM disk got no drive letter");
            return;
        }
        modVolscope.CurrentDrive = std::string(1, letter);
    }
    for (auto _ : state) frmMain.UpdateVolscope();
}

// The calls UpdateVolscope needs of the volume at target, made directly.
void bareSystemCalls(benchmark::State& state, const std::string& target) {
    for (auto _ : state) {
        libmnt_table* table = mnt_new_table();
        mnt_table_parse_file(table, "/proc/self/mountinfo");
        libmnt_fs* root = mnt_table_find_target(table, target.c_str(), MNT_ITER_BACKWARD);
        benchmark::DoNotOptimize(root);
        mnt_unref_table(table);

        struct statvfs info {};
        benchmark::DoNotOptimize(::statvfs(target.c_str(), &info));

        char label[FSLABEL_MAX] = {};
        const int fd = ::open(target.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            benchmark::DoNotOptimize(::ioctl(fd, FS_IOC_GETFSLABEL, label));
            ::close(fd);
        }
    }
}

void updateVolscopeOnRoot(benchmark::State& state) {
    updateVolscope(state, "");
}
BENCHMARK(updateVolscopeOnRoot);

void bareSystemCallsOnRoot(benchmark::State& state) {
    bareSystemCalls(state, "/");
}
BENCHMARK(bareSystemCallsOnRoot);

void updateVolscopeOnRamDiskThroughTheWatchdog(benchmark::State& state) {
    if (ramDisk().target().empty()) {
        state.SkipWithError("no RAM disk: mounting needs root");
        return;
    }
    updateVolscope(state, ramDisk().target());
}
BENCHMARK(updateVolscopeOnRamDiskThroughTheWatchdog);

void bareSystemCallsOnRamDisk(benchmark::State& state) {
    if (ramDisk().target().empty()) {
        state.SkipWithError("no RAM disk: mounting needs root");
        return;
    }
    bareSystemCalls(state, ramDisk().target());
}
BENCHMARK(bareSystemCallsOnRamDisk);

// What the bounded wait adds to one call: the hand-over to the worker and back.
void watchdogRoundTrip(benchmark::State& state) {
    platform::VolumeWatchdog watchdog;
    const platform::VolumeKey volume{1, 1};
    for (auto _ : state) benchmark::DoNotOptimize(watchdog.run(volume, [] { return 1; }));
}
BENCHMARK(watchdogRoundTrip);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
