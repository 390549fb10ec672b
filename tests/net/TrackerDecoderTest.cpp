#include <gtest/gtest.h>

#include <sstream>

#include "net/TrackerDecoder.h"

namespace {

std::string describe(const BossInfo& b) {
    std::ostringstream out;
    out << b.id << "|" << b.name << "|" << b.uid << "|" << b.respawnTime << "|" << b.type;
    return out.str();
}

std::string describe(const ChannelStatus& c) {
    std::ostringstream out;
    out << c.channelNumber << "|" << c.lastHp << "|" << c.lastUpdate << "|" << c.lastUpdateTime << "|" << c.dps << "|"
        << c.etd << "|" << c.deathTimeEstimate;
    return out.str();
}

template <class Record>
std::vector<std::string> describe(const std::vector<Record>& records) {
    std::vector<std::string> lines;
    for (const Record& r : records) lines.push_back(describe(r));
    return lines;
}

std::vector<std::string> describe(const AllStatusMap& map) {
    std::vector<std::string> lines;
    for (const auto& [id, channels] : map) {
        lines.push_back(id + ":");
        for (const ChannelStatus& c : channels) lines.push_back(describe(c));
    }
    return lines;
}

TEST(TrackerDecoder, BossList) {
    struct Case {
        const char* name;
        const char* body;
        std::string message;
        std::vector<std::string> bosses;
    };
    const Case cases[] = {
        {"fields and defaults",
         R"({"page":1,"items":[{"id":"b1","name":"Drake","uid":7,"respawn_time":30,"type":"boss"},
                               {"id":"b2","name":"Moth","uid":3.9,"respawn_time":null,"type":"magical_creature"},
                               {"id":"b3","name":"Ogre","uid":"12","respawn_time":true,"type":5,"extra":[1]}]})",
         "",
         {"b1|Drake|7|30|boss", "b2|Moth|3|0|magical_creature", "b3|Ogre|0|0|"}},
        {"items without id or name are skipped",
         R"({"items":[{"name":"No id"},{"id":"","name":"Empty"},{"id":5,"name":"Number"},{"id":"x"},
                      {"id":"x","name":""},7,"s",[{"id":"in","name":"array"}],{"id":"ok","name":"Kept"}]})",
         "",
         {"ok|Kept|0|0|"}},
        {"integers: wide ones keep their low bits, floats truncate and saturate",
         R"({"items":[{"id":"a","name":"A","uid":4294967301,"respawn_time":-1.9},
                      {"id":"b","name":"B","uid":1e20,"respawn_time":-1e20},
                      {"id":"c","name":"C","uid":18446744073709551615,"respawn_time":-2147483649}]})",
         "",
         {"a|A|5|-1|", "b|B|2147483647|-2147483648|", "c|C|-1|2147483647|"}},
        {"a repeated key counts with its last value",
         R"({"items":[{"id":"a","name":"A","uid":4,"uid":"x","name":"Z"}],
             "items":[{"id":"b","name":"B","uid":1,"uid":2}]})",
         "",
         {"b|B|2|0|"}},
        {"nested values are not fields",
         R"({"items":[{"id":"a","name":{"name":"x"},"uid":[1]},
                                                      {"id":"b","name":"B","more":{"uid":9}}]})",
         "",
         {"b|B|0|0|"}},
        {"no valid boss", R"({"items":[{"name":"x"}]})", "No valid bosses found in response", {}},
        {"empty items", R"({"items":[]})", "No valid bosses found in response", {}},
        {"items not an array",
         R"({"items":{"id":"a","name":"A"}})",
         "Unexpected response format - missing items array",
         {}},
        {"items repeated, last not an array",
         R"({"items":[{"id":"a","name":"A"}],"items":null})",
         "Unexpected response format - missing items array",
         {}},
        {"items only nested",
         R"({"data":{"items":[{"id":"a","name":"A"}]}})",
         "Unexpected response format - missing items array",
         {}},
        {"root array",
         R"([{"items":[{"id":"a","name":"A"}]}])",
         "Unexpected response format - missing items array",
         {}},
        {"root string", R"("items")", "Unexpected response format - missing items array", {}},
        {"syntax error", R"({"items":[{"id":"a","name":"A"})", "Invalid JSON response from server", {}},
        {"comment", "{\"items\":[] /* c */}", "Invalid JSON response from server", {}},
        {"trailing text", R"({"items":[{"id":"a","name":"A"}]} x)", "Invalid JSON response from server", {}},
        {"number overflow",
         R"({"items":[{"id":"a","name":"A","uid":1e400}]})",
         "Invalid JSON response from server",
         {}},
        {"invalid utf-8", "{\"items\":[{\"id\":\"a\",\"name\":\"\xff\"}]}", "Invalid JSON response from server", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<BossInfo> bosses;
        EXPECT_EQ(decodeBossList(c.body, bosses), c.message);
        EXPECT_EQ(describe(bosses), c.bosses);
    }
}

