// Volscope for Windows: one drive letter at a time, with the kind of drive behind it and its
// volume's details. Picks the backends (Windows, Win32 toolkit) once and hands over to the
// event loop.
#include "app/win32/volscope_program.h"

int main() {
    VolscopeProgram program;
    program.frmMain.form().show();
    if (program.toolkit.ended()) return 0;
    return program.toolkit.run();
}
