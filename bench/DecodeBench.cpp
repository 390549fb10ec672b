// Decoding an all-status body into records against only parsing it into a document, and the cost of each boss id
// as a summary names more of them.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "SyntheticBody.h"
#include "net/TrackerDecoder.h"

namespace {

// Takes every event of the parser and keeps nothing: the least that any decoder built on the library's
// parser can cost.
struct DiscardingHandler : nlohmann::json_sax<nlohmann::json> {
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t&) override { return true; }
    bool string(string_t&) override { return true; }
    bool binary(binary_t&) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t&) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }
};

// A summary naming `count` distinct bosses, each with an empty list.
EncodedBody summaryOfIds(int count) {
    std::string body = R"({"channel_status":{)";
    char id[32];
    for (int n = 0; n < count; ++n) {
        // 24 characters that share no long prefix, as record ids do.
        std::snprintf(id, sizeof(id), "%s\"%08x%016x\":[]", n ? "," : "", n * 2654435761u, n);
        body += id;
    }
    return {body + "}}", false};
}

// Seconds per boss id that decodeAllStatus read of a body naming `count`; past the limit it reads one id more.
double secondsPerId(int count, int repeat) {
    const EncodedBody body = summaryOfIds(count);
    AllStatusMap map, spare;
    const bool accepted = count <= static_cast<int>(kMostSummaryIds);
    const double seconds = bestSeconds(5, repeat, [&] {
        if (decodeAllStatus(body, map, spare).empty() != accepted) std::abort();
    });
    const double read = accepted ? count : kMostSummaryIds + 1.0;
    std::printf("%7d ids, %8zu bytes: %s, %.1f ns per id read\n", count, body.bytes.size(),
                accepted ? "accepted" : "refused at the id limit", seconds / read * 1e9);
    return seconds / read;
}

}  // namespace

int main() {
    const EncodedBody body{syntheticAllStatus(), false};
    // Kept observable so that the optimiser cannot drop the work.
    static volatile std::size_t sink = 0;
    const double parse = bestSeconds(15, 5, [&] {
        const nlohmann::json document = nlohmann::json::parse(body.bytes, nullptr, false, false);
        sink = sink + document.size();
    });
    const double fresh = bestSeconds(15, 5, [&] {
        AllStatusMap map, spare;
        if (!decodeAllStatus(body, map, spare).empty()) std::abort();
        sink = sink + map.size();
    });
    // Kept across reads, as the poller keeps them: each read reuses the storage of the ones before.
    AllStatusMap map, spare;
    const double reused = bestSeconds(15, 5, [&] {
        if (!decodeAllStatus(body, map, spare).empty()) std::abort();
        sink = sink + map.size();
    });
    DiscardingHandler discard;
    const double events = bestSeconds(15, 5, [&] {
        if (!nlohmann::json::sax_parse(body.bytes, &discard)) std::abort();
    });
    std::printf("all-status body: %zu bytes\n", body.bytes.size());
    std::printf("bare json::parse:               %.3f ms\n", parse * 1e3);
    std::printf("decodeAllStatus, maps per read: %.3f ms (ratio %.2fx)\n", fresh * 1e3, fresh / parse);
    std::printf("decodeAllStatus, maps reused:   %.3f ms (ratio %.2fx, target <= 1.00x)\n", reused * 1e3,
                reused / parse);
    std::printf("parser events only, kept nowhere: %.3f ms (ratio %.2fx, the floor of any decoder on this parser)\n",
                events * 1e3, events / parse);

    const double few = secondsPerId(200, 200);
    const double atLimit = secondsPerId(static_cast<int>(kMostSummaryIds), 20);
    const double many = secondsPerId(200000, 20);
    std::printf("per id at the limit against 200 ids: %.2fx; 200000 ids against 200: %.2fx (target <= 2.00x)\n",
                atLimit / few, many / few);
    return 0;
}
