#include <chrono>
#include <new>
#include <thread>

#include "base/StepTimes.h"
#include "net/ApiClient.h"
#include "net/HttpGet.h"
#include "net/ServerStatus.h"
#include "net/TrackerDecoder.h"
#include "net/TrackerOrigin.h"
#include "net/TrackerPaths.h"
#include "net/WinHttpRequest_win.h"

namespace {

// Rough size of a request line and headers beyond the URL, for the sent-bytes estimate.
constexpr uint64_t kRequestOverheadBytes = 100;

// The status probe is kept short so that an unreachable server delays a poll cycle only briefly.
constexpr RequestProfile kStatusRequest{L"Zentrik/1.1", 3000, nullptr};
constexpr std::size_t kLongestStatusUrl = 2048;
constexpr std::size_t kStatusBodyReserve = 4096;
constexpr DWORD kStatusReadBlock = 8192;
constexpr uint64_t kStatusBodyCap = 1048576;

constexpr auto kWorkerShutdownWait = std::chrono::milliseconds(5000);

}  // namespace

// The data reads and the status probe present themselves differently, so each keeps its own session.
// A connection asked for another origin than its own closes and opens anew, so a changed base URL needs
// nothing more here.
struct ApiClient::ThreadConnections {
    HttpConnection data;
    HttpConnection status;
    AllStatusMap spareSummary;  // storage the next summary is decoded into
};

ApiClient::ApiClient(std::string baseUrl) : baseUrl_(std::move(baseUrl)) {}

ApiClient::~ApiClient() {
    stopWorker();
}

void ApiClient::setBaseUrl(const std::string& baseUrl) {
    std::lock_guard<std::mutex> guard(lock_);
    baseUrl_ = baseUrl;
    bytesReceivedTotal_ = bytesSentTotal_ = lastBytesReceived_ = lastBytesSent_ = 0;
    reconnectAttempts_ = 0;
    statusText_.clear();
    failureReason_.clear();
    answers_.clear();
}

ApiClient::ThreadConnections& ApiClient::currentConnections(std::string& baseUrl) {
    std::lock_guard<std::mutex> guard(lock_);
    baseUrl = baseUrl_;
    // Only the calling thread ever uses or creates its own entry; the map's nodes stay where they are.
    std::unique_ptr<ThreadConnections>& mine = connections_[std::this_thread::get_id()];
    if (!mine) mine = std::make_unique<ThreadConnections>();
    return *mine;
}

TrafficSnapshot ApiClient::trafficSnapshot() const {
    std::lock_guard<std::mutex> guard(lock_);
    TrafficSnapshot snapshot;
    snapshot.bytesReceivedTotal = bytesReceivedTotal_;
    snapshot.bytesSentTotal = bytesSentTotal_;
    snapshot.lastBytesReceived = lastBytesReceived_;
    snapshot.lastBytesSent = lastBytesSent_;
    snapshot.connectionState = workerRunning_ ? CONNECTION_CONNECTED : CONNECTION_DISCONNECTED;
    snapshot.reconnectAttempts = reconnectAttempts_;
    return snapshot;
}

void ApiClient::setStatusText(const std::string& text) {
    std::lock_guard<std::mutex> guard(lock_);
    statusText_ = text;
}

std::string ApiClient::statusText() const {
    std::lock_guard<std::mutex> guard(lock_);
    return statusText_;
}

std::string ApiClient::failureReason() const {
    std::lock_guard<std::mutex> guard(lock_);
    return failureReason_;
}

bool ApiClient::decoded(const std::string& message) {
    std::lock_guard<std::mutex> guard(lock_);
    if (message.empty()) {
        failureReason_.clear();
        return true;
    }
    statusText_ = message;
    failureReason_ = ReadFailureText(TrackerHost(baseUrl_), {ReadFailureKind::NotTrackerData, 0});
    return false;
}

