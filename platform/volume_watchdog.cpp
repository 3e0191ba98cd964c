#include "platform/volume_watchdog.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

namespace {

// How long a caller spins for its answer, and a worker for its next job, before sleeping: about
// the time of a few system calls, and of what a program does between two calls of one action.
constexpr auto spinFor = std::chrono::microseconds(100);

// Spins, yielding the processor, until done() or spinFor has passed; done() then.
template <typename Done>
bool spinUntil(Done done) {
    const auto until = std::chrono::steady_clock::now() + spinFor;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::yield();
    }
    return true;
}

}  // namespace

// What the callers and a volume's worker share, under its one mutex. The worker holds it too, so
// that it outlives the watchdog for as long as the worker runs.
struct VolumeWatchdog::Lane {
    struct Job {
        Work work;
        // Requested when its caller gave up; a posted job has no stop state.
        std::stop_source stop;
        // Where its caller waits for the answer; null for a posted job. The worker writes it only
        // if the job is not given up, and the caller gives up only while it is not written, both
        // under the mutex: it is never written after its caller has gone.
        Waiting* waiting = nullptr;
    };

    // Whether a job that was given up has not finished yet.
    bool notResponding() const {
        return std::any_of(jobs.begin(), jobs.end(),
                           [](const Job& job) { return job.stop.stop_requested(); });
    }

    std::mutex mutex;
    std::condition_variable wake;  // the worker waits here for jobs
    std::condition_variable done;  // callers wait here for their answers
    // The job being made first, then those waiting; a job leaves once it is done with. A list,
    // since the worker keeps the first while callers add theirs.
    std::list<Job> jobs;
    // How many jobs there are: what a worker out of jobs spins on, without the mutex.
    std::atomic<std::size_t> jobCount{0};
    bool retired = false;  // no more jobs will come: the worker ends once it has done these
};

// A caller's answer, and whether it has come: what the caller spins on, without the mutex.
struct VolumeWatchdog::Waiting {
    std::optional<Answer> answer;
    std::atomic<bool> answered{false};
};

VolumeWatchdog::VolumeWatchdog(std::chrono::milliseconds patience) : patience_(patience) {}

VolumeWatchdog::~VolumeWatchdog() {
    for (const auto& [volume, lane] : lanes_) {
        {
            const std::lock_guard lock(lane->mutex);
            lane->retired = true;
        }
        lane->wake.notify_one();
    }
}

std::optional<VolumeWatchdog::Answer> VolumeWatchdog::await(const VolumeKey& volume, Work work) {
    const auto deadline = std::chrono::steady_clock::now() + patience_;
    const std::shared_ptr<Lane> lane = laneOf(volume);
    if (!lane) return std::nullopt;
    std::unique_lock lock(lane->mutex);
    if (lane->notResponding()) return std::nullopt;
    Waiting waiting;
    std::stop_source stop;
    lane->jobs.push_back({std::move(work), stop, &waiting});
    lane->jobCount.store(lane->jobs.size(), std::memory_order_release);
    lane->wake.notify_one();
    lock.unlock();
    spinUntil([&] { return waiting.answered.load(std::memory_order_acquire); });
    lock.lock();
    if (!lane->done.wait_until(lock, deadline, [&] { return waiting.answer.has_value(); }))
        stop.request_stop();
    return std::move(waiting.answer);
}

void VolumeWatchdog::post(const VolumeKey& volume, std::function<void()> job) {
    const std::shared_ptr<Lane> lane = laneOf(volume);
    if (!lane) {
        job();
        return;
    }
    const std::lock_guard lock(lane->mutex);
    lane->jobs.push_back({[job = std::move(job)](std::stop_token) -> std::shared_ptr<void> {
                              job();
                              return nullptr;
                          },
                          std::stop_source(std::nostopstate)});
    lane->jobCount.store(lane->jobs.size(), std::memory_order_release);
    lane->wake.notify_one();
}

void VolumeWatchdog::keepOnly(const std::vector<VolumeKey>& mounted) {
    for (auto entry = lanes_.begin(); entry != lanes_.end();) {
        Lane& lane = *entry->second;
        if (std::find(mounted.begin(), mounted.end(), entry->first) != mounted.end()) {
            ++entry;
            continue;
        }
        // A lane that still has jobs keeps its place, so that the volume's later jobs queue
        // behind them rather than start a second worker beside a stuck one.
        std::unique_lock lock(lane.mutex);
        if (!lane.jobs.empty()) {
            ++entry;
            continue;
        }
        lane.retired = true;
        lock.unlock();
        lane.wake.notify_one();
        entry = lanes_.erase(entry);
    }
}

std::shared_ptr<VolumeWatchdog::Lane> VolumeWatchdog::laneOf(const VolumeKey& volume) {
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
    std::unique_lock lock(lane->mutex);
    for (;;) {
        if (lane->jobs.empty() && !lane->retired) {
            lock.unlock();
            spinUntil([&] { return lane->jobCount.load(std::memory_order_acquire) != 0; });
            lock.lock();
        }
        lane->wake.wait(lock, [&] { return lane->retired || !lane->jobs.empty(); });
        if (lane->jobs.empty()) return;
        Lane::Job& job = lane->jobs.front();
        Work work = std::move(job.work);
        const std::stop_token stop = job.stop.get_token();
        lock.unlock();

        Answer answer;
        if (!stop.stop_requested()) {
            try {
                answer.value = work(stop);
            } catch (...) {
                answer.error = std::current_exception();
            }
        }

        lock.lock();
        if (job.waiting != nullptr && !stop.stop_requested()) {
            job.waiting->answer = std::move(answer);
            job.waiting->answered.store(true, std::memory_order_release);
        }
        lane->jobs.pop_front();
        lane->jobCount.store(lane->jobs.size(), std::memory_order_release);
        lane->done.notify_all();
        lock.unlock();
        // What the job held (its call's captures, a file to close, the answer of a call given
        // up) is let go here, on the worker, and outside the lock.
        work = nullptr;
        answer = {};
        lock.lock();
    }
}

}  // namespace platform
