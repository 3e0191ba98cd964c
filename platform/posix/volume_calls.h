#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/platform.h"
#include "platform/posix/dos_path.h"
#include "platform/posix/mounted_drives.h"
#include "platform/volume_watchdog.h"

namespace platform::posix {

// Where a DOS path of one call lies: the path as the call was given it, the Linux path it maps
// onto, the mount that holds that path and its volume, and the mount point of the path's drive.
struct Place {
    std::string dosPath;
    UnixPath path;
    MountEntry mount;
    VolumeKey volume;
    std::string driveRoot;
};

// How the Linux backend reaches its volumes: the drive table, taken once per call, and the
// volumes' workers, on which every call that may block on a volume is made and waited for a
// bounded time (VolumeWatchdog).
class VolumeCalls {
  public:
    VolumeCalls(std::unique_ptr<MountSource> mounts, std::chrono::milliseconds patience);

    // The drive table for one call (MountedDrives::current). When it was read anew, the workers
    // of the volumes no longer mounted are let go once they have nothing to do.
    std::shared_ptr<const DriveSnapshot> drives();

    // Makes work on the volume's worker as VolumeWatchdog::run does (with its stop token where it
    // takes one); nullopt when the volume does not answer in time.
    template <typename Work>
    std::optional<VolumeWatchdog::ResultOf<Work>> onVolume(const VolumeKey& volume, Work work) {
        return watchdog_.run(volume, std::move(work));
    }
    // The same for a lettered volume's own calls (its size, label, name), but made here, at once,
    // for the root of a local file system: the program and its libraries live there, so the
    // program could not run if it hung. What lies below a root may lead elsewhere (another
    // mount, a link to a share), so paths always go through the workers.
    template <typename Work>
    std::optional<std::invoke_result_t<Work&>> onVolume(const Volume& volume, Work work) {
        if (answersDirectly(volume)) return work();
        return onVolume(volumeKeyOf(volume.mount), std::move(work));
    }
    // Hands what held holds (a file, a folder's stream) to the volume's worker to let go of,
    // after its calls (VolumeWatchdog::post), since closing can wait for the volume; the worker
    // is then its sole owner. held is empty afterwards.
    template <typename Held>
    void release(const VolumeKey& volume, std::shared_ptr<Held>& held) {
        if (held) watchdog_.post(volume, [held = std::move(held)] {});
    }

  private:
    static bool answersDirectly(const Volume& volume);

    MountedDrives drives_;
    std::shared_ptr<const DriveSnapshot> lastRead_;  // the table the workers were last sorted by
    VolumeWatchdog watchdog_;
};

// The one shape of a call on a DOS path: the drive table taken once, at its start; the path mapped
// with that table; and what the call asks of the file system made on the worker of the volume
// that holds the path, waited for a bounded time.
class PathCall {
  public:
    // Takes the drive table for this call and maps dosPath with it. A null dosPath, or one that
    // mapDosPath does not map, is not mapped.
    PathCall(VolumeCalls& volumes, const char* dosPath);
    PathCall(VolumeCalls& volumes, std::string_view dosPath);

    // The table taken for this call, for mapping its other paths.
    const DriveSnapshot& drives() const { return *drives_; }
    // Where the path lies; null when it is not mapped.
    const Place* place() const { return place_ ? &*place_ : nullptr; }

    // The result of work: work(place, stop token) where it takes one, else work(place).
    template <typename Work>
    using ResultOf =
        typename std::conditional_t<std::is_invocable_v<Work&, const Place&, std::stop_token>,
                                    std::invoke_result<Work&, const Place&, std::stop_token>,
                                    std::invoke_result<Work&, const Place&>>::type;

    // Makes work on the worker of the place's volume, with a copy of the place (and the call's
    // stop token where it takes one: see VolumeWatchdog), and returns its result; nullopt when
    // the path is not mapped, and when the volume does not answer in time. lastError, where the
    // call reports why it failed, is then set to pathNotFound or notReady; else it is left alone.
    template <typename Work>
    std::optional<ResultOf<Work>> run(Work work, std::uint32_t* lastError = nullptr) const;

  private:
    void locate(std::string_view dosPath);

    VolumeCalls& volumes_;
    std::shared_ptr<const DriveSnapshot> drives_;
    std::optional<Place> place_;
};

template <typename Work>
std::optional<PathCall::ResultOf<Work>> PathCall::run(Work work, std::uint32_t* lastError) const {
    using Result = ResultOf<Work>;
    std::optional<Result> answer;
    if (place_) {
        answer = volumes_.onVolume(
            place_->volume,
            [place = *place_, work = std::move(work)](std::stop_token stop) mutable -> Result {
                if constexpr (std::is_invocable_v<Work&, const Place&, std::stop_token>)
                    return work(place, std::move(stop));
                else
                    return work(place);
            });
    }
    if (!answer && lastError != nullptr)
        *lastError = place_ ? error_code::notReady : error_code::pathNotFound;
    return answer;
}

}  // namespace platform::posix
