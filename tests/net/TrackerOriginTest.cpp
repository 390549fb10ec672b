#include "net/TrackerOrigin.h"

#include <gtest/gtest.h>

TEST(TrackerOrigin, AcceptsOnlySchemeHostAndPort) {
    struct Case {
        const char* text;
        const char* expected;  // nullptr: rejected
    };
    const Case cases[] = {
        {"http://127.0.0.1:8765", "http://127.0.0.1:8765"},
        {"https://tracker.example.org", "https://tracker.example.org"},
        {"https://tracker.example.org/", "https://tracker.example.org"},
        {"http://[::1]:8080/", "http://[::1]:8080"},
        {"http://localhost:65535", "http://localhost:65535"},
        {"", nullptr},
        {"tracker.example.org", nullptr},
        {"ftp://tracker.example.org", nullptr},
        {"https://", nullptr},
        {"https:///", nullptr},
        {"https://tracker.example.org/api", nullptr},
        {"https://tracker.example.org//", nullptr},
        {"https://tracker.example.org?x=1", nullptr},
        {"https://tracker.example.org#top", nullptr},
        {"https://user@tracker.example.org", nullptr},
        {"https://tracker example.org", nullptr},
        {" https://tracker.example.org", nullptr},
        {"https://tracker.example.org:0", nullptr},
        {"https://tracker.example.org:65536", nullptr},
        {"https://tracker.example.org:", nullptr},
        {"https://tracker.example.org:80a", nullptr},
        {"https://:8080", nullptr},
        {"http://[::1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto origin = NormalizeTrackerOrigin(c.text);
        if (c.expected) {
            ASSERT_TRUE(origin.has_value());
            EXPECT_EQ(*origin, c.expected);
        } else {
            EXPECT_FALSE(origin.has_value());
        }
    }
}
