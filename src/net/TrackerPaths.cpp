#include "net/TrackerPaths.h"

#include "base/PercentEncoding.h"

std::string channelStatusPath(const std::string& bossId) {
    return "/api/collections/mob_channel_status/records?filter=(mob='" + percentEncode(bossId) +
           "')&perPage=500&sort=-last_update";
}

bool channelStatusPathFits(const std::string& bossId) {
    return channelStatusPath(bossId).size() <= kLongestRequestPath;
}
