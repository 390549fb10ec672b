// 500 reads of the demo tracker's summary through httpGet under Wine: over a fresh session and
// connection per call, as every read once was, and over one kept connection; then 500 times the two reads
// of a poll cycle (the summary and the status) over kept connections, with nothing decoded. Prints the CPU time this
// process spends per call (user and kernel) and the wall time per call, and their ratios. Each phase
// is announced on its own line ("begin <phase>", "end <phase>") as it starts and ends, so that
// bench/wine_cpu.py can add the Wine server's CPU time for it. The tracker's port comes from
// BRISQUEL_TRACKER_PORT (tests/fixtures/with_fixtures.py).
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "net/HttpConnection_win.h"
#include "net/HttpGet.h"
#include "support/Fixtures.h"

namespace {

constexpr int kCalls = 500;

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
PerCall measure(const char* phase, Read&& read) {
    int failures = 0;
    std::printf("begin %s\n", phase);
    std::fflush(stdout);
    const double cpuStart = processCpuSeconds();
    const auto wallStart = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i) failures += read();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    std::printf("end %s\n", phase);
    std::fflush(stdout);
    return {(processCpuSeconds() - cpuStart) / kCalls, wall / kCalls, failures};
}

int failed(HttpConnection& connection, const std::string& url) {
    EncodedBody body;
    ReadFailure failure;
    return httpGet(connection, url, body, failure) == 0 ? 1 : 0;
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
    return 0;
}
