#include <gtest/gtest.h>

#include <utility>

#include "net/TrackerOrigin.h"

TEST(TrackerOrigin, AcceptsOnlySchemeHostAndPort) {
    const std::pair<const char*, const char*> accepted[] = {
        {"http://127.0.0.1:8765", "http://127.0.0.1:8765"},
        {"https://tracker.example.org/", "https://tracker.example.org"},
        {"http://[::1]:8080/", "http://[::1]:8080"},
        {"http://localhost:65535", "http://localhost:65535"}};
    for (const auto& [text, origin] : accepted) EXPECT_EQ(NormalizeTrackerOrigin(text).value_or("rejected"), origin);
    for (const char* text :
         {"", "tracker.example.org", "ftp://tracker.example.org", "https://", "https:///",
          "https://tracker.example.org/api", "https://tracker.example.org//", "https://tracker.example.org?x=1",
          "https://tracker.example.org#top", "https://user@tracker.example.org", "https://tracker example.org",
          " https://tracker.example.org", "https://tracker.example.org:0", "https://tracker.example.org:65536",
          "https://tracker.example.org:", "https://tracker.example.org:80a", "https://:8080", "http://[::1"})
        EXPECT_FALSE(NormalizeTrackerOrigin(text).has_value()) << text;
}
