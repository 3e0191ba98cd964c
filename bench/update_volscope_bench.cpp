// The time of one UpdateVolscope on this machine's real root volume (drive C), against the bare
// system calls it needs: reading the mount table, statvfs and the label.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libmount/libmount.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>

#include "main_window/frm_main.h"
#include "platform/posix/posix_platform.h"
#include "toolkit/message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

namespace {

class SilentMessageBoxes final : public toolkit::MessageBoxes {
  public:
    int show(const toolkit::MessageBoxRequest&) override { return toolkit::msgboxAnswerOk; }
};

void updateVolscopeOnRoot(benchmark::State& state) {
    SilentMessageBoxes boxes;
    platform::PosixPlatform os;
    toolkit::qt::QtToolkit toolkit(boxes, os, "Volscope");
    volume_queries::ModVolscope modVolscope(os);
    main_window::FrmMain frmMain(toolkit, modVolscope);
    frmMain.form().load();
    for (auto _ : state) frmMain.UpdateVolscope();
}
BENCHMARK(updateVolscopeOnRoot);

void bareSystemCalls(benchmark::State& state) {
    for (auto _ : state) {
        libmnt_table* table = mnt_new_table();
        mnt_table_parse_file(table, "/proc/self/mountinfo");
        libmnt_fs* root = mnt_table_find_target(table, "/", MNT_ITER_BACKWARD);
        benchmark::DoNotOptimize(root);
        mnt_unref_table(table);

        struct statvfs info {};
        benchmark::DoNotOptimize(::statvfs("/", &info));

        char label[FSLABEL_MAX] = {};
        const int fd = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            benchmark::DoNotOptimize(::ioctl(fd, FS_IOC_GETFSLABEL, label));
            ::close(fd);
        }
    }
}
BENCHMARK(bareSystemCalls);

}  // namespace

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
