#pragma once

#include "platform/change_source.h"
#include "platform/posix/unique_fd.h"

namespace platform::posix {

// Watches this process's mount table, /proc/self/mountinfo, for changes: the kernel marks the
// open file with POLLPRI (and POLLERR) whenever a mount is made, changed or undone. A poll that
// sees the mark takes it off for that open file alone, so each watcher has a watch of its own:
// the platform one for its drive table, the toolkit one for its event loop.
class MountWatch final : public ChangeSource {
  public:
    // path: the table to watch, in mountinfo's format.
    explicit MountWatch(const char* path = "/proc/self/mountinfo");

    // Whether the table has changed since the last call (the first: since the watch began), and
    // takes the mark off. True at every call while the table cannot be opened, so that a reader
    // then reads it afresh every time; each call tries to open it again.
    bool changed();

    int descriptor() const override { return table_.get(); }
    // Reads the table to its end.
    void acknowledge() override;

  private:
    const char* path_;
    UniqueFd table_;
};

}  // namespace platform::posix
