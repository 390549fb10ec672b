#include "base/StepTimes.h"

#ifdef BRISQUEL_STEP_TIMES
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace {

constexpr const char* kStepNames[] = {"request", "decode", "status-probe", "merge", "rows", "paint"};
constexpr std::size_t kStepCount = sizeof(kStepNames) / sizeof(kStepNames[0]);
constexpr auto kWritePeriod = std::chrono::seconds(5);

struct Totals {
    std::array<std::atomic<uint64_t>, kStepCount> nanoseconds{};
    std::array<std::atomic<uint64_t>, kStepCount> counts{};
    std::mutex fileLock;
    std::chrono::steady_clock::time_point lastWrite = std::chrono::steady_clock::now();
};

Totals& totals() {
    static Totals instance;
    return instance;
}

// Rewrites the whole file, so that a reader finds complete totals even if the process is killed.
void writeIfDue(Totals& t, std::chrono::steady_clock::time_point now) {
    std::unique_lock<std::mutex> guard(t.fileLock, std::try_to_lock);
    if (!guard || now - t.lastWrite < kWritePeriod) return;
    t.lastWrite = now;
    std::FILE* file = std::fopen("step-times.txt", "w");
    if (!file) return;
    for (std::size_t i = 0; i < kStepCount; ++i)
        std::fprintf(file, "%s %llu %llu\n", kStepNames[i], static_cast<unsigned long long>(t.counts[i].load()),
                     static_cast<unsigned long long>(t.nanoseconds[i].load()));
    std::fclose(file);
}

}  // namespace

StepTimer::~StepTimer() {
    const auto end = std::chrono::steady_clock::now();
    Totals& t = totals();
    const auto index = static_cast<std::size_t>(step_);
    t.nanoseconds[index] += static_cast<uint64_t>(std::chrono::nanoseconds(end - start_).count());
    ++t.counts[index];
    writeIfDue(t, end);
}
#endif
