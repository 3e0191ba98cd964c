#pragma once

#include <cstdint>
#include <string>

namespace platform::posix {

// Starts `opener` (a program name looked up on PATH, or a path) with the file's path as its one
// argument, in `folder`, without a shell: xdg-open hands the file to the desktop's application
// for it. Waits up to a second for the opener to fail, and no longer: an opener still running
// then has started the application, or runs it, and is reaped when it ends, by a thread of its
// own, so that no zombie stays. Failures after that second are not seen.
// Returns ShellExecuteA's codes: above 32 once started (or ended with status 0);
// shellFileNotFound when file cannot be reached, shellPathNotFound when folder is no folder,
// shellDllNotFound when the opener cannot be started (missing or not executable),
// shellOutOfMemory when the system lacks resources. An opener that fails within the second
// gives, by xdg-open's exit statuses: 3 (no application for the type) shellNoAssociation,
// 2 (no such file) shellFileNotFound, any other status or a signal shellDdeFailed.
std::intptr_t startOpener(const std::string& opener, const std::string& file,
                          const std::string& folder);

}  // namespace platform::posix
