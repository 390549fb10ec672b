#pragma once

#include <cstdio>
#include <string>

#include "BestSeconds.h"
#include "support/Deflate.h"

// An all-status body of about 1 MB: 100 bosses with 100 channels each, every field present.
inline std::string syntheticAllStatus() {
    std::string body = R"({"channel_status":{)";
    char record[256];
    for (int boss = 0; boss < 100; ++boss) {
        body += (boss ? ",\"" : "\"") + std::string("rec") + std::to_string(100000 + boss) + "\":[";
        for (int channel = 1; channel <= 100; ++channel) {
            std::snprintf(record, sizeof(record),
                          R"(%s{"channel_number":%d,"last_hp":%d,"last_update":"2025-03-01 12:%02d:%02d.000Z",)"
                          R"("dps":%.3f,"etd":%.1f})",
                          channel > 1 ? "," : "", channel, (boss * 7 + channel) % 101, channel % 60, boss % 60,
                          0.01 * (channel % 17), 12.5 * (channel % 9) - 1.0);
            body += record;
        }
        body += "]";
    }
    return body + "},\"generated\":\"2025-03-01T12:00:00Z\"}";
}

// A gzip member of `data` as a server would send it.
inline std::string gzipOf(const std::string& data) {
    return deflateAll(data, MAX_WBITS + 16);
}
