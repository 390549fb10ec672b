#include <gtest/gtest.h>

#include <vector>

#include "SaveSchedule.h"

// A save comes half a second after the last change, or two seconds into a stream of changes, and never for
// nothing.
TEST(SaveSchedule, SavesOnceTheChangesPauseOrHaveWaitedLongEnough) {
    struct Case {
        const char* name;
        std::vector<uint64_t> changes;  // at these times, saving whenever due on the way
        uint64_t at;
        bool due;
        uint64_t waits;
        bool savedAtLast = false;
    };
    const Case cases[] = {
        {"nothing changed", {}, 10000, false, 0},
        {"just changed", {1000}, 1000, false, 500},
        {"quiet for half a second", {1000}, 1500, true, 0},
        {"a drag's steps keep it waiting", {1000, 1100, 1200, 1300}, 1700, false, 100},
        {"the drag ends", {1000, 1100, 1200, 1300}, 1800, true, 0},
        {"a long drag is written after two seconds", {1000, 1400, 1800, 2200, 2600, 2900}, 3000, true, 0},
        {"after that write, the wait starts again", {1000, 1400, 1800, 2200, 2600, 3000, 3100}, 3300, false, 300},
        {"saved, and quiet since", {1000, 2000}, 5000, false, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveSchedule schedule;
        for (uint64_t at : c.changes) {
            if (schedule.due(at)) schedule.saved();
            schedule.changed(at);
        }
        if (c.savedAtLast) schedule.saved();
        EXPECT_EQ(schedule.due(c.at), c.due);
        EXPECT_EQ(schedule.msUntilDue(c.at), c.waits);
    }
}
