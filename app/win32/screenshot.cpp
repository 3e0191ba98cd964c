// volscope-screenshot MAIN.bmp [BROWSER.bmp [FOLDER]]: starts the main window as the program
// does, on this system's drives, and writes a picture of it, frame and title bar included; with
// a second file, also opens the browser on drive C, goes to FOLDER (a DOS path, "C:\windows" by
// default), selects its first file and writes a picture of the browser.
#include <cstdio>

#include "app/win32/volscope_program.h"
#include "toolkit/win32/win32_screenshot.h"

namespace {

bool save(VolscopeProgram& program, toolkit::Form& form, const char* path) {
    program.toolkit.doEvents();
    HWND window = toolkit::win32::nativeWindow(form);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (toolkit::win32::saveWindowBitmap(window, path)) return true;
    std::fprintf(stderr, "cannot write %s\n", path);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: %s MAIN.bmp [BROWSER.bmp [FOLDER]]\n", argv[0]);
        return 2;
    }
    VolscopeProgram program;
    program.frmMain.form().show();
    if (!save(program, program.frmMain.form(), argv[1])) return 1;
    if (argc == 2) return 0;

    program.frmMain.cmdBrowse_Click();
    browser_window::FrmBrowser& browser = program.frmMain.frmBrowser();
    browser.Dir.setPath(argc == 4 ? argv[3] : "C:\\windows");
    if (browser.fil.listCount() > 0) browser.fil.setListIndex(0);
    return save(program, browser.form(), argv[2]) ? 0 : 1;
}
