#include "platform/posix/mount_watch.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform::posix {

MountWatch::MountWatch(const char* path)
    : path_(path), table_(::open(path, O_RDONLY | O_CLOEXEC)) {}

bool MountWatch::changed() {
    if (!table_.valid()) {
        table_.reset(::open(path_, O_RDONLY | O_CLOEXEC));
        return true;
    }
    pollfd watch{table_.get(), POLLPRI, 0};
    if (::poll(&watch, 1, 0) <= 0 || (watch.revents & (POLLERR | POLLPRI)) == 0) return false;
    acknowledge();
    return true;
}

void MountWatch::acknowledge() {
    // Read to its end, so that nothing of this change is left to be reported as the next.
    char buffer[8192];
    ::lseek(table_.get(), 0, SEEK_SET);
    while (::read(table_.get(), buffer, sizeof buffer) > 0) {
    }
}

}  // namespace platform::posix
