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

void report(const char* name, const char* program, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = startOnce(program);
        if (ms < 0) {
            std::fprintf(stderr, "%s failed to start\n", program);
            std::exit(1);
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-18s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%d runs)\n", name,
                times[times.size() / 2], times.front(), times.back(), runs);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PROBE BARE [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 20;
    std::printf("Start-up to first shown window\n");
    startOnce(argv[1]);  // warm the page cache and the wineserver
    startOnce(argv[2]);
    report("Volscope", argv[1], runs);
    report("bare Win32 window", argv[2], runs);
    return 0;
}
