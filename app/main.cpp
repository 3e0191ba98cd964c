// Volscope: one drive letter at a time, with the kind of drive behind it and its volume's
// details. Picks the backends (Linux, Qt) once and hands over to the event loop.
#include "app/volscope_program.h"

int main(int argc, char** argv) {
    // The build names the installed .desktop file, metainfo and icons after VOLSCOPE_APP_ID.
    toolkit::qt::QtApplication application(argc, argv, VOLSCOPE_APP_ID);
    VolscopeProgram program;
    program.frmMain.form().show();
    if (program.toolkit.ended()) return 0;
    return application.exec();
}
