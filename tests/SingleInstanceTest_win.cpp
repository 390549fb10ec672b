#include <gtest/gtest.h>

#include "SingleInstance_win.h"

// A second start meets the first however the path's letters are cased, beyond ASCII too.
TEST(SingleInstance, KeyFoldsCaseByTheSystemsRules) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Case cases[] = {
        {L"C:\\\u00dcn\u00efcode\\Brisquel.ini", L"c:/\u00fcn\u00cfCODE/brisquel.ini", true},
        {L"C:\\\u00c4\\Brisquel.ini", L"C:\\\u00c5\\Brisquel.ini", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.b);
        EXPECT_EQ(SingleInstance::KeyOf(c.a) == SingleInstance::KeyOf(c.b), c.same);
    }
}
