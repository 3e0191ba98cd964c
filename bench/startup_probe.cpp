// Starts exactly as the program does and exits once the main window has been shown and
// painted, printing the monotonic clock at that moment (nanoseconds) for startup_bench.
#include <time.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "app/volscope_program.h"
#include "toolkit/qt/qt_toolkit.h"

int main(int argc, char** argv) {
    toolkit::qt::QtApplication application(argc, argv);
    VolscopeProgram program;
    program.frmMain.form().show();
    toolkit::qt::nativeWindow(program.frmMain.form())->repaint();
    QApplication::processEvents();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
    return 0;
}
