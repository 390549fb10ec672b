#pragma once

#include <chrono>

// Where a poll cycle's time goes. Only the benchmark build (BRISQUEL_STEP_TIMES) measures: there each
// timer adds its wall time to its step, and the totals are written to "step-times.txt" in the working
// directory every few seconds. In every other build a timer is an empty object that compiles away.
enum class Step { Request, Decode, StatusProbe, Merge, Rows, Paint };

#ifdef BRISQUEL_STEP_TIMES
class StepTimer {
public:
    explicit StepTimer(Step step) : step_(step), start_(std::chrono::steady_clock::now()) {}
    ~StepTimer();
    StepTimer(const StepTimer&) = delete;
    StepTimer& operator=(const StepTimer&) = delete;

private:
    Step step_;
    std::chrono::steady_clock::time_point start_;
};
#else
class StepTimer {
public:
    explicit StepTimer(Step) {}
};
#endif
