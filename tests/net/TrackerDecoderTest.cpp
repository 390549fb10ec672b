#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "net/TrackerDecoder.h"
#include "support/DeepJson.h"
#include "support/Deflate.h"

enum Read { Bosses, Channels, All };

static std::string describe(const ChannelStatus& c) {
    std::ostringstream out;
    out.precision(17);
    out << c.channelNumber << "|" << c.lastHp << "|" << c.lastUpdate << "|" << c.lastUpdateTime << "|" << c.dps << "|"
        << c.etd << "|" << c.deathTimeEstimate;
    return out.str();
}

// The message of one decoder followed by the records it gave, one line each (all-status: "id:" before each list).
// A failure must leave the caller's records as they were.
static std::vector<std::string> decode(Read read, const EncodedBody& body, std::size_t* inflated = nullptr) {
    std::vector<BossInfo> bosses{{"kept", "Kept", 1, 2, ""}};
    std::vector<ChannelStatus> channels(1);
    AllStatusMap map{{"kept", channels}};
    // All-status reuses what an earlier summary left: the same ids with more and fuller records, one id gone since.
    const ChannelStatus full{9, 50, "2025-01-01T00:00:00Z", 1735689600, 1.5, 30.0, "later"};
    AllStatusMap spare{{"b1", {full, full, full}}, {"b2", {full}}, {"b3", {full, full}}, {"gone", {full}}};
    const auto records = [&] {
        std::vector<std::string> lines;
        for (const BossInfo& b : read == Bosses ? bosses : std::vector<BossInfo>{})
            lines.push_back(b.id + "|" + b.name + "|" + std::to_string(b.uid) + "|" + std::to_string(b.respawnTime) +
                            "|" + b.type);
        for (const ChannelStatus& c : read == Channels ? channels : std::vector<ChannelStatus>{})
            lines.push_back(describe(c));
        for (const auto& [id, list] : read == All ? map : AllStatusMap{}) {
            lines.push_back(id + ":");
            for (const ChannelStatus& c : list) lines.push_back(describe(c));
        }
        return lines;
    };
    const std::vector<std::string> before = records();
    const std::string message = read == Bosses     ? decodeBossList(body, bosses, inflated)
                                : read == Channels ? decodeChannelStatus(body, channels, inflated)
                                                   : decodeAllStatus(body, map, spare, inflated);
    std::vector<std::string> lines = records();
    if (!message.empty()) {
        EXPECT_EQ(lines, before);
        lines.clear();
    }
    lines.insert(lines.begin(), message);
    return lines;
}

// `count` copies of `element`, comma-separated, between `before` and `after`.
static std::string repeated(const std::string& before, const std::string& element, std::size_t count,
                            const std::string& after) {
    std::string text = before;
    for (std::size_t i = 0; i < count; ++i) text += (i ? "," : "") + element;
    return text + after;
}

