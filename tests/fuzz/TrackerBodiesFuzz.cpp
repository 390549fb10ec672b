#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <tuple>

#include "FuzzCheck.h"
#include "net/ServerStatus.h"
#include "net/TrackerDecoder.h"
#include "net/UtcTimestamp.h"
#include "support/Deflate.h"

// Field by field, for the containers' comparisons.
bool operator==(const BossInfo& a, const BossInfo& b) {
    return std::tie(a.id, a.name, a.uid, a.respawnTime, a.type) == std::tie(b.id, b.name, b.uid, b.respawnTime, b.type);
}
bool operator==(const ChannelStatus& a, const ChannelStatus& b) {
    return std::tie(a.channelNumber, a.lastHp, a.lastUpdate, a.lastUpdateTime, a.dps, a.etd, a.deathTimeEstimate) ==
           std::tie(b.channelNumber, b.lastHp, b.lastUpdate, b.lastUpdateTime, b.dps, b.etd, b.deathTimeEstimate);
}

// Every body goes through all four decoders. The status body's is checked by what must hold of its outcome; the
// other three are compared with the reading rules applied to a parsed document, a reference written from the rules,
// not from the streaming decoder it checks.
namespace {

using json = nlohmann::json;

const char* const kOverLimits = kOverLimitsMessage;

bool hasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7F; });
}

