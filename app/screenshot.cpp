// volscope-screenshot MAIN.png [BROWSER.png [FOLDER]]: starts the main window as the program
// does, on this machine's real drives, and writes a picture of it; with a second file, also
// opens the browser on drive C, goes to FOLDER (a DOS path, "C:\usr\share\doc\base-files" by
// default), selects its first file and writes a picture of the browser. Runs offscreen unless
// QT_QPA_PLATFORM says otherwise.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/volscope_program.h"

namespace {

bool save(toolkit::Form& form, const char* path) {
    if (toolkit::qt::saveScreenshot(form, path)) return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s MAIN.png [BROWSER.png [FOLDER]]\n", argv[0]);
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::qt::QtApplication application(argc, argv);
    VolscopeProgram program;
    program.frmMain.form().show();
    program.toolkit.doEvents();
    if (!save(program.frmMain.form(), argv[1])) return 1;
    if (argc == 2) return 0;

    program.frmMain.cmdBrowse_Click();
    browser_window::FrmBrowser& browser = program.frmMain.frmBrowser();
    const char* folder = argc == 4 ? argv[3] : "C:\\usr\\share\\doc\\base-files";
    try {
        browser.Dir.setPath(folder);
    } catch (const toolkit::PathUnavailable&) {
        std::fprintf(stderr, "cannot list %s (give it as a DOS path, \"C:\\tmp\")\n", folder);
        return 1;
    }
    if (browser.fil.listCount() > 0) browser.fil.setListIndex(0);
    program.toolkit.doEvents();
    return save(browser.form(), argv[2]) ? 0 : 1;
}
