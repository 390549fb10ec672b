#include <algorithm>

#include "net/WinHttpRequest_win.h"

namespace {

constexpr DWORD kHostBufferUnits = 256;
constexpr DWORD kPathBufferUnits = 2048;
constexpr DWORD kHeaderBufferUnits = 64;

}  // namespace

bool WinHttpRequest::crackUrl(const std::wstring& url) {
    wchar_t host[kHostBufferUnits] = {};
    wchar_t path[kPathBufferUnits] = {};
    URL_COMPONENTS parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = kHostBufferUnits;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = kPathBufferUnits;
    if (!WinHttpCrackUrl(url.c_str(), 0, 0, &parts)) return false;
    host_.assign(host, parts.dwHostNameLength);
    path_.assign(path, parts.dwUrlPathLength);
    port_ = parts.nPort;
    secure_ = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

RequestStep WinHttpRequest::send(HttpConnection& connection, const RequestProfile& profile) {
    RequestStep step = connection.open(profile, host_, port_, secure_);
    if (step == RequestStep::Done) step = sendOnce(connection, profile);
    // A server may close or reset a kept TCP connection at any moment between two requests, and WinHTTP
    // may hand out such a connection even to a new session. That shows as a quick failure before any
    // response byte, and a fresh connection gets one more try; a time-out is not retried, so a silent
    // server still costs one time-out only. Wine reports that time-out as the socket's own error.
    const DWORD error = GetLastError();
    const bool timedOut = error == ERROR_WINHTTP_TIMEOUT || error == WSAETIMEDOUT;
    const bool quickFailure = step == RequestStep::Send || step == RequestStep::Receive;
    if (quickFailure && !timedOut) {
        request_.reset();
        connection.close();
        step = connection.open(profile, host_, port_, secure_);
        if (step == RequestStep::Done) step = sendOnce(connection, profile);
    }
    if (step != RequestStep::Done) {
        request_.reset();
        connection.close();
        return step;
    }
    bodyDeadline_ = std::chrono::steady_clock::now() + kBodyTimeouts * std::chrono::milliseconds(profile.timeoutMs);
    return step;
}

RequestStep WinHttpRequest::sendOnce(HttpConnection& connection, const RequestProfile& profile) {
    request_.reset(WinHttpOpenRequest(connection.handle(), L"GET", path_.c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, secure_ ? WINHTTP_FLAG_SECURE : 0));
    if (!request_) return RequestStep::OpenRequest;
    if (profile.extraHeader)
        WinHttpAddRequestHeaders(request_.get(), profile.extraHeader, static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD);

    if (!WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
        return RequestStep::Send;
    if (!WinHttpReceiveResponse(request_.get(), nullptr)) return RequestStep::Receive;
    return RequestStep::Done;
}

bool WinHttpRequest::statusCode(DWORD& status) const {
    DWORD size = sizeof(status);
    return WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
}

bool WinHttpRequest::headerText(DWORD header, std::wstring& value) const {
    wchar_t buffer[kHeaderBufferUnits] = {};
    DWORD size = sizeof(buffer);
    if (!WinHttpQueryHeaders(request_.get(), header, WINHTTP_HEADER_NAME_BY_INDEX, buffer, &size,
                             WINHTTP_NO_HEADER_INDEX))
        return false;
    value.assign(buffer, size / sizeof(wchar_t));
    return true;
}

bool WinHttpRequest::contentEncoding(std::wstring& value) const {
    return headerText(WINHTTP_QUERY_CONTENT_ENCODING, value);
}

bool WinHttpRequest::contentLength(uint64_t& length) const {
    std::wstring text;
    if (!headerText(WINHTTP_QUERY_CONTENT_LENGTH, text)) return false;
    wchar_t* end = nullptr;
    length = wcstoull(text.c_str(), &end, 10);
    return end != text.c_str();
}

BodyEnd WinHttpRequest::readBody(std::string& body, uint64_t cap, DWORD readLimit, uint64_t& received) {
    received = 0;
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request_.get(), &available)) return BodyEnd::Interrupted;
        if (available == 0) return BodyEnd::Complete;
        if (received + available > cap) return BodyEnd::TooLarge;
        const DWORD wanted = std::min(available, readLimit);
        const std::size_t start = body.size();
        body.resize(start + wanted);
        DWORD read = 0;
        const BOOL ok = WinHttpReadData(request_.get(), body.data() + start, wanted, &read);
        body.resize(start + (ok ? read : 0));
        if (!ok || read == 0) return BodyEnd::Interrupted;
        received += read;
        if (std::chrono::steady_clock::now() >= bodyDeadline_) return BodyEnd::Interrupted;
    }
}
