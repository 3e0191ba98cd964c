#pragma once

#include <cstdint>
#include <string>

namespace platform::posix {

// Starts `opener` (a program name looked up on PATH, or a path) with the file's path as its one
// argument, in `folder`, without a shell, and returns without waiting for it: xdg-open hands
// the file to the desktop's application for it. The child is reaped when it ends, by a thread of
// its own, so that no zombie stays. The opener's own failures after it started are not seen.
// Returns ShellExecuteA's codes: above 32 once started; shellFileNotFound when file cannot be
// reached, shellPathNotFound when folder is no folder, shellNoAssociation when the opener cannot
// be started (missing or not executable), shellOutOfMemory when the system lacks resources.
std::intptr_t startOpener(const std::string& opener, const std::string& file,
                          const std::string& folder);

}  // namespace platform::posix
