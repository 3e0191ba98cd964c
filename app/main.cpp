// Volscope: one drive letter at a time, with the kind of drive behind it and its volume's
// details. Picks the backends (Linux, Qt) once and hands over to the event loop.
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
    if (toolkit.ended()) return 0;
    return application.exec();
}
