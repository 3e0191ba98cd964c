// Starts exactly as volscope.exe does and exits once the main window has been shown and
// painted, reporting the performance counter at that moment for startup_bench.
#include "app/win32/volscope_program.h"
#include "bench/win32/report_clock.h"

int main() {
    VolscopeProgram program;
    program.frmMain.form().show();
    UpdateWindow(toolkit::win32::nativeWindow(program.frmMain.form()));
    program.toolkit.doEvents();
    reportClock();
    return 0;
}
