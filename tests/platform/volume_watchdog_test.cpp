// The bounded waits for calls on a volume, with calls that block until the test lets them go.
#include "platform/posix/volume_watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using platform::posix::MountKey;
using platform::posix::VolumeWatchdog;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto patience = 200ms;
const MountKey silent{40, 7};
const MountKey other{41, 8};

// A gate that calls wait at until the test opens it, like a server that went away and comes back.
class Gate {
  public:
    void wait() {
        std::unique_lock lock(mutex_);
        opened_.wait(lock, [this] { return open_; });
    }
    void open() {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        opened_.notify_all();
    }

  private:
    std::mutex mutex_;
    std::condition_variable opened_;
    bool open_ = false;
};

std::chrono::milliseconds since(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// Whether the volume takes calls: a volume known not to answer refuses them at once, unmade.
bool responding(VolumeWatchdog& watchdog, const MountKey& volume) {
    return watchdog.run(volume, [] { return 0; }).has_value();
}

// Waits up to a second for the volume to answer again.
bool respondsAgain(VolumeWatchdog& watchdog, const MountKey& volume) {
    for (int i = 0; i < 100 && !responding(watchdog, volume); ++i)
        std::this_thread::sleep_for(10ms);
    return responding(watchdog, volume);
}

class VolumeWatchdogTest : public testing::Test {
  protected:
    std::shared_ptr<Gate> gate_ = std::make_shared<Gate>();
    VolumeWatchdog watchdog_{patience};

    void TearDown() override { gate_->open(); }
    // A call that blocks until the gate opens, then answers 1.
    auto blocking() {
        return [gate = gate_] {
            gate->wait();
            return 1;
        };
    }
};

TEST_F(VolumeWatchdogTest, AnsweringVolumeGivesTheCallsResultsAndFailures) {
    EXPECT_EQ(watchdog_.run(silent, [] { return 42; }), 42);
    EXPECT_EQ(watchdog_.run(other, [] { return std::string("x"); }), "x");
    EXPECT_THROW(watchdog_.run(silent, []() -> int { throw std::runtime_error("no"); }),
                 std::runtime_error);
    EXPECT_TRUE(responding(watchdog_, silent));
}

TEST_F(VolumeWatchdogTest, SilentVolumeIsGivenUpOnceThenFailsAtOnceUntilItsCallReturns) {
    Clock::time_point start = Clock::now();
    EXPECT_EQ(watchdog_.run(silent, blocking()), std::nullopt);
    EXPECT_GE(since(start), patience);
    EXPECT_LT(since(start), patience + 300ms);
    EXPECT_FALSE(responding(watchdog_, silent));

    auto made = std::make_shared<std::atomic<int>>(0);
    start = Clock::now();
    EXPECT_EQ(watchdog_.run(silent, [made] { return ++*made; }), std::nullopt);
    EXPECT_LT(since(start), 50ms) << "a volume known to be silent is not waited for again";
    EXPECT_EQ(watchdog_.run(other, [] { return 2; }), 2) << "other volumes go on answering";

    gate_->open();
    ASSERT_TRUE(respondsAgain(watchdog_, silent));
    EXPECT_EQ(watchdog_.run(silent, [made] { return ++*made; }), 1)
        << "the call refused while the volume was silent was never made";
}

TEST_F(VolumeWatchdogTest, CallTellsWhetherItsCallerStillWaits) {
    EXPECT_TRUE(VolumeWatchdog::callerWaits()) << "outside a worker";
    EXPECT_EQ(watchdog_.run(silent, [] { return VolumeWatchdog::callerWaits(); }), true);
    auto late = std::make_shared<std::atomic<int>>(-1);
    EXPECT_EQ(watchdog_.run(silent,
                            [gate = gate_, late] {
                                gate->wait();
                                *late = VolumeWatchdog::callerWaits() ? 1 : 0;
                                return 0;
                            }),
              std::nullopt);
    gate_->open();
    ASSERT_TRUE(respondsAgain(watchdog_, silent));
    EXPECT_EQ(*late, 0) << "the call that outlived its wait knows it was given up";
    EXPECT_EQ(watchdog_.run(silent, [] { return VolumeWatchdog::callerWaits(); }), true);
}

TEST_F(VolumeWatchdogTest, CallWaitingBehindAStuckReleaseIsNeverMadeOnceGivenUp) {
    const auto gate = gate_;
    watchdog_.post(silent, [gate] { gate->wait(); });
    auto made = std::make_shared<std::atomic<int>>(0);
    EXPECT_EQ(watchdog_.run(silent, [made] { return ++*made; }), std::nullopt);
    EXPECT_FALSE(responding(watchdog_, silent));
    gate_->open();
    ASSERT_TRUE(respondsAgain(watchdog_, silent));
    EXPECT_EQ(watchdog_.run(silent, [made] { return made->load(); }), 0);
}

TEST_F(VolumeWatchdogTest, PostedJobsRunInOrderAndLetGoOfWhatTheyHoldOnTheWorker) {
    struct Record {
        std::mutex mutex;
        std::vector<int> order;
        std::thread::id releasedOn;
    };
    auto record = std::make_shared<Record>();
    auto held = std::shared_ptr<int>(new int(0), [record](int* value) {
        const std::lock_guard lock(record->mutex);
        record->releasedOn = std::this_thread::get_id();
        delete value;
    });
    // Held back until this thread has let go of its own share of `held`.
    watchdog_.post(silent, [gate = gate_] { gate->wait(); });
    for (int i = 1; i <= 3; ++i) {
        watchdog_.post(silent, [record, i, held] {
            const std::lock_guard lock(record->mutex);
            record->order.push_back(i);
        });
    }
    std::weak_ptr<int> watched = held;
    held.reset();
    gate_->open();
    EXPECT_EQ(watchdog_.run(silent, [] { return 0; }), 0) << "runs after the posted jobs";
    const std::lock_guard lock(record->mutex);
    EXPECT_EQ(record->order, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(watched.expired());
    EXPECT_NE(record->releasedOn, std::this_thread::get_id());
}

TEST_F(VolumeWatchdogTest, GoingAwayNeverWaitsForAStuckCall) {
    auto late = std::make_shared<std::atomic<bool>>(false);
    {
        VolumeWatchdog watchdog(patience);
        const auto gate = gate_;
        EXPECT_EQ(watchdog.run(silent,
                               [gate, late] {
                                   gate->wait();
                                   *late = true;
                                   return 1;
                               }),
                  std::nullopt);
        const Clock::time_point start = Clock::now();
        watchdog.keepOnly({});
        EXPECT_LT(since(start), 50ms);
    }
    gate_->open();
    for (int i = 0; i < 100 && !*late; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_TRUE(*late) << "the stuck call finishes on its own, after its watchdog went";
}

TEST_F(VolumeWatchdogTest, VolumeNoLongerMountedGetsAFreshWorkerIfAskedAgain) {
    EXPECT_EQ(watchdog_.run(silent, blocking()), std::nullopt);
    watchdog_.keepOnly({other});
    EXPECT_TRUE(responding(watchdog_, silent));
    EXPECT_EQ(watchdog_.run(silent, [] { return 3; }), 3);
}

}  // namespace
