#pragma once

namespace platform {

// Where an event loop learns, with no timer, that the volumes the system shows may have changed:
// a descriptor to wait on. Linux: posix::MountWatch. The Qt toolkit gets one at start-up and
// raises its forms' DeviceChange from it; Windows tells the windows itself (WM_DEVICECHANGE).
class ChangeSource {
  public:
    virtual ~ChangeSource() = default;

    // A descriptor that the system marks with priority data (POLLPRI: what select's exceptfds
    // and QSocketNotifier::Exception wait for) when a change comes; -1 when there is nothing to
    // watch. It stays the same, and open, while the source lives.
    virtual int descriptor() const = 0;
    // Called when the mark has been seen: takes what is left of it off, so that only the next
    // change marks the descriptor again.
    virtual void acknowledge() = 0;
};

}  // namespace platform
