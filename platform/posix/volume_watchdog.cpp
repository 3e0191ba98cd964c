#include "platform/posix/volume_watchdog.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform::posix {

// What the caller and the volume's worker share. The worker holds it too, so it outlives the
// watchdog for as long as the worker runs.
struct VolumeWatchdog::Lane {
    struct Job {
        std::function<void()> work;
        std::uint64_t ticket = 0;
        bool abandoned = false;  // its caller stopped waiting before it started: never made
    };

    std::mutex mutex;
    std::condition_variable wake;  // the worker waits here for jobs
    std::condition_variable done;  // callers wait here for theirs
    std::deque<Job> jobs;
    std::uint64_t issued = 0;    // the last ticket handed out
    std::uint64_t finished = 0;  // the last ticket done with; tickets end in order
    std::uint64_t running = 0;   // the ticket being made, 0 for none
    // Whether the caller of the job being made gave up waiting; read by the job itself.
    std::atomic<bool> runningAbandoned = false;
    // The ticket of a call that outlived its wait: not responding until the worker is past it.
    std::optional<std::uint64_t> stuckOn;
    bool stopping = false;
};

VolumeWatchdog::VolumeWatchdog(std::chrono::milliseconds patience) : patience_(patience) {}

VolumeWatchdog::~VolumeWatchdog() {
    keepOnly({});
}

bool VolumeWatchdog::await(const MountKey& volume, std::function<void()> job) {
    const std::shared_ptr<Lane> lane = laneOf(volume);
    if (!lane) return false;
    std::unique_lock lock(lane->mutex);
    if (lane->stuckOn) return false;
    const std::uint64_t ticket = ++lane->issued;
    lane->jobs.push_back({std::move(job), ticket});
    lane->wake.notify_one();
    if (lane->done.wait_for(lock, patience_, [&] { return lane->finished >= ticket; })) return true;
    for (Lane::Job& queued : lane->jobs) {
        if (queued.ticket == ticket) queued.abandoned = true;
    }
    if (lane->running == ticket) lane->runningAbandoned = true;
    lane->stuckOn = ticket;
    return false;
}

namespace {

// The abandonment flag of the job this thread is making, on a worker; null elsewhere.
thread_local const std::atomic<bool>* jobAbandoned = nullptr;

}  // namespace

bool VolumeWatchdog::callerWaits() {
    return jobAbandoned == nullptr || !jobAbandoned->load();
}

void VolumeWatchdog::post(const MountKey& volume, std::function<void()> job) {
    const std::shared_ptr<Lane> lane = laneOf(volume);
    if (!lane) {
        job();
        return;
    }
    const std::lock_guard lock(lane->mutex);
    lane->jobs.push_back({std::move(job), ++lane->issued});
    lane->wake.notify_one();
}

void VolumeWatchdog::keepOnly(const std::vector<MountKey>& mounted) {
    for (auto lane = lanes_.begin(); lane != lanes_.end();) {
        if (std::find(mounted.begin(), mounted.end(), lane->first) != mounted.end()) {
            ++lane;
            continue;
        }
        {
            const std::lock_guard lock(lane->second->mutex);
            lane->second->stopping = true;
        }
        lane->second->wake.notify_one();
        lane = lanes_.erase(lane);
    }
}

std::shared_ptr<VolumeWatchdog::Lane> VolumeWatchdog::laneOf(const MountKey& volume) {
    const auto found = lanes_.find(volume);
    if (found != lanes_.end()) return found->second;
    auto lane = std::make_shared<Lane>();
    try {
        // Detached: a worker stuck in the kernel must never be waited for.
        std::thread([lane] { serve(lane); }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    lanes_.emplace(volume, lane);
    return lane;
}

void VolumeWatchdog::serve(const std::shared_ptr<Lane>& lane) {
    jobAbandoned = &lane->runningAbandoned;
    std::unique_lock lock(lane->mutex);
    for (;;) {
        lane->wake.wait(lock, [&] { return lane->stopping || !lane->jobs.empty(); });
        if (lane->jobs.empty()) return;
        Lane::Job job = std::move(lane->jobs.front());
        lane->jobs.pop_front();
        lane->running = job.ticket;
        lane->runningAbandoned = false;
        lock.unlock();
        if (!job.abandoned) {
            try {
                job.work();
            } catch (...) {
                // run() catches its calls' failures; a posted job's failure has nobody to go to.
            }
        }
        // What the job holds (a file to close) is let go here, on the worker, not by a caller.
        job.work = nullptr;
        lock.lock();
        lane->running = 0;
        lane->finished = job.ticket;
        if (lane->stuckOn && *lane->stuckOn <= job.ticket) lane->stuckOn.reset();
        lane->done.notify_all();
    }
}

}  // namespace platform::posix
