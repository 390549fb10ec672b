#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "net/TrackerDecoder.h"
#include "support/DeepJson.h"

enum Read { Bosses, Channels, All };

static std::string describe(const ChannelStatus& c) {
    std::ostringstream out;
    out.precision(17);
    out << c.channelNumber << "|" << c.lastHp << "|" << c.lastUpdate << "|" << c.lastUpdateTime << "|" << c.dps << "|"
        << c.etd << "|" << c.deathTimeEstimate;
    return out.str();
}

// The message of one decoder followed by the records it gave, one line each (all-status: "id:" before each list).
static std::vector<std::string> decode(Read read, const std::string& body) {
    std::vector<BossInfo> bosses;
    std::vector<ChannelStatus> channels;
    AllStatusMap map;
    // All-status reuses what an earlier summary left: the same ids with more and fuller records, one id gone since.
    const ChannelStatus full{9, 50, "2025-01-01T00:00:00Z", 1735689600, 1.5, 30.0, "later"};
    AllStatusMap spare{{"b1", {full, full, full}}, {"b2", {full}}, {"b3", {full, full}}, {"gone", {full}}};
    std::vector<std::string> lines{read == Bosses     ? decodeBossList(body, bosses)
                                   : read == Channels ? decodeChannelStatus(body, channels)
                                                      : decodeAllStatus(body, map, spare)};
    for (const BossInfo& b : bosses)
        lines.push_back(b.id + "|" + b.name + "|" + std::to_string(b.uid) + "|" + std::to_string(b.respawnTime) + "|" +
                        b.type);
    for (const ChannelStatus& c : channels) lines.push_back(describe(c));
    for (const auto& [id, list] : map) {
        lines.push_back(id + ":");
        for (const ChannelStatus& c : list) lines.push_back(describe(c));
    }
    return lines;
}

