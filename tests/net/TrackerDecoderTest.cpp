#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <tuple>

#include "net/TrackerDecoder.h"
#include "net/UtcTimestamp.h"

using nlohmann::json;

enum Read { Bosses, Channels, All };

static std::string describe(const ChannelStatus& c) {
    std::ostringstream out;
    out.precision(17);
    out << c.channelNumber << "|" << c.lastHp << "|" << c.lastUpdate << "|" << c.lastUpdateTime << "|" << c.dps << "|"
        << c.etd << "|" << c.deathTimeEstimate;
    return out.str();
}

// `message` followed by the records of `map`, one line each.
static std::vector<std::string> describe(const std::string& message, const AllStatusMap& map) {
    std::vector<std::string> lines{message};
    for (const auto& [id, channels] : map) {
        lines.push_back(id + ":");
        for (const ChannelStatus& c : channels) lines.push_back(describe(c));
    }
    return lines;
}

// The message of one decoder followed by the records it gave, one line each.
static std::vector<std::string> decode(Read read, const std::string& body) {
    std::vector<BossInfo> bosses;
    std::vector<ChannelStatus> channels;
    AllStatusMap map;
    if (read == All) return describe(decodeAllStatus(body, map), map);
    std::vector<std::string> lines{read == Bosses ? decodeBossList(body, bosses) : decodeChannelStatus(body, channels)};
    for (const BossInfo& b : bosses)
        lines.push_back(b.id + "|" + b.name + "|" + std::to_string(b.uid) + "|" + std::to_string(b.respawnTime) + "|" +
                        b.type);
    for (const ChannelStatus& c : channels) lines.push_back(describe(c));
    return lines;
}

// The all-status read (no clamping, dropping or merging) is left to the comparison with a document reading below.
TEST(TrackerDecoder, ReadsRecordsByTheirRules) {
    const std::tuple<Read, const char*, std::vector<std::string>> cases[] = {
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
         R"({"items":[{"id":"a","name":"A"}],"items":[{"id":"b","name":"B","uid":4,"uid":"x","type":"u"}]})",
         {"", "b|B|0|0|u"}},
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
    };
    for (const auto& [read, body, lines] : cases) EXPECT_EQ(decode(read, body), lines) << body;
}

// The same all-status reading on a parsed document, as a reference for the event-driven decoder.
static std::vector<std::string> readWithDocument(const std::string& body) {
    const json root = json::parse(body, nullptr, false, false);
    if (root.is_discarded()) return {"Invalid JSON response from server"};
    if (!root.is_object() || !root.contains("channel_status") || !root["channel_status"].is_object())
        return {"Unexpected response format - missing channel_status object"};
    AllStatusMap map;
    for (const auto& [id, list] : root["channel_status"].items()) {
        if (!list.is_array()) continue;
        std::vector<ChannelStatus>& channels = map[id];
        for (const json& item : list) {
            if (!item.is_object()) continue;
            const auto number = [&item](const char* key) { return item.contains(key) && item[key].is_number(); };
            const auto text = [&item](const char* key) { return item.contains(key) && item[key].is_string(); };
            ChannelStatus c;
            if (number("channel_number")) c.channelNumber = item["channel_number"].get<int>();
            if (number("last_hp")) c.lastHp = item["last_hp"].get<int>();
            if (text("last_update")) c.lastUpdate = item["last_update"].get<std::string>();
            c.lastUpdateTime = parseUtcTimestamp(c.lastUpdate);
            if (number("dps")) c.dps = item["dps"].get<double>();
            if (number("etd")) c.etd = item["etd"].get<double>();
            if (text("death_time_estimate")) c.deathTimeEstimate = item["death_time_estimate"].get<std::string>();
            channels.push_back(c);
        }
    }
    return describe("", map);
}

// Mostly the all-status shape (root, boss map, channel list, record, values), but now and then a level is a
// scalar or has another level's shape, and keys repeat or stand in the wrong place.
static std::string randomBody(std::mt19937& random, int depth = 0) {
    static const char* const keys[] = {"channel_status", "b1",  "b2",  "channel_number",     "last_hp",
                                       "last_update",    "dps", "etd", "death_time_estimate"};
    static const char* const scalars[] = {"null", "false", "-7", "3.9", "4294967301", "\"2025-03-01T12:00:05Z\"",
                                          "\"x\""};
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
    if (depth > 5 || pick(8) == 0 || (depth == 4 && pick(4))) return scalars[pick(7)];
    const int level = depth < 4 && pick(5) ? depth : pick(4);
    std::string text = level == 2 ? "[" : "{";
    for (int i = pick(4); i > 0; --i) {
        if (text.size() > 1) text += ",";
        const int key = pick(4) == 0 ? pick(9) : level == 0 ? 0 : level == 1 ? 1 + pick(2) : 3 + pick(6);
        if (level != 2) text += "\"" + std::string(keys[key]) + "\":";
        text += randomBody(random, depth + 1);
    }
    return text + (level == 2 ? "]" : "}");
}

TEST(TrackerDecoder, AllStatusEqualsReadingTheParsedDocument) {
    std::mt19937 random(20250301);
    std::size_t records = 0;
    for (int i = 0; i < 3000; ++i) {
        std::string body = randomBody(random);
        if (i % 7 == 0) body.resize(body.size() * 2 / 3);
        SCOPED_TRACE(body);
        const std::vector<std::string> expected = readWithDocument(body);
        ASSERT_EQ(decode(All, body), expected);
        for (const std::string& line : expected) records += line.find('|') != std::string::npos;
    }
    EXPECT_GT(records, 1000u);  // records were compared, not just messages
}
