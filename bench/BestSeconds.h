#pragma once

#include <chrono>

// Best time in seconds of `rounds` rounds of `repeat` calls, so that a busy machine skews little.
template <class Work>
double bestSeconds(int rounds, int repeat, Work&& work) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < repeat; ++i) work();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds < best) best = seconds;
    }
    return best / repeat;
}
