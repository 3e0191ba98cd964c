#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <type_traits>
#include <utility>
#include <vector>

namespace platform {

// A volume as the watchdog tells volumes apart: two numbers that the backend chooses, equal for
// every call on one volume and different for different volumes. Linux: a mount's ID and its
// device number (the device tells apart two mounts that had the same ID one after the other).
// Windows: for instance the drive letter's index and 0, or the serial number of the medium in it.
struct VolumeKey {
    std::uint64_t id = 0;
    std::uint64_t generation = 0;

    friend auto operator<=>(const VolumeKey&, const VolumeKey&) = default;
};

// Makes the calls that may block on a volume (a share whose server went away, a FUSE file system
// that does not answer) on a worker thread of that volume, and waits for each a bounded time, so
// that the calling thread never hangs on a volume.
//
// Each volume has one worker, started with its first job, which makes its jobs one after the other.
// A call that is not done within `patience` is given up: its stop is requested, and its caller gets
// no answer. That is all there is to a job's state: given up or not.
//   - A job given up before it started is never made.
//   - A call that had started receives the request through its std::stop_token. One that changes
//     something checks stop_requested() before its first change, so that nothing is changed after
//     its caller was told that nothing was.
//   - While a given-up job has not finished, the volume is not responding: every further call on
//     it fails at once, unmade. A worker may be stuck in the kernel for as long as its volume
//     stays silent (a thread stuck in a FUSE request cannot even be killed).
//
// Hand-overs: a caller, and a worker that has run out of jobs, first spin a moment (yielding the
// processor) before they sleep, as thread pools do. A user's action makes several calls one after
// the other, each done in microseconds, and waking a sleeping thread costs more than such a call.
// The spin is part of the patience, never added to it.
//
// The watchdog never waits for a worker: not when it is destroyed, nor when the program ends, so
// a stuck worker never keeps the program from ending. Everything a job uses must therefore be its
// own (captured by value or by shared_ptr): a job, what it captured and the answer of a call
// given up are destroyed on the worker, which may run on after the caller and the watchdog have
// gone. An exception that a call throws is thrown to its caller.
//
// Plain C++, for every backend. Used from one thread at a time.
class VolumeWatchdog {
  public:
    // patience: how long a call is waited for.
    explicit VolumeWatchdog(std::chrono::milliseconds patience = std::chrono::seconds(2));
    // Lets every worker end once it has done what it was handed, without waiting for it.
    ~VolumeWatchdog();
    VolumeWatchdog(const VolumeWatchdog&) = delete;
    VolumeWatchdog& operator=(const VolumeWatchdog&) = delete;

    // The result of call: call(std::stop_token) where call takes one, else call().
    template <typename Call>
    using ResultOf = typename std::conditional_t<std::is_invocable_v<Call&, std::stop_token>,
                                                 std::invoke_result<Call&, std::stop_token>,
                                                 std::invoke_result<Call&>>::type;

    // Makes call on the volume's worker, after the jobs handed to it before, and returns its
    // result. Returns nullopt at once when the volume is not responding (call is not made), after
    // `patience` when call is not done by then (it is given up), and at once when no worker
    // thread can be started. An exception that call throws is thrown here. call must be copyable.
    template <typename Call>
    std::optional<ResultOf<Call>> run(const VolumeKey& volume, Call call);

    // Hands job to the volume's worker, to be made after the jobs handed to it before, and
    // returns at once: for letting go of what a volume holds (closing a file waits for its
    // volume). A posted job is never given up; it is made even while the volume is not
    // responding, and destroyed on the worker. Where no worker can be started, job is made here.
    void post(const VolumeKey& volume, std::function<void()> job);

    // Lets the workers of the volumes not in `mounted` end once they have nothing to do. The
    // worker of a volume gone that still has jobs stays, and makes that volume's later jobs (the
    // release of a file of it), until a later keepOnly finds it idle: a volume never has two
    // workers at once.
    void keepOnly(const std::vector<VolumeKey>& mounted);

  private:
    struct Lane;
    struct Waiting;
    // What a call gave: its result (a ResultOf<Call>), or the exception it threw.
    struct Answer {
        std::shared_ptr<void> value;
        std::exception_ptr error;
    };
    using Work = std::function<std::shared_ptr<void>(std::stop_token)>;

    // Hands work to the volume's worker and waits for it as run() says; its answer when done.
    std::optional<Answer> await(const VolumeKey& volume, Work work);
    // The volume's lane, its worker started when it has none; null when no thread can be started.
    std::shared_ptr<Lane> laneOf(const VolumeKey& volume);
    // The worker: makes the lane's jobs in order until it is retired and has none left.
    static void serve(const std::shared_ptr<Lane>& lane);

    std::chrono::milliseconds patience_;
    std::map<VolumeKey, std::shared_ptr<Lane>> lanes_;
};

template <typename Call>
std::optional<VolumeWatchdog::ResultOf<Call>> VolumeWatchdog::run(const VolumeKey& volume,
                                                                  Call call) {
    using Result = ResultOf<Call>;
    std::optional<Answer> answer =
        await(volume, [call = std::move(call)](std::stop_token stop) mutable {
            if constexpr (std::is_invocable_v<Call&, std::stop_token>)
                return std::make_shared<Result>(call(std::move(stop)));
            else
                return std::make_shared<Result>(call());
        });
    if (!answer) return std::nullopt;
    if (answer->error) std::rethrow_exception(answer->error);
    return std::move(*std::static_pointer_cast<Result>(answer->value));
}

}  // namespace platform
