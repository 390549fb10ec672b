#include <gtest/gtest.h>

#include "InitialWindowRect.h"

TEST(InitialWindowRect, ScalesOnlyTheDefaultThenClamps) {
    struct Case {
        const char* name;
        ScreenRect stored;
        bool saved;
        int dpi;
        ScreenRect expected;
    };
    const ScreenRect monitor{0, 0, 2560, 1440};
    const ScreenRect byDefault{100, 100, 550, 800};
    const Case cases[] = {
        {"default at 96 dpi: as written", byDefault, false, 96, byDefault},
        {"default at 144 dpi: half as large again", byDefault, false, 144, {150, 150, 825, 1200}},
        {"default at 192 dpi: twice, moved up onto the monitor", byDefault, false, 192, {200, 40, 1100, 1440}},
        {"saved at 192 dpi: as saved", {300, 200, 750, 900}, true, 192, {300, 200, 750, 900}},
        {"saved past the right edge at 144 dpi: moved in", {2400, 100, 2850, 800}, true, 144, {2110, 100, 2560, 800}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(InitialWindowRect(c.stored, c.saved, DpiScale(c.dpi), monitor), c.expected);
    }
}
