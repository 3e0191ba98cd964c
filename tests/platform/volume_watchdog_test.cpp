// The bounded waits for calls on a volume, with calls that block at a gate until the test opens
// it. The tests synchronise with gates and promises; nothing is timed but that a call is waited
// for at least the patience.
#include "platform/volume_watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using platform::VolumeKey;
using platform::VolumeWatchdog;
using namespace std::chrono_literals;

// Long enough that a call expected to answer does so even in a slow build.
constexpr auto patience = 1s;
const VolumeKey silent{40, 7};
const VolumeKey other{41, 8};

// What a job tells the test once; the test waits for it with future.get().
template <typename T>
struct Told {
    std::shared_ptr<std::promise<T>> promise = std::make_shared<std::promise<T>>();
    std::future<T> future = promise->get_future();
};

// Whether the volume takes calls: one that is not responding refuses them at once.
bool responding(VolumeWatchdog& watchdog, const VolumeKey& volume) {
    return watchdog.run(volume, [] { return 0; }).has_value();
}

// Waits until the volume's worker has done what it was handed so far.
void drain(VolumeWatchdog& watchdog, const VolumeKey& volume) {
    Told<void> done;
    watchdog.post(volume, [tell = done.promise] { tell->set_value(); });
    done.future.get();
}

class VolumeWatchdogTest : public testing::Test {
  protected:
    void TearDown() override { openGate(); }
    // Lets the calls waiting at the gate go on, like a server that went away coming back.
    void openGate() {
        if (gate_.wait_for(0s) != std::future_status::ready) opener_.set_value();
    }
    // A call that waits at the gate, then answers 1.
    auto blocking() {
        return [gate = gate_] {
            gate.wait();
            return 1;
        };
    }

    std::promise<void> opener_;
    std::shared_future<void> gate_ = opener_.get_future().share();
    VolumeWatchdog watchdog_{patience};
};

TEST_F(VolumeWatchdogTest, AnsweringVolumeGivesTheCallsResultsAndFailures) {
    EXPECT_EQ(watchdog_.run(silent, [] { return 42; }), 42);
    EXPECT_EQ(watchdog_.run(other, [](std::stop_token stop) { return stop.stop_requested(); }),
              false);
    EXPECT_THROW(watchdog_.run(silent, []() -> int { throw std::runtime_error("no"); }),
                 std::runtime_error);
    EXPECT_TRUE(responding(watchdog_, silent));
}

TEST_F(VolumeWatchdogTest, SilentVolumeIsGivenUpThenRefusesCallsUnmadeUntilItsCallReturns) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(watchdog_.run(silent, blocking()), std::nullopt);
    EXPECT_GE(std::chrono::steady_clock::now() - start, patience);

    auto made = std::make_shared<std::atomic<int>>(0);
    EXPECT_EQ(watchdog_.run(silent, [made] { return ++*made; }), std::nullopt);
    EXPECT_EQ(watchdog_.run(other, [] { return 2; }), 2) << "other volumes go on answering";

    openGate();
    drain(watchdog_, silent);
    EXPECT_EQ(watchdog_.run(silent, [made] { return ++*made; }), 1)
        << "the call refused while the volume was silent was never made";
}

TEST_F(VolumeWatchdogTest, CallGivenUpSeesItsStopAndItsAnswerIsLetGoOnTheWorker) {
    Told<bool> stopped;
    Told<std::thread::id> letGo;
    EXPECT_EQ(watchdog_.run(silent,
                            [gate = gate_, tellStopped = stopped.promise,
                             tellLetGo = letGo.promise](std::stop_token stop) {
                                gate.wait();
                                tellStopped->set_value(stop.stop_requested());
                                return std::shared_ptr<int>(new int(1), [tellLetGo](int* value) {
                                    tellLetGo->set_value(std::this_thread::get_id());
                                    delete value;
                                });
                            }),
              std::nullopt);
    openGate();
    EXPECT_TRUE(stopped.future.get());
    EXPECT_NE(letGo.future.get(), std::this_thread::get_id());
}

TEST_F(VolumeWatchdogTest, CallWaitingBehindAStuckReleaseIsNeverMadeOnceGivenUp) {
    watchdog_.post(silent, [gate = gate_] { gate.wait(); });
    auto made = std::make_shared<std::atomic<int>>(0);
    EXPECT_EQ(watchdog_.run(silent, [made] { return ++*made; }), std::nullopt);
    EXPECT_FALSE(responding(watchdog_, silent)) << "until the worker is past the call given up";
    openGate();
    drain(watchdog_, silent);
    EXPECT_EQ(watchdog_.run(silent, [made] { return made->load(); }), 0);
}

TEST_F(VolumeWatchdogTest, PostedJobsRunInOrderAndLetGoOfWhatTheyHoldOnTheWorker) {
    // Written on the worker only, and read once drain() has heard from it.
    auto order = std::make_shared<std::vector<int>>();
    auto releasedOn = std::make_shared<std::thread::id>();
    auto held = std::shared_ptr<int>(new int(0), [releasedOn](int* value) {
        *releasedOn = std::this_thread::get_id();
        delete value;
    });
    // Held back until this thread has let go of its own share of `held`.
    watchdog_.post(silent, [gate = gate_] { gate.wait(); });
    for (int i = 1; i <= 3; ++i) watchdog_.post(silent, [order, i, held] { order->push_back(i); });
    held.reset();
    openGate();
    drain(watchdog_, silent);
    EXPECT_EQ(*order, (std::vector<int>{1, 2, 3}));
    EXPECT_NE(*releasedOn, std::thread::id());
    EXPECT_NE(*releasedOn, std::this_thread::get_id());
}

TEST_F(VolumeWatchdogTest, GoingAwayNeverWaitsForAStuckWorkerWhichFinishesOnItsOwn) {
    Told<void> finished;
    Told<void> released;
    {
        VolumeWatchdog watchdog(patience);
        EXPECT_EQ(watchdog.run(silent,
                               [gate = gate_, tell = finished.promise] {
                                   gate.wait();
                                   tell->set_value();
                                   return 1;
                               }),
                  std::nullopt);
        watchdog.post(silent, [tell = released.promise] { tell->set_value(); });
    }  // gone while its worker is stuck at the shut gate
    openGate();
    finished.future.get();
    released.future.get();
}

// A mount change that drops a volume while its worker is stuck, then a release of one of its
// files: the release waits on that worker, never on a second one beside it.
TEST_F(VolumeWatchdogTest, VolumeNoLongerMountedKeepsItsOneWorkerUntilItsJobsAreDone) {
    Told<std::thread::id> stuckOn;
    EXPECT_EQ(watchdog_.run(silent,
                            [gate = gate_, tell = stuckOn.promise] {
                                tell->set_value(std::this_thread::get_id());
                                gate.wait();
                                return 1;
                            }),
              std::nullopt);
    watchdog_.keepOnly({other});
    struct Release {
        std::thread::id on;
        bool afterTheStuckCall = false;
    };
    Told<Release> released;
    watchdog_.post(silent, [gate = gate_, tell = released.promise] {
        tell->set_value(
            {std::this_thread::get_id(), gate.wait_for(0s) == std::future_status::ready});
    });
    EXPECT_FALSE(responding(watchdog_, silent));

    openGate();
    const Release release = released.future.get();
    EXPECT_EQ(release.on, stuckOn.future.get());
    EXPECT_TRUE(release.afterTheStuckCall);
    drain(watchdog_, silent);
    watchdog_.keepOnly({other});
    EXPECT_EQ(watchdog_.run(silent, [] { return 3; }), 3) << "asked again, it gets a fresh worker";
}

}  // namespace
