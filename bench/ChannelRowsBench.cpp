// Cost of one data refresh of the overlay: the rows of the selected boss (500 channels) plus the
// fresh counts of every boss (100 x 500), against a bare sort of the same 500 channels by number.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "model/ChannelRules.h"

namespace {

constexpr int kBosses = 100;
constexpr int kChannels = 500;
constexpr int kRepeats = 200;
constexpr int kRounds = 15;
constexpr int64_t kNow = 1'740'830'400;

std::vector<BossEntry> makeBosses() {
    std::mt19937 random(42);
    std::vector<BossEntry> bosses(kBosses);
    for (BossEntry& boss : bosses) {
        for (int32_t n = 1; n <= kChannels; ++n) {
            ChannelStatus c;
            c.channelNumber = n;
            c.lastHp = static_cast<int32_t>(random() % 101);  // about 1 in 100 dead
            c.lastUpdateTime = random() % 20 == 0 ? 0 : kNow - static_cast<int64_t>(random() % 400);
            c.dps = (random() % 60) / 100.0;
            c.etd = c.dps > 0 ? c.lastHp / c.dps : -1.0;
            boss.channels.push_back(c);
        }
        std::shuffle(boss.channels.begin(), boss.channels.end(), random);
    }
    return bosses;
}

// Median over rounds of the time of `kRepeats` calls, in microseconds per call.
template <typename Work>
double medianMicros(Work&& work) {
    std::vector<double> rounds;
    for (int r = 0; r < kRounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRepeats; ++i) work();
        const std::chrono::duration<double, std::micro> elapsed = std::chrono::steady_clock::now() - start;
        rounds.push_back(elapsed.count() / kRepeats);
    }
    std::sort(rounds.begin(), rounds.end());
    return rounds[rounds.size() / 2];
}

}  // namespace

int main() {
    const std::vector<BossEntry> bosses = makeBosses();
    volatile size_t sink = 0;

    const double refresh = medianMicros([&] {
        sink = sink + buildChannelRows(bosses[0], kNow).size();
        for (const BossEntry& boss : bosses) sink = sink + countFreshChannels(boss, kNow);
    });
    const double baseline = medianMicros([&] {
        std::vector<ChannelStatus> copy = bosses[0].channels;
        std::sort(copy.begin(), copy.end(),
                  [](const ChannelStatus& a, const ChannelStatus& b) { return a.channelNumber < b.channelNumber; });
        sink = sink + static_cast<size_t>(copy.front().channelNumber);
    });

    std::printf("rows of %d channels + fresh counts of %d x %d: %.1f us\n", kChannels, kBosses, kChannels, refresh);
    std::printf("std::sort of the same %d channels by channelNumber: %.1f us\n", kChannels, baseline);
    std::printf("ratio: %.2f\n", refresh / baseline);
    return 0;
}
