#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "base/StopSignal.h"

using namespace std::chrono;

// Workers pause on the signal between reads; a stop must end a long pause at once, not when it runs out.
TEST(StopSignal, AStopEndsAPauseAtOnceAndLaterPausesAtTheirStart) {
    StopSignal stop;
    EXPECT_FALSE(stop.waitFor(milliseconds(20)));
    const auto start = steady_clock::now();
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(milliseconds(50));
        stop.request();
    });
    EXPECT_TRUE(stop.waitFor(seconds(30)));
    stop.wait();
    stopper.join();
    EXPECT_LT(steady_clock::now() - start, seconds(5));
    EXPECT_TRUE(stop.requested());
    EXPECT_TRUE(stop.waitFor(seconds(30)));
}
