// How long one drive step takes: the main window on this system's drives steps ">" and "<" in
// turn and reports the time per step and the moves of the icon per second. Run it under Wine
// (null display driver or X11 under Xvfb) or on Windows.
#include <cstdio>

#include "app/win32/volscope_program.h"

int main() {
    VolscopeProgram program;
    main_window::FrmMain& frmMain = program.frmMain;
    frmMain.form().show();
    program.toolkit.doEvents();

    // A ">" from C makes 133 moves out and one per 20 twips of window width beyond 1920 in;
    // a "<" the same number out and 97 in.
    const int steps = 10;
    const auto movesIn = static_cast<int>((frmMain.form().width() - 1920) / 20) + 1;
    const int movesPerPair = (133 + movesIn) + (movesIn + 97);
    LARGE_INTEGER frequency;
    LARGE_INTEGER started;
    LARGE_INTEGER ended;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&started);
    for (int i = 0; i < steps; ++i) {
        frmMain.cmdNext_Click();
        frmMain.cmdPrev_Click();
    }
    QueryPerformanceCounter(&ended);
    const double seconds = static_cast<double>(ended.QuadPart - started.QuadPart) /
                           static_cast<double>(frequency.QuadPart);
    std::printf("one step %.1f ms on average, %.0f moves per second (%d steps, %d DPI)\n",
                seconds * 1000 / (2 * steps), movesPerPair * steps / seconds, 2 * steps,
                program.toolkit.dpi());
    return 0;
}
