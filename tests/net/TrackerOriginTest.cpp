#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "net/TrackerOrigin.h"

// The host is what a failed read is reported with.
TEST(TrackerOrigin, AcceptsOnlySchemeHostAndPort) {
    const std::string longest = "http://" + std::string(249, 'h') + ".org";
    const std::tuple<std::string, std::string, std::string> accepted[] = {
        {"http://127.0.0.1:8765", "http://127.0.0.1:8765", "127.0.0.1"},
        {"https://tracker.example.org/", "https://tracker.example.org", "tracker.example.org"},
        {"http://[::1]:8080/", "http://[::1]:8080", "[::1]"},
        {"http://[::1]", "http://[::1]", "[::1]"},
        {"http://localhost:65535", "http://localhost:65535", "localhost"},
        {longest, longest, longest.substr(7)}};
    for (const auto& [text, origin, host] : accepted) {
        EXPECT_EQ(NormalizeTrackerOrigin(text).value_or("rejected"), origin);
        EXPECT_EQ(TrackerHost(origin), host);
    }
    EXPECT_FALSE(NormalizeTrackerOrigin("http://" + std::string(250, 'h') + ".org").has_value());
    for (const char* text :
         {"", "tracker.example.org", "ftp://tracker.example.org", "https://", "https:///",
          "https://tracker.example.org/api", "https://tracker.example.org//", "https://tracker.example.org?x=1",
          "https://tracker.example.org#top", "https://user@tracker.example.org", "https://tracker example.org",
          " https://tracker.example.org", "https://tracker.example.org:0", "https://tracker.example.org:65536",
          "https://tracker.example.org:", "https://tracker.example.org:80a", "https://:8080", "http://[::1"})
        EXPECT_FALSE(NormalizeTrackerOrigin(text).has_value()) << text;
}
