#pragma once

#include <windows.h>

#include <cstdio>

// Writes the performance counter now, in ticks, to the standard output handle that
// startup_bench gave the process (a GUI program's C library may have no stdout of its own).
inline void reportClock() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%lld\n", now.QuadPart);
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(length), &written, nullptr);
}
