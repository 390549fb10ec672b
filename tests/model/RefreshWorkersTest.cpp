#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
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

class GatedTracker : public TrackerSource {
public:
    explicit GatedTracker(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {}
    bool fetchBossList(std::vector<BossInfo>& bosses) override {
        gate_->enter();
        bosses = {BossInfo{"a", "Alpha", 1, 10, ""}};
        return true;
    }
    bool fetchChannelStatus(const std::string&, std::vector<ChannelStatus>& channels) override {
        gate_->enter();
        channels.assign(3, ChannelStatus{});
        return true;
    }
    bool fetchAllStatus(AllStatusMap& result) override {
        gate_->enter();
        result["a"].assign(40, ChannelStatus{});
        return true;
    }
    double fetchServerCacheAge() override {
        gate_->enter();
        return 1.5;
    }

private:
    std::shared_ptr<Gate> gate_;
};

bool waitUntilExpired(const std::weak_ptr<LiveModel>& model) {
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (!model.expired() && Clock::now() < deadline) std::this_thread::sleep_for(milliseconds(5));
    return model.expired();
}

RefreshTiming quickTiming(milliseconds shutdownWait) {
    RefreshTiming timing;
    timing.loader.retryDelay = milliseconds(5);
    timing.poller.slice = milliseconds(2);
    timing.shutdownWait = shutdownWait;
    return timing;
}

}  // namespace

TEST(RefreshWorkers, ShutdownGivesUpOnHungRequestsWithinTheBudget) {
    auto gate = std::make_shared<Gate>();
    auto loaded = std::make_shared<std::atomic<int>>(0);
    std::weak_ptr<LiveModel> weakModel;
    const milliseconds budget(300);
    Clock::duration destruction{};
    {
        auto model = std::make_shared<LiveModel>();
        weakModel = model;
        auto workers = std::make_unique<RefreshWorkers>(
            model, std::make_shared<GatedTracker>(gate), std::make_shared<GatedTracker>(gate), [loaded] { ++*loaded; },
            quickTiming(budget));
        ASSERT_TRUE(gate->waitForInside(2));
        const auto start = Clock::now();
        workers.reset();
        destruction = Clock::now() - start;
    }
    EXPECT_GE(destruction, budget);
    EXPECT_LT(destruction, budget + milliseconds(2000));
    ASSERT_FALSE(weakModel.expired()) << "the hung workers still share the model";

    // The requests come back after their owner is gone: the loader sees the stop before storing
    // its list and reports nothing; the poller merges into the model it shares, then both end.
    gate->open();
    EXPECT_TRUE(waitUntilExpired(weakModel));
    EXPECT_EQ(*loaded, 0);
}

TEST(RefreshWorkers, JoinsWorkersThatEndWithinTheBudget) {
    auto gate = std::make_shared<Gate>();
    gate->open();
    std::weak_ptr<LiveModel> weakModel;
    auto loadedLock = std::make_shared<std::mutex>();
    auto loadedCv = std::make_shared<std::condition_variable>();
    auto loaded = std::make_shared<int>(0);
    {
        auto model = std::make_shared<LiveModel>();
        weakModel = model;
        RefreshWorkers workers(
            model, std::make_shared<GatedTracker>(gate), std::make_shared<GatedTracker>(gate),
            [=] {
                std::lock_guard<std::mutex> guard(*loadedLock);
                ++*loaded;
                loadedCv->notify_all();
            },
            quickTiming(milliseconds(5000)));
        std::unique_lock<std::mutex> guard(*loadedLock);
        ASSERT_TRUE(loadedCv->wait_for(guard, std::chrono::seconds(10), [&] { return *loaded > 0; }));
        guard.unlock();
        while (!model->read([](const ModelData& d) { return d.serverCacheAge == 1.5; })) {
            std::this_thread::sleep_for(milliseconds(1));
        }
        model->read([](const ModelData& d) {
            ASSERT_EQ(d.bossList.size(), 1u);
            EXPECT_EQ(d.channelMap.at("a").boss.name, "Alpha");
        });
    }
    EXPECT_TRUE(weakModel.expired()) << "both workers were joined and released the model";
    EXPECT_EQ(*loaded, 1);
}
