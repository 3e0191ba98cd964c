#include "platform/volume_watchdog.h"

#include <algorithm>
#include <condition_variable>
#include <list>
#include <mutex>
#include <system_error>
#include <thread>

namespace platform {

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
        std::optional<Answer>* answer = nullptr;
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
    bool retired = false;  // no more jobs will come: the worker ends once it has done these
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
    const std::shared_ptr<Lane> lane = laneOf(volume);
    if (!lane) return std::nullopt;
    std::unique_lock lock(lane->mutex);
    if (lane->notResponding()) return std::nullopt;
    std::optional<Answer> answer;
    std::stop_source stop;
    lane->jobs.push_back({std::move(work), stop, &answer});
    lane->wake.notify_one();
    if (!lane->done.wait_for(lock, patience_, [&] { return answer.has_value(); }))
        stop.request_stop();
    return answer;
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
        if (job.answer != nullptr && !stop.stop_requested()) *job.answer = std::move(answer);
        lane->jobs.pop_front();
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
