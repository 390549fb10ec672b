// 500 reads of the demo tracker's summary through httpGet under Wine: over a fresh session and
// connection per call, as every read once was, and over one kept connection; then 500 times the two reads
// of a poll cycle (the summary and the status) over kept connections, with nothing decoded. Then the overlay's own
// poll cycle (ApiClient and the live model) against the frozen demo world: a changed cycle (read, decode, merge and
// the cache age), a cycle answered 304, and one whose 200 repeats the last body with the tracker's validators off;
// and the floor of a changed cycle, its parts no client can skip: the two reads and a bare parse. Last, 304 cycles
// half a second apart, as the overlay polls: after each pause the processor's caches no longer hold what a cycle
// needs, which a tight loop never shows. Prints the CPU time
// this process spends per call (user and kernel) and the wall time per call, and their ratios. Each phase
// is announced on its own line ("begin <phase>", "end <phase>") as it starts and ends, so that
// bench/wine_cpu.py can add the Wine server's CPU time for it. The tracker's port comes from
// BRISQUEL_TRACKER_PORT (tests/fixtures/with_fixtures.py).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "model/LiveModel.h"
#include "net/ApiClient.h"
#include "net/GzipMember.h"
#include "net/HttpConnection_win.h"
#include "net/HttpGet.h"
#include "support/Fixtures.h"

namespace {

constexpr int kCalls = 500;
constexpr int kPausedCalls = 60;
constexpr DWORD kPollPauseMs = 500;

struct PerCall {
    double cpuSeconds;
    double wallSeconds;
    int failures;
};

double processCpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

// `read` makes one call's reads and returns how many of them failed.
template <class Read>
PerCall measure(const char* phase, Read&& read, int calls = kCalls, DWORD pauseMs = 0) {
    int failures = 0;
    std::printf("begin %s\n", phase);
    std::fflush(stdout);
    const double cpuStart = processCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) {
        failures += read();
        if (pauseMs) Sleep(pauseMs);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("end %s\n", phase);
    std::fflush(stdout);
    return {(processCpuSeconds() - cpuStart) / calls, wall / calls, failures};
}

int failed(HttpConnection& connection, const std::string& url, EncodedBody* kept = nullptr) {
    EncodedBody body;
    ReadFailure failure;
    const int failures = httpGet(connection, url, body, failure) == 0 ? 1 : 0;
    if (kept) *kept = std::move(body);
    return failures;
}

// A body parsed with nothing kept: what any client pays to know what the body says.
int unparsed(const EncodedBody& body) {
    if (!body.gzip) return nlohmann::json::accept(body.bytes) ? 0 : 1;
    GzipMemberReader reader(body.bytes);
    return nlohmann::json::accept(reader.begin(), reader.end()) ? 0 : 1;
}

void report(const char* name, const PerCall& call, const PerCall& baseline) {
    std::printf("%-13s CPU %.3f ms, wall %.3f ms per cycle, %d failed; ratio CPU %.2f, wall %.2f\n", name,
                call.cpuSeconds * 1e3, call.wallSeconds * 1e3, call.failures, call.cpuSeconds / baseline.cpuSeconds,
                call.wallSeconds / baseline.wallSeconds);
}

}  // namespace

int wmain() {
    if (fixturePort("TRACKER") == 0) {
        std::fprintf(stderr, "run under tests/fixtures/with_fixtures.py --fixture tracker=tools/demo_tracker.py\n");
        return 1;
    }
    const std::string url = fixtureOrigin("TRACKER") + "/api/all_status";
    HttpConnection kept;
    EncodedBody warmUp;
    ReadFailure ignored;
    httpGet(kept, url, warmUp, ignored);

    std::unique_ptr<HttpConnection> fresh;
    const PerCall perCallSession = measure("per-call", [&] {
        fresh = std::make_unique<HttpConnection>();
        return failed(*fresh, url);
    });
    fresh.reset();
    const PerCall keptSession = measure("kept", [&] { return failed(kept, url); });
    // The overlay keeps one connection per reading thread; here both reads take turns on one thread.
    HttpConnection keptForStatus;
    const std::string statusUrl = fixtureOrigin("TRACKER") + "/api/status";
    const PerCall cycle = measure("cycle", [&] { return failed(kept, url) + failed(keptForStatus, statusUrl); });

    std::printf("%d reads of /api/all_status (%zu bytes on the wire, not inflated)\n", kCalls, warmUp.bytes.size());
    std::printf("session per call: CPU %.3f ms, wall %.3f ms per call, %d failed\n", perCallSession.cpuSeconds * 1e3,
                perCallSession.wallSeconds * 1e3, perCallSession.failures);
    std::printf("kept session:     CPU %.3f ms, wall %.3f ms per call, %d failed\n", keptSession.cpuSeconds * 1e3,
                keptSession.wallSeconds * 1e3, keptSession.failures);
    std::printf("ratio kept / per call: CPU %.2f, wall %.2f\n", keptSession.cpuSeconds / perCallSession.cpuSeconds,
                keptSession.wallSeconds / perCallSession.wallSeconds);
    std::printf("a poll cycle's two reads, kept: CPU %.3f ms, wall %.3f ms per cycle, %d failed\n",
                cycle.cpuSeconds * 1e3, cycle.wallSeconds * 1e3, cycle.failures);

    // The overlay's cycle, on a world that stands still so that every cycle reads the same summary.
    HttpConnection controls;
    const auto control = [&](const char* command) {
        failed(controls, fixtureOrigin("TRACKER") + "/__control/" + command);
    };
    control("freeze");
    const std::string origin = fixtureOrigin("TRACKER");
    ApiClient client(origin);
    LiveModel model;
    AllStatusMap summary;
    EncodedBody body;
    const PerCall floor = measure("floor", [&] {
        return failed(kept, url, &body) + failed(keptForStatus, statusUrl) + unparsed(body);
    });
    // Another base URL, even the same one, forgets the validators and the last body: every read is news.
    const PerCall changed = measure("changed", [&] {
        client.setBaseUrl(origin);
        if (client.fetchAllStatus(summary) != SummaryRead::Changed) return 1;
        const double age = client.fetchServerCacheAge();
        model.mergeAllStatus(summary, age, std::chrono::milliseconds(0));
        return age < 0 ? 1 : 0;
    });
    const auto unchanged = [&] { return client.fetchAllStatus(summary) == SummaryRead::Unchanged ? 0 : 1; };
    client.fetchAllStatus(summary);
    const PerCall notModified = measure("not-modified", unchanged);
    const PerCall paused = measure("not-modified-paused", unchanged, kPausedCalls, kPollPauseMs);
    control("validators/off");
    client.setBaseUrl(origin);
    client.fetchAllStatus(summary);
    const PerCall repeated = measure("repeated", unchanged);
    control("validators/on");
    control("thaw");

    std::printf("the overlay's poll cycle, frozen world, ratios to the changed cycle:\n");
    report("changed", changed, changed);
    report("not modified", notModified, changed);
    report("repeated 200", repeated, changed);
    std::printf("the changed cycle against its floor (two reads and a bare parse):\n");
    report("floor", floor, floor);
    report("changed", changed, floor);
    std::printf("a 304 cycle half a second after the last, as the overlay polls, against the tight loop:\n");
    report("paused 304", paused, notModified);
    return 0;
}
