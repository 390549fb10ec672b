#include <gtest/gtest.h>

#include <vector>

#include "base/SucceedOnce.h"

// A start-up step that failed (Winsock's, say) is tried again by the next call, and one that succeeded
// never runs again.
TEST(SucceedOnce, TriesAgainAfterAFailureAndNeverAfterASuccess) {
    struct Case {
        const char* name;
        std::vector<bool> attempts;  // what each attempt that runs returns
        std::vector<bool> results;   // what each of the calls returns
        std::size_t attemptsRun;
    };
    const Case cases[] = {
        {"succeeds at once", {true}, {true, true, true}, 1},
        {"fails twice, then succeeds", {false, false, true}, {false, false, true, true}, 3},
        {"keeps failing", {false, false, false}, {false, false, false}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SucceedOnce step;
        std::size_t run = 0;
        std::vector<bool> results;
        for (std::size_t call = 0; call < c.results.size(); ++call) {
            results.push_back(step.run([&] { return c.attempts.at(run++); }));
        }
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(run, c.attemptsRun);
    }
}
