// Decoding an all-status body into records against only parsing it into a document.
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

}  // namespace

int main() {
    const std::string body = syntheticAllStatus();
    // Kept observable so that the optimiser cannot drop the work.
    static volatile std::size_t sink = 0;
    const double parse = bestSeconds(15, 5, [&] {
        const nlohmann::json document = nlohmann::json::parse(body, nullptr, false, false);
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
        if (!nlohmann::json::sax_parse(body, &discard)) std::abort();
    });
    std::printf("all-status body: %zu bytes\n", body.size());
    std::printf("bare json::parse:               %.3f ms\n", parse * 1e3);
    std::printf("decodeAllStatus, maps per read: %.3f ms (ratio %.2fx)\n", fresh * 1e3, fresh / parse);
    std::printf("decodeAllStatus, maps reused:   %.3f ms (ratio %.2fx, target <= 1.00x)\n", reused * 1e3,
                reused / parse);
    std::printf("parser events only, kept nowhere: %.3f ms (ratio %.2fx, the floor of any decoder on this parser)\n",
                events * 1e3, events / parse);
    return 0;
}