TEST(TrackerDecoder, ReadsRecordsByTheirRules) {
    const std::string over = "Answer over the tracker's limits";
    const std::string notJson = "Invalid JSON response from server";
    const std::string noBosses = "No valid bosses found in response";
    const std::string noItems = "Unexpected response format - missing items array";
    const std::string noSummary = "Unexpected response format - missing channel_status object";
    const auto items = [](const std::string& list) { return R"({"items":)" + list + "}"; };
    // Every element of a list counts, records or not; each list here ends with one record.
    const auto list = [](std::size_t elements, const char* record) {
        return repeated("[", "0", elements - 1, std::string(",") + record + "]");
    };
    // {"channel_status":{"i0":value,"i1":value,...}}
    const auto summary = [](std::size_t ids, const std::string& value) {
        std::string body = R"({"channel_status":{)";
        for (std::size_t i = 0; i < ids; ++i) body += (i ? ",\"i" : "\"i") + std::to_string(i) + "\":" + value;
        return body + "}}";
    };
    const std::string fullSummary =
        summary(kMostSummaryChannels / kMostChannelsPerBoss, list(kMostChannelsPerBoss, "0"));
    const std::tuple<Read, std::string, std::vector<std::string>> cases[] = {
        {Bosses, items(list(kMostBosses, R"({"id":"a","name":"A"})")), {"", "a|A|0|0|"}},
        {Bosses, items(list(kMostBosses + 1, R"({"id":"a","name":"A"})")), {over}},
        {Channels, items(list(kMostChannelsPerBoss, "{\"channel_number\":1}")), {"", "1|0||0|0|-1|"}},
        {Channels, items(list(kMostChannelsPerBoss + 1, "{}")), {over}},
        {All, summary(1, list(kMostChannelsPerBoss, "{}")), {"", "i0:", "0|0||0|0|-1|"}},
        {All, summary(1, list(kMostChannelsPerBoss + 1, "{}")), {over}},
        // A repeated root key counts again.
        {Bosses, items(list(kMostBosses / 2, "0") + R"(,"items":)" + list(kMostBosses / 2 + 1, "0")), {over}},
        {All, summary(kMostSummaryIds, "0"), {""}},
        {All, summary(kMostSummaryIds + 1, "0"), {over}},
        {All, fullSummary, {"", "i0:", "i1:", "i2:", "i3:", "i4:", "i5:", "i6:", "i7:", "i8:", "i9:"}},
        {All, std::string(fullSummary).insert(19, R"("x":[0],)"), {over}},
        // A number over 48 characters or a string over 1024 bytes (as sent) ends the read, wherever it stands.
        {All, R"({"channel_status":{"b":[{"dps":1.)" + std::string(46, '5') + "}]}}",
         {"", "b:", "0|0||0|1.5555555555555556|-1|"}},
        {All, R"({"x":1.)" + std::string(47, '5') + R"(,"channel_status":{}})", {over}},
        {Channels, items(R"([{"channel_number":1,"last_update":")" + std::string(1020, 'x') + R"(\"\""}])"),
         {"", "1|0|" + std::string(1020, 'x') + R"(""|0|0|-1|)"}},
        {Channels, items(R"([{"last_update":")" + std::string(1025, 'x') + R"("}])"), {over}},
        {Bosses, items(R"([{"id":"a","name":"A"},{")" + std::string(1025, 'k') + R"(":1}])"), {over}},
        // A control character in an id or name drops the boss (a raw DEL is valid JSON); other UTF-8 stays.
        {Bosses,
         items("[{\"id\":\"a\\u0001\",\"name\":\"A\"},{\"id\":\"b\",\"name\":\"B\\n\"},{\"id\":\"c\x7f\",\"name\":"
               "\"C\"},{\"id\":\"d\",\"name\":\"\\u0000\"},{\"id\":\"\xc3\xa9\",\"name\":\"E\\u0080\"}]"),
         {"", "\xc3\xa9|E\xc2\x80|0|0|"}},
        {Bosses, items(R"([{"id":"a\u001f","name":"A"}])"), {noBosses}},
        // ... and in a summary's id skips its list, even where the spare storage holds the id's clean twin.
        {All, "{\"channel_status\":{\"b1\\r\":[{}],\"b2\x7f\":[],\"b\\u0000\":[],\"b3\":[]}}", {"", "b3:"}},

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
        {Bosses, items("[{\"id\":\"b1\",\"name\":\"\xff\"}]"), {notJson}},
        {Bosses, items(deeplyNested("[", "", "]")), {noBosses}},
        {Bosses, R"({"items":[],"items":null})", {noItems}},
        {Bosses, R"({"items":{"id":"a","name":"A"}})", {noItems}},
        {Bosses, R"({"items":[{"name":"x"}]})", {noBosses}},
        {Bosses, "{\"items\":[] /* c */}", {notJson}},
        {Bosses, R"({"items":[]} x)", {notJson}},
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
        {All,
         R"({"channel_status":{"b1":7,"b2":[{}],"b1":[{"channel_number":5}],"b2":[],"b3":[],"b3":null,"n":[]}})",
         {"", "b1:", "5|0||0|0|-1|", "b2:", "n:"}},
        {All, summary(1, deeplyNested("[", "", "]")), {"", "i0:"}},
        {All, "{\"channel_status\":{\"\xc3\x28\":[]}}", {notJson}},
        {All, R"({"channel_status":{"b1":[]},"channel_status":[]})", {noSummary}},
        {All, R"([{"channel_status":{}}])", {noSummary}},
    };
    for (const auto& [read, body, lines] : cases) EXPECT_EQ(decode(read, {body, false}), lines) << body.substr(0, 300);
}

