#include <cwctype>
#include <limits>
#include <new>

#include "base/StepTimes.h"
#include "base/WideText.h"
#include "net/GzipMember.h"
#include "net/HttpGet.h"
#include "net/WinHttpRequest_win.h"

namespace {

constexpr RequestProfile kDataRequest{L"Zentrik/1.0", 10000, L"Accept-Encoding: gzip\r\n"};
constexpr uint64_t kBodyCapBytes = 10u << 20;

bool isGzipEncoded(const WinHttpRequest& request) {
    std::wstring encoding;
    if (!request.contentEncoding(encoding)) return false;
    for (wchar_t& unit : encoding) unit = static_cast<wchar_t>(std::towlower(unit));
    return encoding.find(L"gzip") != std::wstring::npos;
}

// The whole body, or 0 when it did not arrive complete: a dropped connection may show up as a
// normal end, so fewer bytes than a Content-Length announced also count as a failure.
uint64_t readCompleteBody(WinHttpRequest& request, std::string& wire) {
    uint64_t announced = 0;
    const bool hasLength = request.contentLength(announced);
    if (hasLength && announced <= kBodyCapBytes) wire.reserve(static_cast<std::size_t>(announced));
    uint64_t received = 0;
    if (request.readBody(wire, kBodyCapBytes, std::numeric_limits<DWORD>::max(), received) != BodyEnd::Complete)
        return 0;
    if (hasLength && received < announced) return 0;
    return received;
}

// The undecoded body of a 200 answer, and whether it is gzip-encoded; 0 for any failure.
uint64_t receiveBody(HttpConnection& connection, const std::string& url, std::string& wire, bool& gzip) {
    StepTimer timer(Step::Request);
    WinHttpRequest request;
    if (!request.crackUrl(Utf8ToWide(url))) return 0;
    if (request.send(connection, kDataRequest) != RequestStep::Done) return 0;

    DWORD status = 0;
    request.statusCode(status);
    gzip = isGzipEncoded(request);
    if (status != kHttpStatusOk) return 0;
    return readCompleteBody(request, wire);
}

}  // namespace

uint64_t httpGet(HttpConnection& connection, const std::string& url, std::string& body) {
    try {
        std::string wire;
        bool gzip = false;
        const uint64_t received = receiveBody(connection, url, wire, gzip);
        if (received == 0) return 0;
        if (!gzip) {
            body = std::move(wire);
            return received;
        }
        StepTimer timer(Step::Inflate);
        return inflateGzipMember(wire, body) ? received : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}
