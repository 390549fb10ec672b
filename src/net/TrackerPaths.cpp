#include "net/TrackerPaths.h"

namespace {

bool isUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
           c == '.' || c == '~';
}

std::string percentEncode(const std::string& text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (unsigned char c : text) {
        if (isUnreserved(c)) {
            encoded += static_cast<char>(c);
        } else {
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0x0F];
        }
    }
    return encoded;
}

}  // namespace

std::string channelStatusPath(const std::string& bossId) {
    return "/api/collections/mob_channel_status/records?filter=(mob='" + percentEncode(bossId) +
           "')&perPage=500&sort=-last_update";
}

bool channelStatusPathFits(const std::string& bossId) {
    return channelStatusPath(bossId).size() <= kLongestRequestPath;
}
