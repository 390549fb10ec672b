#include <cwctype>
#include <limits>
#include <new>

#include "base/StepTimes.h"
#include "base/WideText.h"
#include "net/HttpGet.h"
#include "net/WinHttpRequest_win.h"

namespace {

constexpr RequestProfile kDataRequest{L"Zentrik/1.0", 10000, L"Accept-Encoding: gzip\r\n"};
constexpr uint64_t kBodyCapBytes = 10u << 20;
constexpr DWORD kHttpStatusNotModified = 304;

// Whether a header that lists codings names `coding` (lower case), in any case.
bool namesCoding(std::wstring codings, const wchar_t* coding) {
    for (wchar_t& unit : codings) unit = static_cast<wchar_t>(std::towlower(unit));
    return codings.find(coding) != std::wstring::npos;
}

bool isGzipEncoded(const WinHttpRequest& request) {
    std::wstring encoding;
    return request.contentEncoding(encoding) && namesCoding(encoding, L"gzip");
}

ReadFailureKind bodyFailureKind(BodyEnd end, const WinHttpRequest& request) {
    switch (end) {
        case BodyEnd::Complete:
            return ReadFailureKind::None;
        case BodyEnd::Interrupted:
            return request.failureKind();
        case BodyEnd::TooSlow:
            return ReadFailureKind::TimedOut;
        case BodyEnd::TooLarge:
            return ReadFailureKind::NotTrackerData;
    }
    return ReadFailureKind::ConnectionFailed;
}

// The whole body, or 0 when it did not arrive complete or was empty: a dropped connection may show up as a
// normal end, so fewer bytes than a Content-Length announced also count as a failure. A chunked answer ends with
// its last chunk, and HTTP has its Content-Length ignored then.
uint64_t readCompleteBody(WinHttpRequest& request, std::string& wire, ReadFailure& failure) {
    std::wstring transfer;
    const bool chunked = request.transferEncoding(transfer) && namesCoding(transfer, L"chunked");
    uint64_t announced = 0;
    const bool hasLength = !chunked && request.contentLength(announced);
    if (hasLength && announced <= kBodyCapBytes) wire.reserve(static_cast<std::size_t>(announced));
    uint64_t received = 0;
    const BodyEnd end = request.readBody(wire, kBodyCapBytes, std::numeric_limits<DWORD>::max(), received);
    failure.kind = bodyFailureKind(end, request);
    if (failure.kind == ReadFailureKind::None && hasLength && received < announced)
        failure.kind = ReadFailureKind::ConnectionDropped;
    if (failure.kind == ReadFailureKind::None && received == 0) failure.kind = ReadFailureKind::NotTrackerData;
    return failure.kind == ReadFailureKind::None ? received : 0;
}

// The undecoded body of a 200 answer, and whether it is gzip-encoded; 0 for any failure and for a 304 answer to a
// conditional request.
uint64_t receiveBody(HttpConnection& connection, const std::string& url, std::string& wire, bool& gzip,
                     ReadFailure& failure, ConditionalGet& conditional) {
    StepTimer timer(Step::Request);
    WinHttpRequest request;
    if (!request.crackUrl(Utf8ToWide(url))) return 0;
    if (request.send(connection, kDataRequest, Utf8ToWide(conditional.headers)) != RequestStep::Done) {
        failure.kind = request.failureKind();
        return 0;
    }

    DWORD status = 0;
    request.statusCode(status);
    gzip = isGzipEncoded(request);
    // A 304 nobody asked for is no answer to this request.
    conditional.notModified = status == kHttpStatusNotModified && !conditional.headers.empty();
    if (conditional.notModified || status == kHttpStatusOk) conditional.freshSeconds = request.freshSeconds();
    if (conditional.notModified) {
        request.readEmptyBody();
        return 0;
    }
    if (status == kHttpStatusOk) conditional.answered = request.validators();
    if (status != kHttpStatusOk) {
        // An answer without a readable status line is no HTTP at all.
        failure = status == 0 ? ReadFailure{ReadFailureKind::NotTrackerData, 0}
                              : ReadFailure{ReadFailureKind::HttpStatus, static_cast<unsigned>(status)};
        return 0;
    }
    return readCompleteBody(request, wire, failure);
}

}  // namespace

uint64_t httpGet(HttpConnection& connection, const std::string& url, EncodedBody& body, ReadFailure& failure,
                 ConditionalGet* conditional) {
    failure = {};
    ConditionalGet unconditional;
    ConditionalGet& asked = conditional ? *conditional : unconditional;
    asked.notModified = false;
    asked.answered = {};
    asked.freshSeconds = 0;
    try {
        EncodedBody received;
        const uint64_t bytes = receiveBody(connection, url, received.bytes, received.gzip, failure, asked);
        if (bytes != 0) body = std::move(received);
        return bytes;
    } catch (const std::bad_alloc&) {
        // A body too large to hold is no body the tracker would send.
        failure.kind = ReadFailureKind::NotTrackerData;
        return 0;
    }
}
