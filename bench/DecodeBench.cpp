// Decoding an all-status body into records against only parsing it into a document.
#include <cstdio>
#include <nlohmann/json.hpp>

#include "SyntheticBody.h"
#include "net/TrackerDecoder.h"

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
    std::printf("all-status body: %zu bytes\n", body.size());
    std::printf("bare json::parse:               %.3f ms\n", parse * 1e3);
    std::printf("decodeAllStatus, maps per read: %.3f ms (ratio %.2fx)\n", fresh * 1e3, fresh / parse);
    std::printf("decodeAllStatus, maps reused:   %.3f ms (ratio %.2fx, target <= 1.00x)\n", reused * 1e3,
                reused / parse);
    return 0;
}
