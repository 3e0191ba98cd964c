// Starts exactly as the program does and exits once the main window has been shown and
// painted, printing the monotonic clock at that moment (nanoseconds) for startup_bench.
#include <time.h>

#include <QApplication>
#include <QWidget>
#include <cstdio>

#include "main_window/frm_main.h"
#include "platform/posix/posix_platform.h"
#include "toolkit/qt/qt_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

int main(int argc, char** argv) {
    toolkit::qt::QtApplication application(argc, argv);
    toolkit::qt::QtMessageBoxes messageBoxes;
    toolkit::qt::QtToolkit toolkit(messageBoxes, "Volscope");
    platform::PosixPlatform os;
    volume_queries::ModVolscope modVolscope(os);
    main_window::FrmMain frmMain(toolkit, modVolscope);
    frmMain.form().show();
    toolkit::qt::nativeWindow(frmMain.form())->repaint();
    QApplication::processEvents();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec);
    return 0;
}
