// Time from process start to the first shown window: the program's start-up (startup_probe)
// against a bare Qt window with the same controls (bare_qt_window), each started many times.
// Usage: startup_bench PROBE BARE [RUNS]; the platform is whatever QT_QPA_PLATFORM says.
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/startup_runs.h"

extern char** environ;

namespace {

long long monotonicNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

// Milliseconds from spawning the program to the moment it reports its window shown; -1 on error.
double startOnce(const char* program) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    char* argv[] = {const_cast<char*>(program), nullptr};
    const long long started = monotonicNow();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    std::string output;
    char buffer[64];
    ssize_t n = 0;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) output.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) < 0 || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || output.empty())
        return -1;
    return static_cast<double>(std::atoll(output.c_str()) - started) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const char* platformName = std::getenv("QT_QPA_PLATFORM");
    std::printf("Start-up to first shown window, platform %s\n",
                platformName ? platformName : "default");
    return bench::runStartupBench(argc, argv, startOnce, "bare Qt window");
}