TEST(TrackerDecoder, ChannelStatus) {
    struct Case {
        const char* name;
        const char* body;
        std::string message;
        std::vector<std::string> channels;
    };
    const Case cases[] = {
        {"fields, defaults and channel order",
         R"({"items":[{"channel_number":7,"last_hp":40,"last_update":"2025-03-01 12:00:00.000Z","dps":0.5,
                       "etd":80,"death_time_estimate":"soon"},
                      {"channel_number":2},
                      {"channel_number":3.7,"last_hp":"50","last_update":17,"dps":null,"etd":"x"}]})",
         "",
         {"2|0||0|0|-1|", "3|0||0|0|-1|", "7|40|2025-03-01 12:00:00.000Z|1740830400|0.5|80|soon"}},
        {"hp clamped, channels 0 and below dropped",
         R"({"items":[{"channel_number":1,"last_hp":150},{"channel_number":2,"last_hp":-3},
                      {"channel_number":0,"last_hp":5},{"channel_number":-4,"last_hp":5},{"last_hp":9}]})",
         "",
         {"1|100||0|0|-1|", "2|0||0|0|-1|"}},
        {"newest report of a channel wins",
         R"({"items":[{"channel_number":5,"last_hp":10,"last_update":"2025-03-01T12:00:00Z"},
                      {"channel_number":5,"last_hp":20,"last_update":"2025-03-01T12:00:05Z"},
                      {"channel_number":5,"last_hp":30,"last_update":"2025-03-01T11:00:00Z","etd":9}]})",
         "",
         {"5|20|2025-03-01T12:00:05Z|1740830405|0|-1|"}},
        {"equal times: an estimate wins, then a rate above 0.01",
         R"({"items":[{"channel_number":5,"last_hp":1,"last_update":"2025-03-01T12:00:00Z","etd":-1,"dps":0.5},
                      {"channel_number":5,"last_hp":2,"last_update":"2025-03-01T12:00:00Z","etd":30},
                      {"channel_number":5,"last_hp":3,"last_update":"2025-03-01T12:00:00Z","etd":40,"dps":1},
                      {"channel_number":6,"last_hp":4,"last_update":"2025-03-01T12:00:00Z","dps":0.01},
                      {"channel_number":6,"last_hp":5,"last_update":"2025-03-01T12:00:00Z","dps":0.02},
                      {"channel_number":6,"last_hp":6,"last_update":"2025-03-01T12:00:00Z","dps":0.03}]})",
         "",
         {"5|3|2025-03-01T12:00:00Z|1740830400|1|40|", "6|5|2025-03-01T12:00:00Z|1740830400|0.02|-1|"}},
        {"a repeated key counts with its last value",
         R"({"items":[{"channel_number":4,"last_update":"2025-03-01T12:00:00Z","last_update":false,"etd":5,"etd":{}}]})",
         "",
         {"4|0||0|0|-1|"}},
        {"empty list", R"({"items":[]})", "", {}},
        {"no items", R"({"totalItems":0})", "Missing items array in channel status response", {}},
        {"items an object", R"({"items":{"channel_number":1}})", "Missing items array in channel status response", {}},
        {"root array", R"([])", "Missing items array in channel status response", {}},
        {"syntax error", R"({"items":[)", "Invalid JSON in channel status response", {}},
        {"comment", "// c\n{\"items\":[]}", "Invalid JSON in channel status response", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ChannelStatus> channels;
        EXPECT_EQ(decodeChannelStatus(c.body, channels), c.message);
        EXPECT_EQ(describe(channels), c.channels);
    }
}

TEST(TrackerDecoder, AllStatus) {
    struct Case {
        const char* name;
        const char* body;
        std::string message;
        std::vector<std::string> map;
    };
    const Case cases[] = {
        {"records as sent, bosses in key order",
         R"({"channel_status":{"zed":[{"channel_number":3,"last_hp":150},{"channel_number":-1,"last_hp":-3},
                                      {"channel_number":3,"last_hp":7,"last_update":"2025-03-01T12:00:00Z",
                                       "dps":0.25,"etd":12.5,"death_time_estimate":"12:01"}],
                               "abe":[],"str":"x","obj":{"channel_number":1},"nul":null,
                               "mix":[1,[{"channel_number":9}],{"channel_number":2}]},"other":[1]})",
         "",
         {"abe:", "mix:", "2|0||0|0|-1|", "zed:", "3|150||0|0|-1|", "-1|-3||0|0|-1|",
          "3|7|2025-03-01T12:00:00Z|1740830400|0.25|12.5|12:01"}},
        {"a repeated boss counts with its last value",
         R"({"channel_status":{"a":[{"channel_number":1}],"b":[{"channel_number":2}],"a":"gone",
                               "b":[{"channel_number":3,"last_hp":1,"last_hp":[2]}]}})",
         "",
         {"b:", "3|0||0|0|-1|"}},
        {"a repeated channel_status counts with its last value",
         R"({"channel_status":{"a":[{"channel_number":1}]},"channel_status":{"b":[]}})",
         "",
         {"b:"}},
        {"channel_status only nested is ignored",
         R"({"channel_status":{},"x":{"channel_status":{"a":[{"channel_number":1}]}}})",
         "",
         {}},
        {"missing", R"({"status":"ok"})", "Unexpected response format - missing channel_status object", {}},
        {"an array", R"({"channel_status":[]})", "Unexpected response format - missing channel_status object", {}},
        {"repeated, last not an object",
         R"({"channel_status":{"a":[]},"channel_status":1})",
         "Unexpected response format - missing channel_status object",
         {}},
        {"root array", R"([{"channel_status":{}}])", "Unexpected response format - missing channel_status object", {}},
        {"syntax error", R"({"channel_status":{"a":[{"channel_number":1}]})", "Invalid JSON response from server", {}},
        {"empty text", "", "Invalid JSON response from server", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AllStatusMap map;
        EXPECT_EQ(decodeAllStatus(c.body, map), c.message);
        EXPECT_EQ(describe(map), c.map);
    }
}

}  // namespace