ApiClient::Downloaded ApiClient::download(const std::string& path, LastRequest last, const char* networkMessage,
                                          EncodedBody& body, ConditionalGet* remembered) {
    std::string baseUrl;
    ThreadConnections& connections = currentConnections(baseUrl);
    const std::string url = baseUrl + path;
    ConditionalGet unremembered;
    ConditionalGet& conditional = remembered ? *remembered : unremembered;
    if (remembered) {
        std::lock_guard<std::mutex> guard(lock_);
        conditional.headers = answers_.conditionalHeaders(url);
    }
    ReadFailure failure;
    const uint64_t received = httpGet(connections.data, url, body, failure, &conditional);

    std::lock_guard<std::mutex> guard(lock_);
    const bool tracked = last == LastRequest::Tracked;
    const bool answered = conditional.notModified || (received != 0 && !body.bytes.empty());
    if (!answered) {
        if (received != 0) failure.kind = ReadFailureKind::NotTrackerData;  // a 200 answer with no body
        statusText_ = networkMessage;
        failureReason_ = ReadFailureText(TrackerHost(baseUrl), failure);
        if (tracked) lastBytesReceived_ = lastBytesSent_ = 0;
        answers_.forget(url);
        return Downloaded::Failed;
    }
    // Counted before decoding: the bytes moved even if the body turns out to be unusable.
    const uint64_t sent = url.size() + kRequestOverheadBytes;
    bytesReceivedTotal_ += received;
    bytesSentTotal_ += sent;
    if (tracked) {
        lastBytesReceived_ = received;
        lastBytesSent_ = sent;
    }
    if (conditional.notModified) return Downloaded::NotModified;
    if (remembered && answers_.takeAnswer(url, conditional.answered, body.bytes)) return Downloaded::Repeated;
    return Downloaded::Body;
}

bool ApiClient::fetchBossList(std::vector<BossInfo>& bosses) {
    bosses.clear();
    EncodedBody body;
    if (download(kBossListPath, LastRequest::Untracked, "Failed to fetch bosses - network error or empty response",
                 body) == Downloaded::Failed)
        return false;
    return decoded(decodeBossList(body, bosses));
}

bool ApiClient::fetchChannelStatus(const std::string& bossId, std::vector<ChannelStatus>& channels) {
    channels.clear();
    if (bossId.empty()) {
        setStatusText("Invalid boss_id - cannot be empty");
        return false;
    }
    if (!channelStatusPathFits(bossId)) {
        std::lock_guard<std::mutex> guard(lock_);
        statusText_ = "Invalid boss_id - too long for a request";
        failureReason_ = ReadFailureText(TrackerHost(baseUrl_), {ReadFailureKind::BossIdTooLong, 0});
        return false;
    }
    EncodedBody body;
    if (download(channelStatusPath(bossId), LastRequest::Tracked,
                 "Failed to fetch channel status - network error or empty response", body) == Downloaded::Failed)
        return false;
    return decoded(decodeChannelStatus(body, channels));
}

SummaryRead ApiClient::fetchAllStatus(AllStatusMap& result) {
    EncodedBody body;
    ConditionalGet conditional;
    const Downloaded downloaded = download(kAllStatusPath, LastRequest::Tracked,
                                           "Failed to fetch all status - network error or empty response", body,
                                           &conditional);
    bool ok = downloaded != Downloaded::Failed;
    if (downloaded == Downloaded::Body) {
        StepTimer timer(Step::Decode);
        std::string baseUrl;
        ok = decoded(decodeAllStatus(body, result, currentConnections(baseUrl).spareSummary));
        // A body that could not be read is read again should it come again.
        if (!ok) {
            std::lock_guard<std::mutex> guard(lock_);
            answers_.forget(baseUrl + kAllStatusPath);
        }
    } else if (ok) {
        decoded(std::string());  // nothing new to decode: a success all the same
    }
    if (!ok) result.clear();
    // The summary is what keeps the overlay current, so its failures in a row are what the user is told.
    std::lock_guard<std::mutex> guard(lock_);
    reconnectAttempts_ = ok ? 0 : reconnectAttempts_ + 1;
    summaryFreshFor_ = std::chrono::seconds(ok ? conditional.freshSeconds : 0);
    if (!ok) return SummaryRead::Failed;
    return downloaded == Downloaded::Body ? SummaryRead::Changed : SummaryRead::Unchanged;
}

