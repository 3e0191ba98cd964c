#include "platform/posix/desktop_opener.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/platform.h"

namespace platform::posix {

namespace {

// Any value above 32 means success; Wine's ShellExecute answers with this one.
constexpr std::intptr_t started = 33;

// How long the user interface waits for the opener to fail. xdg-open fails within a fraction of
// a second when it finds no application; where it runs the application in the foreground (a
// desktop without its own opener), it does not end while the application runs, and the wait
// ends here.
constexpr auto earlyExitWait = std::chrono::milliseconds(1000);

// xdg-open's exit statuses that say more than "failed" (see xdg-open(1)).
constexpr int xdgFileNotFound = 2;
constexpr int xdgNoTool = 3;

class SpawnActions {
  public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    posix_spawn_file_actions_t* get() { return &actions_; }

  private:
    posix_spawn_file_actions_t actions_;
};

void reapWhenItEnds(pid_t child) {
    try {
        std::thread([child]() {
            while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // Without a thread the child is reaped here if it has ended already, else it stays a
        // zombie until the program ends: a lesser harm than waiting for the application.
        waitpid(child, nullptr, WNOHANG);
    }
}

// The child's exit status once it has ended, within earlyExitWait; nullopt while it still runs.
// A child killed by a signal counts as failing.
std::optional<int> earlyExitStatus(pid_t child) {
    const auto deadline = std::chrono::steady_clock::now() + earlyExitWait;
    while (true) {
        int status = 0;
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (ended < 0 && errno != EINTR) return std::nullopt;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::intptr_t resultOfExit(int status) {
    switch (status) {
        case 0:
            return started;
        case xdgFileNotFound:
            return Platform::shellFileNotFound;
        case xdgNoTool:
            return Platform::shellNoAssociation;
        default:
            return Platform::shellDdeFailed;
    }
}

}  // namespace

std::intptr_t startOpener(const std::string& opener, const std::string& file,
                          const std::string& folder) {
    struct stat status {};
    if (stat(file.c_str(), &status) != 0) return Platform::shellFileNotFound;
    if (stat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return Platform::shellPathNotFound;

    SpawnActions actions;
    if (posix_spawn_file_actions_addchdir_np(actions.get(), folder.c_str()) != 0)
        return Platform::shellOutOfMemory;
    std::string program = opener;
    std::string argument = file;
    char* const arguments[] = {program.data(), argument.data(), nullptr};
    pid_t child = 0;
    const int error =
        posix_spawnp(&child, opener.c_str(), actions.get(), nullptr, arguments, environ);
    if (error == ENOMEM || error == EAGAIN) return Platform::shellOutOfMemory;
    if (error != 0) return Platform::shellDllNotFound;
    if (const std::optional<int> exitStatus = earlyExitStatus(child))
        return resultOfExit(*exitStatus);
    reapWhenItEnds(child);
    return started;
}

}  // namespace platform::posix
