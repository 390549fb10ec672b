#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <random>

#include "net/TrackerDecoder.h"
#include "net/UtcTimestamp.h"

// The event-driven all-status decoder must read exactly what a parsed document would give; here it
// is compared with a document reading on random bodies made of the keys and value types that matter.
namespace {

using nlohmann::json;

std::string readWithDocument(const std::string& body, AllStatusMap& result) {
    const json root = json::parse(body, nullptr, false, false);
    if (root.is_discarded()) return "Invalid JSON response from server";
    if (!root.is_object() || !root.contains("channel_status") || !root["channel_status"].is_object())
        return "Unexpected response format - missing channel_status object";
    for (const auto& [id, list] : root["channel_status"].items()) {
        if (!list.is_array()) continue;
        std::vector<ChannelStatus>& channels = result[id];
        for (const json& item : list) {
            if (!item.is_object()) continue;
            ChannelStatus c;
            const auto number = [&item](const char* key) { return item.contains(key) && item[key].is_number(); };
            const auto text = [&item](const char* key) { return item.contains(key) && item[key].is_string(); };
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
    return {};
}

class BodyGenerator {
public:
    explicit BodyGenerator(unsigned seed) : random_(seed) {}

    std::string body() { return object(0); }

    // Mostly boss ids mapped to arrays of record-like objects, with repeats and odd values mixed in.
    std::string statusBody() {
        std::string text = R"({"channel_status":{)";
        for (int i = pick(4); i > 0; --i) {
            text += std::string(text.back() == '{' ? "" : ",") + "\"b" + std::to_string(pick(3)) + "\":";
            if (pick(5) == 0) {
                text += value(2);
                continue;
            }
            text += "[";
            for (int j = pick(5); j > 0; --j)
                text += (text.back() == '[' ? "" : ",") + (pick(6) ? object(3) : value(3));
            text += "]";
        }
        return text + (pick(6) ? "}}" : R"(},"channel_status":)" + value(1) + "}");
    }

private:
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string value(int depth) {
        switch (pick(depth < 4 ? 9 : 7)) {
            case 0:
                return "null";
            case 1:
                return pick(2) ? "true" : "false";
            case 2:
                return std::to_string(pick(2000) - 1000);
            case 3:
                return std::to_string(static_cast<long long>(pick(1 << 30)) << pick(12));
            case 4:
                return std::to_string((pick(200000) - 100000) / 7.0);
            case 5:
                return "\"2025-03-0" + std::to_string(1 + pick(9)) + "T12:00:0" + std::to_string(pick(10)) + "Z\"";
            case 6:
                return "\"x\"";
            case 7:
                return object(depth + 1);
            default:
                return array(depth + 1);
        }
    }

    std::string object(int depth) {
        static const char* keys[] = {"channel_status",
                                     "channel_number",
                                     "last_hp",
                                     "last_update",
                                     "dps",
                                     "etd",
                                     "death_time_estimate",
                                     "b1",
                                     "b2",
                                     "b3"};
        std::string text = "{";
        for (int i = pick(5); i > 0; --i)
            text += std::string(text.size() > 1 ? "," : "") + "\"" + keys[pick(10)] + "\":" + value(depth);
        return text + "}";
    }

    std::string array(int depth) {
        std::string text = "[";
        for (int i = pick(4); i > 0; --i) text += (text.size() > 1 ? "," : "") + value(depth);
        return text + "]";
    }

    std::mt19937 random_;
};

std::string describe(const AllStatusMap& map) {
    json out = json::object();
    for (const auto& [id, channels] : map)
        for (const ChannelStatus& c : channels)
            out[id].push_back(
                {c.channelNumber, c.lastHp, c.lastUpdate, c.lastUpdateTime, c.dps, c.etd, c.deathTimeEstimate});
    return out.dump();
}

TEST(AllStatusDecoding, EqualsReadingTheParsedDocument) {
    BodyGenerator generator(20250301);
    int decoded = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string body = i % 2 ? generator.statusBody() : generator.body();
        if (i % 7 == 0) body.resize(body.size() * 2 / 3);
        SCOPED_TRACE(body);
        AllStatusMap expected, actual;
        const std::string expectedMessage = readWithDocument(body, expected);
        ASSERT_EQ(decodeAllStatus(body, actual), expectedMessage);
        ASSERT_EQ(describe(actual), describe(expected));
        for (const auto& entry : expected) decoded += static_cast<int>(entry.second.size());
    }
    EXPECT_GT(decoded, 5000);  // records, not just empty maps, were compared
}

}  // namespace
