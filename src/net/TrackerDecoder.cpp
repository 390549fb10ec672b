#include "net/TrackerDecoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <utility>

#include "net/GzipMember.h"
#include "net/UtcTimestamp.h"

namespace {

using json = nlohmann::json;

int32_t toInt32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}
int32_t toInt32(uint64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

// Casting an out-of-range double to int is undefined, so such values saturate.
int32_t toInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0) return INT32_MAX;
    if (value <= -2147483649.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

// One JSON key of a record and the member it fills; exactly one member pointer is set.
template <class Record>
struct Field {
    std::string_view key;
    int32_t Record::*asInt;
    double Record::*asDouble;
    std::string Record::*asString;
};

template <class Record>
struct Schema;

template <>
struct Schema<BossInfo> {
    static constexpr std::array<Field<BossInfo>, 5> fields{{
        {"id", nullptr, nullptr, &BossInfo::id},
        {"name", nullptr, nullptr, &BossInfo::name},
        {"uid", &BossInfo::uid, nullptr, nullptr},
        {"respawn_time", &BossInfo::respawnTime, nullptr, nullptr},
        {"type", nullptr, nullptr, &BossInfo::type},
    }};
    static void finish(BossInfo&) {}
};

template <>
struct Schema<ChannelStatus> {
    static constexpr std::array<Field<ChannelStatus>, 6> fields{{
        {"channel_number", &ChannelStatus::channelNumber, nullptr, nullptr},
        {"last_hp", &ChannelStatus::lastHp, nullptr, nullptr},
        {"last_update", nullptr, nullptr, &ChannelStatus::lastUpdate},
        {"dps", nullptr, &ChannelStatus::dps, nullptr},
        {"etd", nullptr, &ChannelStatus::etd, nullptr},
        {"death_time_estimate", nullptr, nullptr, &ChannelStatus::deathTimeEstimate},
    }};
    static void finish(ChannelStatus& channel) { channel.lastUpdateTime = parseUtcTimestamp(channel.lastUpdate); }
};

// Storage kept from one body for the next keeps the largest size it ever had, so past these sizes (for a list, also
// past twice what the body needs) it is let go: one long answer would otherwise be paid for in memory for good.
constexpr std::size_t kLargestReusedString = 64;  // bytes
constexpr std::size_t kLargestReusedList = 64;    // records

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// How much of a body's collection a collector takes before it stops the parser.
struct Limits {
    std::size_t perList;   // elements of one list
    std::size_t elements;  // elements of all lists
    std::size_t ids;       // keys of the keyed layout
};

// Builds records straight from the parser's events, without a document. The results equal reading
// a parsed document: a repeated key counts with its last value, a value of the wrong type leaves the
// default, and anything outside the expected places is ignored.
// The keyed layout fills a map it is given, overwriting the lists and records it already holds: a poll
// that reads the same bosses every cycle then allocates almost nothing.
template <class Record>
class RecordCollector {
public:
    using ById = std::map<std::string, std::vector<Record>>;

    // {"<root key>": [record, ...]}, into items().
    RecordCollector(std::string_view rootKey, const Limits& limits)
        : rootKey_(rootKey), keyed_(false), listDepth_(2), limits_(limits) {}
    // {"<root key>": {"<boss id>": [record, ...], ...}}, into byId.
    RecordCollector(std::string_view rootKey, const Limits& limits, ById& byId)
        : rootKey_(rootKey), keyed_(true), listDepth_(3), limits_(limits), byId_(&byId) {}

    bool found() const { return found_; }
    bool overLimit() const { return overLimit_; }
    std::vector<Record>& items() { return items_; }
    // After a whole body: drops the map's earlier lists that the body did not name, or whose id it named last with
    // no list.
    void dropUnnamed() {
        std::sort(marks_.begin(), marks_.end(), [](const Mark& a, const Mark& b) {
            return std::less<>()(a.list, b.list) || (a.list == b.list && a.order < b.order);
        });
        named_.clear();
        for (std::size_t i = 0; i < marks_.size(); ++i) {
            const bool lastOfItsList = i + 1 == marks_.size() || marks_[i + 1].list != marks_[i].list;
            if (lastOfItsList && marks_[i].named) named_.push_back(marks_[i].list);
        }
        for (auto entry = byId_->begin(); entry != byId_->end();) {
            const bool named = std::binary_search(named_.begin(), named_.end(), &entry->second, std::less<>());
            entry = named ? std::next(entry) : byId_->erase(entry);
        }
    }

    bool null() {
        pending_ = nullptr;
        return countElement(depth_);
    }
    bool boolean(bool) { return null(); }
    bool number_integer(json::number_integer_t value) { return number(toInt32(value), static_cast<double>(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return number(toInt32(value), static_cast<double>(value)); }
    bool number_float(json::number_float_t value, const json::string_t&) { return number(toInt32(value), value); }
    bool string(json::string_t& value) {
        // Copied, not moved: both the parser's buffer and the record's string keep their capacity.
        if (const Field<Record>* field = takeField(); field && field->asString)
            (current_->*(field->asString)).assign(value);
        return countElement(depth_);
    }
    bool binary(json::binary_t&) { return null(); }

    bool start_object(std::size_t) { return open(false); }
    bool start_array(std::size_t) { return open(true); }
    bool end_object() { return close(); }
    bool end_array() { return close(); }

    bool key(json::string_t& name) {
        if (depth_ == 1) {
            rootKeyPending_ = name == rootKey_;
            if (rootKeyPending_) {
                found_ = false;
                items_.clear();
                marks_.clear();
            }
        } else if (keyed_ && inCollection_ && depth_ == 2) {
            if (++ids_ > limits_.ids) return refuse();
            idKey_ = std::move(name);
            idUsable_ = !hasControlCharacter(idKey_);
            // A repeated id counts with its last value, which may be no list at all.
            const auto entry = idUsable_ ? byId_->find(idKey_) : byId_->end();
            if (entry != byId_->end()) marks_.push_back({&entry->second, marks_.size(), false});
        } else if (inRecord_ && depth_ == listDepth_ + 1) {
            pending_ = nullptr;
            for (const Field<Record>& field : Schema<Record>::fields) {
                if (field.key != name) continue;
                pending_ = &field;
                resetToDefault(field);
                break;
            }
        }
        return true;
    }

    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) { return false; }

private:
    // Whether a list of byId_ was opened (named) or its id seen again (unnamed until a list follows), in body order.
    struct Mark {
        const std::vector<Record>* list;
        std::size_t order;
        bool named;
    };

    const Field<Record>* takeField() { return std::exchange(pending_, nullptr); }

    bool refuse() {
        overLimit_ = true;
        return false;
    }

    // Counts a value at `valueDepth` when it is an element of a collection list; false once over a limit.
    bool countElement(int valueDepth) {
        if (!inList_ || valueDepth != listDepth_) return true;
        return ++listElements_ <= limits_.perList && ++elements_ <= limits_.elements ? true : refuse();
    }

    bool number(int32_t asInt, double asDouble) {
        if (const Field<Record>* field = takeField()) {
            if (field->asInt) current_->*(field->asInt) = asInt;
            if (field->asDouble) current_->*(field->asDouble) = asDouble;
        }
        return countElement(depth_);
    }

    void resetToDefault(const Field<Record>& field) {
        static const Record defaults{};
        if (field.asInt) current_->*(field.asInt) = defaults.*(field.asInt);
        if (field.asDouble) current_->*(field.asDouble) = defaults.*(field.asDouble);
        if (field.asString) (current_->*(field.asString)).clear();
    }

    bool open(bool isArray) {
        pending_ = nullptr;
        ++depth_;
        if (!countElement(depth_ - 1)) return false;
        if (depth_ == 2) {
            if (rootKeyPending_ && isArray != keyed_) {
                found_ = true;
                inCollection_ = true;
                if (!keyed_) openList(&items_);
            }
        } else if (keyed_ && inCollection_ && depth_ == 3) {
            if (isArray) {
                std::vector<Record>* list = nullptr;
                if (idUsable_) {
                    list = &(*byId_)[idKey_];
                    marks_.push_back({list, marks_.size(), true});
                }
                openList(list);
            }
        } else if (list_ && depth_ == listDepth_ + 1 && !isArray) {
            inRecord_ = true;
            if (filled_ == list_->size()) list_->emplace_back();
            current_ = &(*list_)[filled_];
            // Assigned from a fresh record rather than destroyed: its strings keep their capacity, unless large.
            *current_ = Record{};
            for (const Field<Record>& field : Schema<Record>::fields) {
                if (field.asString && (current_->*(field.asString)).capacity() > kLargestReusedString)
                    std::string().swap(current_->*(field.asString));
            }
        }
        return true;
    }

    // A list of the collection begins; its elements are counted, and stored when `list` is given.
    void openList(std::vector<Record>* list) {
        inList_ = true;
        listElements_ = 0;
        list_ = list;
        filled_ = 0;
    }

    bool close() {
        if (inRecord_ && depth_ == listDepth_ + 1) {
            Schema<Record>::finish(*current_);
            ++filled_;
            inRecord_ = false;
        }
        if (inList_ && depth_ == listDepth_) {
            if (list_) {
                list_->resize(filled_);
                if (list_->capacity() > std::max(kLargestReusedList, 2 * filled_)) list_->shrink_to_fit();
            }
            list_ = nullptr;
            inList_ = false;
        }
        if (depth_ == 2) inCollection_ = false;
        --depth_;
        return true;
    }

    const std::string_view rootKey_;
    const bool keyed_;
    const int listDepth_;
    const Limits limits_;

    int depth_ = 0;
    bool rootKeyPending_ = false;
    bool found_ = false;
    bool inCollection_ = false;
    bool inList_ = false;
    bool inRecord_ = false;
    bool overLimit_ = false;
    std::string idKey_;
    bool idUsable_ = false;
    std::vector<Record>* list_ = nullptr;  // the list being filled, from its start; null while one is skipped
    std::size_t filled_ = 0;               // records of list_ already filled from the body
    const Field<Record>* pending_ = nullptr;
    Record* current_ = nullptr;
    // Counted over the whole body, repeated keys included, for they cost as much as any.
    std::size_t listElements_ = 0;
    std::size_t elements_ = 0;
    std::size_t ids_ = 0;

    std::vector<Record> items_;
    ById* byId_ = nullptr;
    std::vector<Mark> marks_;
    std::vector<const std::vector<Record>*> named_;  // dropUnnamed's sorted result
};

enum class Collected { Records, NotJson, NotGzip, OverLimit };

// Parses strictly (no comments, nothing after the value), a gzip body as it inflates, and stops at a token over its
// limit.
template <class Record, class Bytes>
bool parse(Bytes first, Bytes last, RecordCollector<Record>& collector, bool& tokenOverLimit) {
    TokenLimitedInput<Bytes> input(first, last, kLongestTokens);
    const bool parsed = json::sax_parse(input.begin(), input.end(), &collector, json::input_format_t::json, true, false);
    tokenOverLimit = input.overLimit();
    return parsed && !tokenOverLimit;
}

template <class Record>
Collected collect(const EncodedBody& body, RecordCollector<Record>& collector, std::size_t* inflated) {
    bool parsed = false;
    bool inflatable = true;
    bool tokenOverLimit = false;
    if (body.gzip) {
        GzipMemberReader reader(body.bytes);
        parsed = parse(reader.begin(), reader.end(), collector, tokenOverLimit);
        inflatable = !reader.failed();
        if (inflated) *inflated = reader.inflated();
    } else {
        const char* bytes = body.bytes.data();
        parsed = parse(bytes, bytes + body.bytes.size(), collector, tokenOverLimit);
    }
    // A limit or malformed text stops the parser before the inflater has finished: that is no fault of the gzip.
    if (collector.overLimit() || tokenOverLimit) return Collected::OverLimit;
    if (!inflatable) return Collected::NotGzip;
    return parsed ? Collected::Records : Collected::NotJson;
}

// The message of a body that gave no records, or nullptr when it gave them.
const char* refusal(Collected collected, const char* notJson) {
    switch (collected) {
        case Collected::Records:
            return nullptr;
        case Collected::NotJson:
            return notJson;
        case Collected::NotGzip:
            return "Compressed answer could not be inflated";
        case Collected::OverLimit:
            return kOverLimitsMessage;
    }
    return notJson;
}

std::string readBossList(const EncodedBody& body, std::vector<BossInfo>& bosses, std::size_t* inflated) {
    RecordCollector<BossInfo> collector("items", {kMostBosses, kMostBosses, 0});
    if (const char* message = refusal(collect(body, collector, inflated), "Invalid JSON response from server"))
        return message;
    if (!collector.found()) return "Unexpected response format - missing items array";
    std::vector<BossInfo>& items = collector.items();
    // An id or name with a control character could never be shown or stored as text, so it counts as missing.
    items.erase(std::remove_if(items.begin(), items.end(),
                               [](const BossInfo& boss) {
                                   return boss.id.empty() || boss.name.empty() || hasControlCharacter(boss.id) ||
                                          hasControlCharacter(boss.name);
                               }),
                items.end());
    if (items.empty()) return "No valid bosses found in response";
    bosses = std::move(items);
    return {};
}

// Of two reports of one channel, whether `candidate` should replace `kept`.
bool supersedes(const ChannelStatus& candidate, const ChannelStatus& kept) {
    if (candidate.lastUpdateTime != kept.lastUpdateTime) return candidate.lastUpdateTime > kept.lastUpdateTime;
    if (candidate.etd > 0.0 && !(kept.etd > 0.0)) return true;
    return candidate.dps > 0.01 && !(kept.dps > 0.01);
}

std::string readChannelStatus(const EncodedBody& body, std::vector<ChannelStatus>& channels, std::size_t* inflated) {
    RecordCollector<ChannelStatus> collector("items", {kMostChannelsPerBoss, kMostChannelsPerBoss, 0});
    if (const char* message = refusal(collect(body, collector, inflated), "Invalid JSON in channel status response"))
        return message;
    if (!collector.found()) return "Missing items array in channel status response";

    std::map<int32_t, ChannelStatus> byChannel;
    for (ChannelStatus& channel : collector.items()) {
        if (channel.channelNumber <= 0) continue;
        channel.lastHp = std::clamp(channel.lastHp, 0, 100);
        auto [slot, inserted] = byChannel.try_emplace(channel.channelNumber, channel);
        if (!inserted && supersedes(channel, slot->second)) slot->second = std::move(channel);
    }
    std::vector<ChannelStatus> merged;
    merged.reserve(byChannel.size());
    for (auto& entry : byChannel) merged.push_back(std::move(entry.second));
    channels = std::move(merged);
    return {};
}

std::string readAllStatus(const EncodedBody& body, AllStatusMap& result, AllStatusMap& spare, std::size_t* inflated) {
    RecordCollector<ChannelStatus> collector("channel_status",
                                             {kMostChannelsPerBoss, kMostSummaryChannels, kMostSummaryIds}, spare);
    if (const char* message = refusal(collect(body, collector, inflated), "Invalid JSON response from server"))
        return message;
    if (!collector.found()) return "Unexpected response format - missing channel_status object";
    collector.dropUnnamed();
    std::swap(result, spare);
    return {};
}

// What a read stores when decoding throws; without `unknown`, other exceptions pass to the caller.
struct ThrownMessages {
    const char* parse;
    const char* type;
    const char* other;
    const char* unknown;
};

template <class Read>
std::string readCatching(Read read, const ThrownMessages& messages) {
    try {
        return read();
    } catch (const json::parse_error& e) {
        return messages.parse + std::string(e.what());
    } catch (const json::type_error& e) {
        return messages.type + std::string(e.what());
    } catch (const std::exception& e) {
        return messages.other + std::string(e.what());
    } catch (...) {
        if (!messages.unknown) throw;
        return messages.unknown;
    }
}

}  // namespace

std::string decodeBossList(const EncodedBody& body, std::vector<BossInfo>& bosses, std::size_t* inflated) {
    return readCatching(
        [&] { return readBossList(body, bosses, inflated); },
        {"JSON parse error: ", "JSON type error: ", "Unexpected error: ", "Unknown error during boss fetch"});
}

std::string decodeChannelStatus(const EncodedBody& body, std::vector<ChannelStatus>& channels, std::size_t* inflated) {
    return readCatching([&] { return readChannelStatus(body, channels, inflated); },
                        {"JSON parse error in channel status: ", "JSON type error in channel status: ",
                         "Unexpected error in channel status: ", "Unknown error during channel status fetch"});
}

std::string decodeAllStatus(const EncodedBody& body, AllStatusMap& result, AllStatusMap& spare, std::size_t* inflated) {
    return readCatching([&] { return readAllStatus(body, result, spare, inflated); },
                        {"JSON parse error: ", "JSON type error: ", "Unexpected error: ", nullptr});
}
