// volscope-screenshot OUT.png: starts the main window as the program does, on this machine's
// real drives, and writes a picture of it. Runs offscreen unless QT_QPA_PLATFORM says otherwise.
#include <cstdio>
#include <cstdlib>

#include "app/volscope_program.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::qt::QtApplication application(argc, argv);
    VolscopeProgram program;
    program.frmMain.form().show();
    program.toolkit.doEvents();
    if (!toolkit::qt::saveScreenshot(program.frmMain.form(), argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
