#include <gtest/gtest.h>

#include "net/TrackerPaths.h"

namespace {

TEST(TrackerPaths, ChannelFilterCarriesTheIdEncoded) {
    struct Case {
        const char* id;
        const char* inFilter;
    };
    const Case cases[] = {
        {"abc123XYZ-_.~", "abc123XYZ-_.~"},
        {"o'neil#top", "o%27neil%23top"},
        {"a b&c=d)e", "a%20b%26c%3Dd%29e"},
        {"%2", "%252"},
        {"\xc3\xa9", "%C3%A9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(channelStatusPath(c.id), std::string("/api/collections/mob_channel_status/records?filter=(mob='") +
                                               c.inFilter + "')&perPage=500&sort=-last_update");
    }
}

}  // namespace