TEST(TrackerDecoder, ReadsRecordsByTheirRules) {
    const std::tuple<Read, std::string, std::vector<std::string>> cases[] = {
        // Wide integers keep their low 32 bits; floats truncate toward zero and saturate.
        {Bosses,
         R"({"page":1,"items":[{"id":"b1","name":"Drake","uid":7,"respawn_time":30,"type":"boss"},{"name":"No id"},
             {"id":"b2","name":"Moth","uid":3.9,"respawn_time":null,"type":"magical_creature"},{"id":"x"},7,
             {"id":"b3","name":"Ogre","uid":"12","respawn_time":true,"type":5,"extra":{"uid":9}},{"id":"","name":"E"},
             {"id":"a","name":"A","uid":4294967301,"respawn_time":-1.9},{"id":5,"name":"N"},[{"id":"i","name":"I"}],
             {"id":"b","name":"B","uid":1e20,"respawn_time":-1e20},{"id":"x","name":""},{"id":"y","name":{"n":"x"}},
             {"id":"c","name":"C","uid":18446744073709551615,"respawn_time":-2147483649}]})",
         {"", "b1|Drake|7|30|boss", "b2|Moth|3|0|magical_creature", "b3|Ogre|0|0|", "a|A|5|-1|",
          "b|B|2147483647|-2147483648|", "c|C|-1|2147483647|"}},
        // A repeated key counts with its last value.
        {Bosses,
         R"({"items":[{"id":"a","name":"A"}],"items":[{"id":"x","name":"x","id":"b","name":"B","uid":4,"uid":"x","type":"u"}]})",
         {"", "b|B|0|0|u"}},
        {Bosses, "{\"items\":[{\"id\":\"b1\",\"name\":\"\xff\"}]}", {"Invalid JSON response from server"}},
        {Bosses, R"({"items":)" + deeplyNested("[", "", "]") + "}", {"No valid bosses found in response"}},
        {Bosses, R"({"items":[],"items":null})", {"Unexpected response format - missing items array"}},
        {Bosses, R"({"items":{"id":"a","name":"A"}})", {"Unexpected response format - missing items array"}},
        {Bosses, R"({"items":[{"name":"x"}]})", {"No valid bosses found in response"}},
        {Bosses, R"({"items":[])", {"Invalid JSON response from server"}},
        {Bosses, "{\"items\":[] /* c */}", {"Invalid JSON response from server"}},
        {Bosses, R"({"items":[]} x)", {"Invalid JSON response from server"}},
        {Channels,
         R"({"items":[{"channel_number":7,"last_hp":40,"last_update":"2025-03-01 12:00:00.000Z","dps":0.5,"etd":80,
             "death_time_estimate":"soon"},{"channel_number":2},{"channel_number":1,"last_hp":150},{"last_hp":9},
             {"channel_number":3.7,"last_hp":-3,"last_update":17,"dps":null,"etd":"x"},{"channel_number":-4}]})",
         {"", "1|100||0|0|-1|", "2|0||0|0|-1|", "3|0||0|0|-1|",
          "7|40|2025-03-01 12:00:00.000Z|1740830400|0.5|80|soon"}},
        // The newest report of a channel wins; at equal times one with an estimate, then one with a rate above 0.01.
        {Channels,
         R"({"items":[{"channel_number":4,"last_hp":1,"last_update":"2025-03-01T12:00:00Z"},{"channel_number":5,"etd":-1,
             "dps":0.5},{"channel_number":4,"last_hp":2,"last_update":"2025-03-01T12:00:05Z"},{"channel_number":5,"etd":30},
             {"channel_number":4,"last_hp":3,"last_update":"2025-03-01T11:00:00Z","etd":9},{"channel_number":6,"dps":0.01},
             {"channel_number":5,"etd":40,"dps":1},{"channel_number":6,"dps":0.02},{"channel_number":6,"dps":0.03}]})",
         {"", "4|2|2025-03-01T12:00:05Z|1740830405|0|-1|", "5|0||0|1|40|", "6|0||0|0.02|-1|"}},
        {Channels, R"({"items":[]})", {""}},
        {Channels, R"({"totalItems":0})", {"Missing items array in channel status response"}},
        {Channels, R"({"items":[)", {"Invalid JSON in channel status response"}},
        // All-status keeps every record as sent: no clamping, dropping or merging.
        {All,
         R"({"channel_status":{"b2":[{"channel_number":3,"last_hp":150,"last_update":"2025-03-01T12:00:00Z","dps":0.5,
             "etd":80,"death_time_estimate":"soon"},{"channel_number":-1},{"channel_number":-1}],"b1":[]}})",
         {"", "b1:", "b2:", "3|150|2025-03-01T12:00:00Z|1740830400|0.5|80|soon", "-1|0||0|0|-1|", "-1|0||0|0|-1|"}},
        // Values out of place are skipped; a repeated boss id or root key counts with its last value.
        {All,
         R"({"x":{"b0":[{}]},"channel_status":{"b1":[{"channel_number":1}],"b2":{"channel_number":2},"b1":7,
             "b3":[5,[{"channel_number":4}],{"channel_number":6,"x":{"dps":8},"last_hp":{"v":1},"etd":2}]},
             "y":{"b3":0,"b4":[{}],"channel_status":1}})",
         {"", "b3:", "6|0||0|0|2|"}},
        {All, R"({"channel_status":{"b1":[{}]},"channel_status":{"b2":[]}})", {"", "b2:"}},
        {All, R"({"channel_status":{"b1":)" + deeplyNested("[", "", "]") + "}}", {"", "b1:"}},
        // Floats beyond the 32-bit range saturate; integers beyond 64 bits are floats to the parser.
        {All,
         R"({"channel_status":{"b":[{"channel_number":1e300,"last_hp":-1e20},
             {"channel_number":123456789012345678901234567890,"last_hp":3e9},
             {"channel_number":18446744073709551617,"last_hp":-9223372036854775809}]}})",
         {"", "b:", "2147483647|-2147483648||0|0|-1|", "2147483647|2147483647||0|0|-1|",
          "2147483647|-2147483648||0|0|-1|"}},
        {All, "{\"channel_status\":{\"\xc3\x28\":[]}}", {"Invalid JSON response from server"}},
        {All,
         R"({"channel_status":{"b1":[]},"channel_status":[]})",
         {"Unexpected response format - missing channel_status object"}},
        {All, R"([{"channel_status":{}}])", {"Unexpected response format - missing channel_status object"}},
        {All, R"({"channel_status":{"b1":[{}]})", {"Invalid JSON response from server"}},
    };
    for (const auto& [read, body, lines] : cases) EXPECT_EQ(decode(read, body), lines) << body.substr(0, 300);
}