std::chrono::seconds ApiClient::summaryFreshFor() const {
    std::lock_guard<std::mutex> guard(lock_);
    return summaryFreshFor_;
}

double ApiClient::fetchServerCacheAge() {
    StepTimer timer(Step::StatusProbe);
    std::string message, baseUrl;
    HttpConnection& connection = currentConnections(baseUrl).status;
    const double age = probeCacheAge(connection, baseUrl, message);
    if (!message.empty()) setStatusText(message);
    return age;
}

double ApiClient::probeCacheAge(HttpConnection& connection, const std::string& baseUrl, std::string& message) {
    const auto fail = [&message](std::string reason) {
        message = std::move(reason);
        return kNoCacheAge;
    };
    if (baseUrl.empty()) return fail("Base URL not initialized");
    const std::string url = baseUrl + kServerStatusPath;
    if (url.size() > kLongestStatusUrl) return fail("URL too long");

    std::wstring wideUrl;
    try {
        // The base URL is ASCII, so each byte is one unit.
        const auto* bytes = reinterpret_cast<const unsigned char*>(url.data());
        wideUrl.assign(bytes, bytes + url.size());
    } catch (const std::exception& e) {
        return fail(std::string("String conversion failed: ") + e.what());
    } catch (...) {
        return fail("Unknown error during string conversion");
    }

    WinHttpRequest request;
    if (!request.crackUrl(wideUrl)) return fail("Failed to parse URL");
    if (request.host().empty() || request.path().empty()) return fail("Invalid URL components");
    switch (request.send(connection, kStatusRequest)) {
        case RequestStep::Done:
            break;
        case RequestStep::OpenSession:
            return fail("Failed to open WinHTTP session");
        case RequestStep::Connect:
            return fail("Failed to connect to host");
        case RequestStep::OpenRequest:
            return fail("Failed to create HTTP request");
        case RequestStep::Send:
            return fail("Failed to send HTTP request");
        case RequestStep::Receive:
            return fail("Failed to receive HTTP response");
    }

    // A failed status query reads the response as if it were 200.
    DWORD status = 0;
    if (request.statusCode(status) && status != kHttpStatusOk)
        return fail("HTTP error: status code " + std::to_string(status));

    std::string body;
    try {
        body.reserve(kStatusBodyReserve);
        uint64_t received = 0;
        // A body cut short by a failed query or read is decoded as it stands.
        if (request.readBody(body, kStatusBodyCap, kStatusReadBlock, received) == BodyEnd::TooLarge)
            return fail("Response too large (> 1MB)");
    } catch (const std::bad_alloc&) {
        return fail("Out of memory while reading response");
    } catch (const std::exception& e) {
        return fail(std::string("Error appending data: ") + e.what());
    }
    if (body.empty()) return fail("Empty response from server");
    return decodeCacheAge(body, message);
}

bool ApiClient::startWorker(ConnectionListener listener) {
    if (worker_) return true;
    auto stop = std::make_shared<StopSignal>();
    // The body shares only its flag and listener, so a detached worker outlives the client harmlessly.
    worker_ = WorkerThread::start([stop, listener = std::move(listener)] {
        // Twice on purpose: the window's handler only stores the state and repaints, so the repeat is
        // harmless, and the window keeps receiving the sequence of messages it always has.
        listener(CONNECTION_CONNECTED);
        listener(CONNECTION_CONNECTED);
        stop->wait();
        listener(CONNECTION_DISCONNECTED);
    });
    if (!worker_) return false;
    workerStop_ = std::move(stop);
    workerRunning_ = true;
    return true;
}

void ApiClient::stopWorker() {
    if (!worker_) return;
    workerStop_->request();
    worker_->finish(std::chrono::steady_clock::now() + kWorkerShutdownWait);
    worker_.reset();
    workerRunning_ = false;
    setStatusText("Stopped");
}
