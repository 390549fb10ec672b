#pragma once

#include <string>

// Request paths of the tracker API, appended directly to the base URL.
inline constexpr const char* kBossListPath = "/api/collections/mobs/records";
inline constexpr const char* kAllStatusPath = "/api/all_status";
inline constexpr const char* kServerStatusPath = "/api/status";

// The newest page of one boss's channel reports. Every byte of the id outside A-Z a-z 0-9 - _ . ~ is
// percent-encoded so that an id cannot end the filter or add query parameters.
std::string channelStatusPath(const std::string& bossId);