// A gzip body decodes as its plain text would, and one over a limit stops the inflater there: about 60 MB of records
// cost what the first 20,000 of them cost.
TEST(TrackerDecoder, ReadsGzipAsItInflates) {
    const std::string record = R"({"channel_number":1,"last_hp":50,"last_update":"2025-03-01T12:00:00Z"})";
    const std::string text = R"({"channel_status":{"b":[)" + record + "]}}";
    const std::string channels = repeated("[", record, 1000, "]");
    std::string huge = R"({"channel_status":{)";
    for (int boss = 0; huge.size() < (60u << 20); ++boss)
        huge += (boss ? ",\"b" : "\"b") + std::to_string(boss) + "\":" + channels;
    huge += "}}";
    const std::string gzip = deflateAll(text, MAX_WBITS + 16);
    const std::tuple<const char*, std::string, std::vector<std::string>, std::size_t> cases[] = {
        {"whole", gzip, {"", "b:", "1|50|2025-03-01T12:00:00Z|1740830400|0|-1|"}, text.size()},
        {"cut short", gzip.substr(0, gzip.size() - 12), {"Compressed answer could not be inflated"}, text.size()},
        {"text that is no JSON", deflateAll("{x", MAX_WBITS + 16), {"Invalid JSON response from server"}, 2},
        {"a number of 8 million digits", deflateAll(R"({"x":1)" + std::string(8u << 20, '1') + "}", MAX_WBITS + 16),
         {"Answer over the tracker's limits"}, 65536 + 64},
        {"60 MB of records",
         deflateAll(huge, MAX_WBITS + 16),
         {"Answer over the tracker's limits"},
         (kMostSummaryChannels + 1) * (record.size() + 1) + 65536},
    };
    for (const auto& [name, member, lines, mostInflated] : cases) {
        SCOPED_TRACE(name);
        std::size_t inflated = 0;
        EXPECT_EQ(decode(All, {member, true}, &inflated), lines);
        EXPECT_LE(inflated, mostInflated);
        EXPECT_GT(inflated, 0u);
    }
}

// A poller reuses the storage of its earlier summaries; what one long answer grew is let go once smaller answers
// follow, rather than kept for good.
TEST(TrackerDecoder, LetsGoOfStorageALongAnswerGrew) {
    const std::string longRecord = R"({"channel_number":1,"last_update":")" + std::string(1000, 'x') + R"("})";
    const std::string longAnswer = repeated(R"({"channel_status":{"b":[)", longRecord, 2000, "]}}");
    const std::string shortAnswer = R"({"channel_status":{"b":[{"channel_number":2,"last_update":"t"}]}})";
    AllStatusMap result, spare;
    ASSERT_EQ(decodeAllStatus({longAnswer, false}, result, spare), "");
    for (int i = 0; i < 2; ++i) ASSERT_EQ(decodeAllStatus({shortAnswer, false}, result, spare), "");
    std::size_t kept = 0;
    for (const AllStatusMap* map : {&result, &spare}) {
        for (const auto& [id, list] : *map) {
            kept += list.capacity() * sizeof(ChannelStatus);
            for (const ChannelStatus& channel : list) kept += channel.lastUpdate.capacity();
        }
    }
    EXPECT_LT(kept, 64 * (sizeof(ChannelStatus) + 64) * 2);
    EXPECT_EQ(result.at("b").at(0).lastUpdate, "t");
}
