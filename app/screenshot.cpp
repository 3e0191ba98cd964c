// volscope-screenshot OUT.png: starts the main window as the program does, on this machine's
// real drives, and writes a picture of it. Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <cstdio>
#include <cstdlib>

#include "main_window/frm_main.h"
#include "platform/posix/posix_platform.h"
#include "toolkit/qt/qt_message_boxes.h"
#include "toolkit/qt/qt_toolkit.h"
#include "volume_queries/mod_volscope.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::qt::QtApplication application(argc, argv);
    toolkit::qt::QtMessageBoxes messageBoxes;
    toolkit::qt::QtToolkit toolkit(messageBoxes, "Volscope");
    platform::PosixPlatform os;
    volume_queries::ModVolscope modVolscope(os);

    main_window::FrmMain frmMain(toolkit, modVolscope);
    frmMain.form().show();
    toolkit.doEvents();
    if (!toolkit::qt::saveScreenshot(frmMain.form(), argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
