// Time from process start to the first shown window under Wine (or on Windows): the program's
// start-up (startup_probe.exe) against a bare Win32 window with the same controls
// (bare_win32_window.exe), each started many times in the same run.
// Usage: startup_bench PROBE BARE [RUNS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/startup_runs.h"

namespace {

double ticksPerMillisecond() {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
}

// Milliseconds from starting the program to the moment it reports its window shown; -1 on error.
double startOnce(const char* program) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return -1;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::string commandLine = std::string("\"") + program + "\"";
    LARGE_INTEGER started;
    QueryPerformanceCounter(&started);
    const BOOL created = CreateProcessA(program, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    char buffer[64];
    DWORD got = 0;
    while (created && ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
        output.append(buffer, got);
    CloseHandle(readEnd);
    if (!created) return -1;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (exitCode != 0 || output.empty()) return -1;
    return static_cast<double>(std::atoll(output.c_str()) - started.QuadPart) /
           ticksPerMillisecond();
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("Start-up to first shown window\n");
    return bench::runStartupBench(argc, argv, startOnce, "bare Win32 window");
}
