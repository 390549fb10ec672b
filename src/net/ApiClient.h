#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/StopSignal.h"
#include "base/WorkerThread.h"
#include "net/AnswerMemory.h"
#include "net/ConnectionState.h"
#include "net/EncodedBody.h"
#include "net/TrackerRecords.h"
#include "net/TrackerSource.h"

class HttpConnection;
struct ConditionalGet;

// The tracker API client: three data reads, the server status probe, traffic counters for the status
// line and a worker that announces the connection state. Failures return false (or -1.0)
// and leave a short message in the status text. Each calling thread keeps its own connections to the
// tracker from one call to the next.
class ApiClient : public TrackerSource {
public:
    explicit ApiClient(std::string baseUrl = {});
    ~ApiClient() override;
    ApiClient(const ApiClient&) = delete;
    ApiClient& operator=(const ApiClient&) = delete;

    // Also resets the counters and the status text. Each thread's next read opens a connection to the new
    // origin, when it is another.
    void setBaseUrl(const std::string& baseUrl);

    bool fetchBossList(std::vector<BossInfo>& bosses) override;
    bool fetchChannelStatus(const std::string& bossId, std::vector<ChannelStatus>& channels) override;
    SummaryRead fetchAllStatus(AllStatusMap& result) override;
    std::chrono::seconds summaryFreshFor() const override;
    double fetchServerCacheAge() override;

    TrafficSnapshot trafficSnapshot() const;
    void setStatusText(const std::string& text);
    std::string statusText() const;
    // For example "tracker.example.org: connection refused".
    std::string failureReason() const override;

    // Tells `listener`, from a worker thread, connected on start and disconnected when stopped.
    // False when the worker could not start; nothing is then announced. A running worker stays.
    bool startWorker(ConnectionListener listener);
    // Waits for the worker at most 5 s.
    void stopWorker();

private:
    enum class LastRequest { Untracked, Tracked };
    enum class Downloaded { Failed, Body, Repeated, NotModified };
    struct ThreadConnections;

    // The base URL, and the calling thread's connections opened for it.
    ThreadConnections& currentConnections(std::string& baseUrl);
    // Downloads baseUrl + path into `body` and counts it; on failure stores `networkMessage` and the reason. A read
    // asked again and again is `remembered`: the request is conditional on its last answer, a body like that one's
    // is told apart, and the answer's word on how long it stays as it is comes back there.
    Downloaded download(const std::string& path, LastRequest last, const char* networkMessage, EncodedBody& body,
                        ConditionalGet* remembered = nullptr);
    // The outcome of decoding a downloaded body: true when `message` is empty; otherwise stores it, with the
    // reason that the answer was not the tracker's.
    bool decoded(const std::string& message);
    // The cache age, or kNoCacheAge with the reason in `message`.
    double probeCacheAge(HttpConnection& connection, const std::string& baseUrl, std::string& message);

    mutable std::mutex lock_;
    std::string baseUrl_;
    std::map<std::thread::id, std::unique_ptr<ThreadConnections>> connections_;
    std::unique_ptr<WorkerThread> worker_;
    std::shared_ptr<StopSignal> workerStop_;
    std::atomic<bool> workerRunning_{false};
    uint64_t bytesReceivedTotal_ = 0;
    uint64_t bytesSentTotal_ = 0;
    uint64_t lastBytesReceived_ = 0;
    uint64_t lastBytesSent_ = 0;
    uint32_t reconnectAttempts_ = 0;  // all-status reads failed in a row
    std::chrono::seconds summaryFreshFor_{0};
    std::string statusText_;
    std::string failureReason_;
    AnswerMemory answers_;  // by URL, so that no tracker is asked with another's validators
};
