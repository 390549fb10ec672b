#pragma once

#include <cstddef>
#include <string>

// Request paths of the tracker API, appended directly to the base URL.
inline constexpr const char* kBossListPath = "/api/collections/mobs/records";
inline constexpr const char* kAllStatusPath = "/api/all_status";
inline constexpr const char* kServerStatusPath = "/api/status";

// The newest page of one boss's channel reports. Every byte of the id outside A-Z a-z 0-9 - _ . ~ is
// percent-encoded so that an id cannot end the filter or add query parameters.
std::string channelStatusPath(const std::string& bossId);

// The longest request path, query included, that the client can send: WinHTTP splits a URL into buffers of the
// caller's, and 2048 units with the terminator is the practical limit of URLs on Windows. A tracker origin has no
// path of its own, so this bounds the whole path.
constexpr std::size_t kLongestRequestPath = 2047;

// Whether the channel read of `bossId` can be requested at all: false for an id too long once percent-encoded, which
// no retry would change.
bool channelStatusPathFits(const std::string& bossId);