// Whether the text may hold a token over its limit: a number in a run of that many bytes that are neither space nor
// structure, a string in a text at least that long.
bool mayHoldLongToken(const std::string& text) {
    std::size_t run = 0, longest = 0;
    for (const char c : text) {
        run = std::strchr(" \t\r\n{}[],:", c) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest > kLongestTokens.number || text.size() > kLongestTokens.string;
}

// The decoder's output over a copy of `sentinel`, or nullopt when it failed, which must leave the sentinel as it
// was. Its message is the reading rules' one, unless it refused a body over limits the document does not show by
// counting a repeated key's elements (then the text holds one more than the smallest limit, each a byte and a comma)
// or a token over its limit.
template <class Records, class Decode>
std::optional<Records> decoded(const EncodedBody& body, Decode decode, const Records& sentinel,
                               std::size_t smallestLimit, const std::string& expectedMessage) {
    Records output = sentinel;
    const std::string message = decode(body, output);
    FUZZ_CHECK(message == expectedMessage ||
               (message == kOverLimits &&
                (body.gzip || body.bytes.size() > 2 * smallestLimit || mayHoldLongToken(body.bytes))));
    if (message.empty()) return output;
    FUZZ_CHECK(output == sentinel);
    return std::nullopt;
}

// Integers keep their low 32 bits; floats truncate toward zero, clamped to the int32 range first.
void readInt(const json& record, const char* key, int32_t& field) {
    const auto it = record.find(key);
    if (it == record.end()) return;
    if (it->is_number_integer())  // signed or not, read as its two's complement
        field = static_cast<int32_t>(it->get<uint64_t>() & 0xFFFFFFFFu);
    else if (it->is_number_float())
        field = static_cast<int32_t>(std::clamp(std::trunc(it->get<double>()), -2147483648.0, 2147483647.0));
}
void readDouble(const json& record, const char* key, double& field) {
    if (const auto it = record.find(key); it != record.end() && it->is_number()) field = it->get<double>();
}
void readString(const json& record, const char* key, std::string& field) {
    if (const auto it = record.find(key); it != record.end() && it->is_string()) field = it->get<std::string>();
}

BossInfo bossOf(const json& record) {
    BossInfo boss;
    readString(record, "id", boss.id);
    readString(record, "name", boss.name);
    readInt(record, "uid", boss.uid);
    readInt(record, "respawn_time", boss.respawnTime);
    readString(record, "type", boss.type);
    return boss;
}

ChannelStatus channelOf(const json& record) {
    ChannelStatus channel;
    readInt(record, "channel_number", channel.channelNumber);
    readInt(record, "last_hp", channel.lastHp);
    readString(record, "last_update", channel.lastUpdate);
    channel.lastUpdateTime = parseUtcTimestamp(channel.lastUpdate);
    readDouble(record, "dps", channel.dps);
    readDouble(record, "etd", channel.etd);
    readString(record, "death_time_estimate", channel.deathTimeEstimate);
    return channel;
}

// The array under `key` of an object root, or nullptr (find gives end() on any other root).
const json* arrayAt(const json& root, const char* key) {
    const auto it = root.find(key);
    return it != root.end() && it->is_array() ? &*it : nullptr;
}

template <class Record>
std::vector<Record> recordsOf(const json& array, Record (*read)(const json&)) {
    std::vector<Record> records;
    for (const json& element : array)
        if (element.is_object()) records.push_back(read(element));
    return records;
}

// The reading rules' message for a boss list, with the bosses it gives on success.
std::string bossListRules(const json& document, std::vector<BossInfo>& bosses) {
    const json* items = arrayAt(document, "items");
    if (document.is_discarded()) return "Invalid JSON response from server";
    if (!items) return "Unexpected response format - missing items array";
    if (items->size() > kMostBosses) return kOverLimits;
    for (BossInfo& boss : recordsOf(*items, bossOf))
        if (!boss.id.empty() && !boss.name.empty() && !hasControlCharacter(boss.id + boss.name))
            bosses.push_back(std::move(boss));
    return bosses.empty() ? "No valid bosses found in response" : "";
}

void checkBossList(const EncodedBody& body, const json& document) {
    std::vector<BossInfo> expected;
    const std::string message = bossListRules(document, expected);
    const auto decode = [](const auto& body, auto& out) { return decodeBossList(body, out); };
    const auto bosses = decoded(body, decode, std::vector<BossInfo>{{"kept", "Kept", 1, 2, "x"}}, kMostBosses, message);
    FUZZ_CHECK(!bosses || *bosses == expected);
}

// The merge keeps one record per channel, so it is checked by what must hold of its choice.
void checkChannelStatus(const EncodedBody& body, const json& document) {
    const json* items = arrayAt(document, "items");
    const std::string message(document.is_discarded()                ? "Invalid JSON in channel status response"
                              : !items                               ? "Missing items array in channel status response"
                              : items->size() > kMostChannelsPerBoss ? kOverLimits
                                                                     : "");
    const auto decode = [](const auto& body, auto& out) { return decodeChannelStatus(body, out); };
    const auto channels = decoded(body, decode, std::vector<ChannelStatus>(2), kMostChannelsPerBoss, message);
    if (!channels) return;

    std::set<int32_t> numbers;
    std::vector<ChannelStatus> reports = recordsOf(*items, channelOf);
    for (ChannelStatus& report : reports) {
        report.lastHp = std::clamp(report.lastHp, 0, 100);
        if (report.channelNumber > 0) numbers.insert(report.channelNumber);
    }
    FUZZ_CHECK(channels->size() == numbers.size());
    auto number = numbers.begin();
    for (const ChannelStatus& channel : *channels) {
        FUZZ_CHECK(channel.channelNumber == *number++);
        bool reported = false;
        for (const ChannelStatus& report : reports) {
            if (report.channelNumber != channel.channelNumber) continue;
            reported = reported || report == channel;
            FUZZ_CHECK(report.lastUpdateTime <= channel.lastUpdateTime);
        }
        FUZZ_CHECK(reported);
    }
}

// Whether a summary's collection passes a limit: its ids, one list's elements or all lists' elements.
bool overSummaryLimits(const json& collection) {
    std::size_t elements = 0;
    for (const auto& [bossId, channels] : collection.items()) {
        if (!channels.is_array()) continue;
        if (channels.size() > kMostChannelsPerBoss) return true;
        elements += channels.size();
    }
    return collection.size() > kMostSummaryIds || elements > kMostSummaryChannels;
}

// The reading rules' message for a summary, with the map it gives on success.
std::string allStatusRules(const json& document, AllStatusMap& summary) {
    if (document.is_discarded()) return "Invalid JSON response from server";
    const auto it = document.find("channel_status");
    if (it == document.end() || !it->is_object()) return "Unexpected response format - missing channel_status object";
    if (overSummaryLimits(*it)) return kOverLimits;
    for (const auto& [bossId, channels] : it->items())
        if (channels.is_array() && !hasControlCharacter(bossId)) summary[bossId] = recordsOf(channels, channelOf);
    return "";
}

void checkAllStatus(const EncodedBody& body, const json& document) {
    AllStatusMap expected;
    const std::string message = allStatusRules(document, expected);
    // Storage left by every earlier input, as a poller's is left by its earlier cycles.
    static AllStatusMap spare;
    const auto decode = [](const auto& body, auto& out) { return decodeAllStatus(body, out, spare); };
    if (const auto result = decoded(body, decode, AllStatusMap{{"kept", {}}}, kMostChannelsPerBoss, message))
        FUZZ_CHECK(*result == expected);
}

const std::set<std::string> kCacheAgeFailures = {
    "Invalid JSON response",
    "JSON root is not an object",
    "Missing 'statistics' field in response",
    "'statistics' field is not an object",
    "Missing 'cache_age' field in statistics",
    "'cache_age' is null",
    "'cache_age' is not a number",
    "'cache_age' out of valid range",
};

// A status body gives one of the rules' messages, or exactly the age it holds and leaves an earlier message alone;
// the same again when read a second time.
void checkCacheAge(const std::string& text, const json& document) {
    std::string message = "earlier", again = "earlier";
    const double age = decodeCacheAge(text, message);
    if (age == kNoCacheAge)
        FUZZ_CHECK(kCacheAgeFailures.count(message) == 1 || (message == kOverLimits && mayHoldLongToken(text)));
    else
        FUZZ_CHECK(message == "earlier" && age >= 0.0 && age <= 86400.0 &&
                   document.at("statistics").at("cache_age").get<double>() == age);
    FUZZ_CHECK(decodeCacheAge(text, again) == age && again == message);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const json document = json::parse(text, nullptr, false, false);
    checkCacheAge(text, document);
    // Plain, then gzip: a decoder keeps nothing between calls, and reads a gzip body as its text.
    for (const EncodedBody& body : {EncodedBody{text, false}, EncodedBody{deflateAll(text, MAX_WBITS + 16), true}}) {
        checkBossList(body, document);
        checkChannelStatus(body, document);
        checkAllStatus(body, document);
    }
    return 0;
}
