#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace platform::posix {

// A mounted file system as the watchdog tells volumes apart: its mount ID and device number.
struct MountKey {
    int id = 0;
    std::uint64_t device = 0;

    friend auto operator<=>(const MountKey&, const MountKey&) = default;
};

// Makes the system calls that may block on a volume (a share whose server went away, a FUSE file
// system that does not answer) on a worker thread of that volume, and waits for them a bounded
// time, so that the calling thread never hangs on a volume.
//
// Each volume has one worker, started on first use, which makes its volume's calls one after the
// other. A call that outlives its wait is given up by the caller and left to finish on the
// worker, which may be stuck in the kernel for as long as the volume stays silent (a thread stuck
// in a FUSE request cannot even be killed); until that call returns, the volume counts as not
// responding and every further call on it fails at once. The watchdog never waits for a worker:
// not when it is destroyed, nor when the program ends, so a stuck worker never keeps the program
// from closing its windows and ending.
//
// Everything a call uses must be its own (captured by value or by shared_ptr), since it may run
// on after its caller, and after the watchdog, have gone. Used from one thread at a time.
class VolumeWatchdog {
  public:
    // patience: how long a call is waited for.
    explicit VolumeWatchdog(std::chrono::milliseconds patience = std::chrono::seconds(2));
    ~VolumeWatchdog();
    VolumeWatchdog(const VolumeWatchdog&) = delete;
    VolumeWatchdog& operator=(const VolumeWatchdog&) = delete;

    // Makes call() on the volume's worker, after what was handed to it before, and returns its
    // result. Returns nullopt without waiting when the volume is not responding, and after
    // waiting `patience` when call has not returned by then (the volume is then not responding
    // until it returns; a call that had not started by then is never made), or when no worker
    // thread can be started. An exception that call throws is thrown here. call must be
    // copyable.
    template <typename Call>
    std::optional<std::invoke_result_t<Call&>> run(const MountKey& volume, Call call);

    // Hands job to the volume's worker, to be run after what was handed to it before, and
    // returns at once: for letting go of what a volume holds (closing a file waits for the
    // volume). job is destroyed on the worker. Where no worker can be started, job runs here.
    void post(const MountKey& volume, std::function<void()> job);

    // Inside a call that run() made on a worker: whether its caller is still waiting for it.
    // A call that changes something checks it before its first change, so that nothing is
    // changed after its caller reported that nothing was. True anywhere else.
    static bool callerWaits();

    // Lets the workers of the volumes not in `mounted` end once they have nothing more to do.
    void keepOnly(const std::vector<MountKey>& mounted);

  private:
    struct Lane;

    // Hands job to the volume's worker and waits for it as run() says; true when it was made.
    bool await(const MountKey& volume, std::function<void()> job);
    // The volume's lane, its worker started when it has none; null when no thread can be started.
    std::shared_ptr<Lane> laneOf(const MountKey& volume);
    // The worker: makes the lane's jobs in order until it is told to stop and has none left.
    static void serve(const std::shared_ptr<Lane>& lane);

    std::chrono::milliseconds patience_;
    std::map<MountKey, std::shared_ptr<Lane>> lanes_;
};

template <typename Call>
std::optional<std::invoke_result_t<Call&>> VolumeWatchdog::run(const MountKey& volume, Call call) {
    using Result = std::invoke_result_t<Call&>;
    struct Outcome {
        std::optional<Result> value;
        std::exception_ptr error;
    };
    // Shared with the worker, which may write it long after this call gave up waiting.
    auto outcome = std::make_shared<Outcome>();
    const bool made = await(volume, [outcome, call = std::move(call)]() mutable {
        try {
            outcome->value.emplace(call());
        } catch (...) {
            outcome->error = std::current_exception();
        }
    });
    if (!made) return std::nullopt;
    if (outcome->error) std::rethrow_exception(outcome->error);
    return std::move(outcome->value);
}

}  // namespace platform::posix
