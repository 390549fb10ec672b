#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

#include "model/RefreshWorkers.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Holds every read until released, like a tracker that stopped answering mid-request.
class Gate {
public:
    void enter() {
        std::unique_lock<std::mutex> guard(lock_);
        ++inside_;
        changed_.notify_all();
        changed_.wait(guard, [this] { return open_; });
    }
    bool waitForInside(int count) {
        std::unique_lock<std::mutex> guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(10), [&] { return inside_ >= count; });
    }
    void open() {
        std::lock_guard<std::mutex> guard(lock_);
        open_ = true;
        changed_.notify_all();
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    int inside_ = 0;
    bool open_ = false;
};

// Answers at once, except that the reads named in `held` ("list", "channels", "all", "age") wait at the gate.
class GatedTracker : public TrackerSource {
public:
    GatedTracker(std::shared_ptr<Gate> gate, std::set<std::string> held) : gate_(std::move(gate)), held_(held) {}
    bool fetchBossList(std::vector<BossInfo>& bosses) override {
        pass("list");
        bosses = {BossInfo{"a", "Alpha", 1, 10, ""}};
        return true;
    }
    bool fetchChannelStatus(const std::string&, std::vector<ChannelStatus>& channels) override {
        pass("channels");
        channels.assign(3, ChannelStatus{});
        return true;
    }
    bool fetchAllStatus(AllStatusMap& result) override {
        pass("all");
        result["a"].assign(40, ChannelStatus{});
        return true;
    }
    double fetchServerCacheAge() override {
        pass("age");
        return 1.5;
    }

private:
    void pass(const char* read) {
        if (held_.count(read)) gate_->enter();
    }

    std::shared_ptr<Gate> gate_;
    std::set<std::string> held_;
};

template <typename Condition>
bool waitFor(Condition&& condition) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(milliseconds(1));
    }
    return true;
}

RefreshTiming quickTiming(milliseconds shutdownWait) {
    RefreshTiming timing;
    timing.loader.retryDelay = milliseconds(5);
    timing.poller.slice = milliseconds(2);
    timing.shutdownWait = shutdownWait;
    return timing;
}

}  // namespace

// Run under AddressSanitizer: a worker whose request returns after its owner is gone writes into
// the model and calls the callback it shares, never into freed memory.
TEST(RefreshWorkers, ShutdownGivesUpOnAHungRequestWithinTheBudget) {
    struct Case {
        const char* name;
        std::set<std::string> loaderHeld;
        std::set<std::string> pollerHeld;
        int loadedBeforeShutdown;
        int loadedAtEnd;
    };
    const Case cases[] = {
        // The loader finished; the poller merges its late summary after the window is gone.
        {"poller inside a summary", {}, {"all"}, 1, 1},
        // The poller ended at the stop; the loader stores its late boss and still reports the end.
        {"loader inside a boss's channels", {"channels"}, {}, 0, 1},
    };
    const milliseconds budget(300);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto gate = std::make_shared<Gate>();
        auto loaded = std::make_shared<std::atomic<int>>(0);
        std::weak_ptr<LiveModel> weakModel;
        Clock::duration destruction{};
        {
            auto model = std::make_shared<LiveModel>();
            weakModel = model;
            auto workers = std::make_unique<RefreshWorkers>(
                model, std::make_shared<GatedTracker>(gate, c.loaderHeld),
                std::make_shared<GatedTracker>(gate, c.pollerHeld), [loaded] { ++*loaded; }, quickTiming(budget));
            ASSERT_TRUE(gate->waitForInside(1));
            ASSERT_TRUE(waitFor([&] { return *loaded == c.loadedBeforeShutdown; }));
            const auto start = Clock::now();
            workers.reset();
            destruction = Clock::now() - start;
        }
        EXPECT_GE(destruction, budget);
        EXPECT_LT(destruction, budget + milliseconds(2000));
        ASSERT_FALSE(weakModel.expired()) << "the hung worker still shares the model";

        gate->open();
        EXPECT_TRUE(waitFor([&] { return weakModel.expired(); }));
        EXPECT_EQ(*loaded, c.loadedAtEnd);
    }
}

TEST(RefreshWorkers, JoinsWorkersThatEndWithinTheBudget) {
    auto loaded = std::make_shared<std::atomic<int>>(0);
    std::weak_ptr<LiveModel> weakModel;
    {
        auto model = std::make_shared<LiveModel>();
        weakModel = model;
        RefreshWorkers workers(
            model, std::make_shared<GatedTracker>(nullptr, std::set<std::string>{}),
            std::make_shared<GatedTracker>(nullptr, std::set<std::string>{}), [loaded] { ++*loaded; },
            quickTiming(milliseconds(5000)));
        ASSERT_TRUE(waitFor([&] { return *loaded == 1 && model->takeDataUpdated(); }));
    }
    EXPECT_TRUE(weakModel.expired()) << "both workers were joined and released the model";
    EXPECT_EQ(*loaded, 1);
}
