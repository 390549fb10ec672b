#include <algorithm>

#include "net/CacheFreshness.h"
#include "net/TrackerPaths.h"
#include "net/WinHttpRequest_win.h"

namespace {

constexpr DWORD kHostBufferUnits = 256;
constexpr DWORD kPathBufferUnits = kLongestRequestPath + 1;

ReadFailureKind failureKindOf(DWORD error, DWORD certificateFaults) {
    switch (error) {
        case ERROR_WINHTTP_NAME_NOT_RESOLVED:
            return ReadFailureKind::HostNotFound;
        case ERROR_WINHTTP_CANNOT_CONNECT:
        case WSAECONNREFUSED:
            return ReadFailureKind::ConnectionRefused;
        case ERROR_WINHTTP_TIMEOUT:
        case WSAETIMEDOUT:  // how Wine reports a receive time-out
            return ReadFailureKind::TimedOut;
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
            return ReadFailureKind::CertificateWrongHost;
        case ERROR_WINHTTP_SECURE_FAILURE: {
            // Windows says what was wrong with the certificate only through the status callback.
            constexpr DWORD kOtherFaults = ~static_cast<DWORD>(WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID);
            const bool onlyTheName = (certificateFaults & WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID) &&
                                     !(certificateFaults & kOtherFaults);
            return onlyTheName ? ReadFailureKind::CertificateWrongHost : ReadFailureKind::CertificateUntrusted;
        }
        // Wine reports every certificate it refuses as a failed secure channel, and so does Windows when its
        // security package refuses one itself.
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
            return ReadFailureKind::CertificateUntrusted;
        // Wine reports a kept connection that the server reset before answering as an answer without a
        // status line.
        case ERROR_WINHTTP_CONNECTION_ERROR:
        case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
        case WSAECONNRESET:
        case WSAECONNABORTED:
            return ReadFailureKind::ConnectionDropped;
        default:
            return ReadFailureKind::ConnectionFailed;
    }
}

void CALLBACK noteCertificateFaults(HINTERNET, DWORD_PTR context, DWORD status, void* info, DWORD infoLength) {
    if (status == WINHTTP_CALLBACK_STATUS_SECURE_FAILURE && context && info && infoLength >= sizeof(DWORD))
        *reinterpret_cast<DWORD*>(context) = *static_cast<const DWORD*>(info);
}

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

RequestStep WinHttpRequest::send(HttpConnection& connection, const RequestProfile& profile,
                                 const std::wstring& headers) {
    RequestStep step = connection.open(profile, host_, port_, secure_);
    error_ = step == RequestStep::Done ? 0 : GetLastError();
    if (step == RequestStep::Done) step = sendOnce(connection, profile, headers);
    // A server may close or reset a kept TCP connection at any moment between two requests, and WinHTTP
    // may hand out such a connection even to a new session. That shows as a dropped connection before any
    // byte of the answer, and a fresh connection gets one more try. Nothing else is retried: a name that
    // does not resolve, a refused connection, a refused certificate or a silent server would fail the
    // same way again and only double the cost of every poll while the tracker is unreachable.
    const bool beforeTheAnswer = step == RequestStep::Send || step == RequestStep::Receive;
    if (beforeTheAnswer && failureKind() == ReadFailureKind::ConnectionDropped) {
        request_.reset();
        connection.close();
        step = connection.open(profile, host_, port_, secure_);
        error_ = step == RequestStep::Done ? 0 : GetLastError();
        if (step == RequestStep::Done) step = sendOnce(connection, profile, headers);
    }
    if (step != RequestStep::Done) {
        request_.reset();
        connection.close();
        return step;
    }
    bodyDeadline_ = std::chrono::steady_clock::now() + kBodyTimeouts * std::chrono::milliseconds(profile.timeoutMs);
    return step;
}

RequestStep WinHttpRequest::sendOnce(HttpConnection& connection, const RequestProfile& profile,
                                     const std::wstring& headers) {
    const auto failed = [this](RequestStep step) {
        error_ = GetLastError();
        return step;
    };
    request_.reset(WinHttpOpenRequest(connection.handle(), L"GET", path_.c_str(), nullptr, WINHTTP_NO_REFERER,
                                      WINHTTP_DEFAULT_ACCEPT_TYPES, secure_ ? WINHTTP_FLAG_SECURE : 0));
    if (!request_) return failed(RequestStep::OpenRequest);
    if (profile.extraHeader)
        WinHttpAddRequestHeaders(request_.get(), profile.extraHeader, static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD);
    if (!headers.empty())
        WinHttpAddRequestHeaders(request_.get(), headers.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD);

    certificateFaults_ = 0;
    WinHttpSetStatusCallback(request_.get(), noteCertificateFaults, WINHTTP_CALLBACK_FLAG_SECURE_FAILURE, 0);
    if (!WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                            reinterpret_cast<DWORD_PTR>(&certificateFaults_)))
        return failed(RequestStep::Send);
    if (!WinHttpReceiveResponse(request_.get(), nullptr)) return failed(RequestStep::Receive);
    return RequestStep::Done;
}

ReadFailureKind WinHttpRequest::failureKind() const {
    return failureKindOf(error_, certificateFaults_);
}

bool WinHttpRequest::statusCode(DWORD& status) const {
    DWORD size = sizeof(status);
    return WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
}

bool WinHttpRequest::headerText(DWORD header, std::wstring& value, DWORD longest) const {
    std::wstring buffer(longest + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (!WinHttpQueryHeaders(request_.get(), header, WINHTTP_HEADER_NAME_BY_INDEX, buffer.data(), &size,
                             WINHTTP_NO_HEADER_INDEX))
        return false;
    value.assign(buffer.data(), size / sizeof(wchar_t));
    return true;
}

std::string WinHttpRequest::asciiHeaderText(DWORD header, DWORD longest) const {
    std::wstring wide;
    if (!headerText(header, wide, longest)) return {};
    std::string narrow(wide.size(), '\0');
    std::transform(wide.begin(), wide.end(), narrow.begin(),
                   [](wchar_t unit) { return unit < 0x80 ? static_cast<char>(unit) : '\x7F'; });
    return narrow;
}

Validators WinHttpRequest::validators() const {
    // Anything beyond printable ASCII is refused by the memory that keeps them.
    return {asciiHeaderText(WINHTTP_QUERY_ETAG, kLongestValidator),
            asciiHeaderText(WINHTTP_QUERY_LAST_MODIFIED, kLongestValidator)};
}

std::uint32_t WinHttpRequest::freshSeconds() const {
    return FreshSeconds(asciiHeaderText(WINHTTP_QUERY_CACHE_CONTROL, kLongestCacheControl),
                        asciiHeaderText(WINHTTP_QUERY_AGE));
}

bool WinHttpRequest::contentEncoding(std::wstring& value) const {
    return headerText(WINHTTP_QUERY_CONTENT_ENCODING, value);
}

bool WinHttpRequest::transferEncoding(std::wstring& value) const {
    return headerText(WINHTTP_QUERY_TRANSFER_ENCODING, value);
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
    const auto interrupted = [this](DWORD error) {
        error_ = error;
        return BodyEnd::Interrupted;
    };
    for (;;) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request_.get(), &available)) return interrupted(GetLastError());
        if (available == 0) return BodyEnd::Complete;
        if (received + available > cap) return BodyEnd::TooLarge;
        const DWORD wanted = std::min(available, readLimit);
        const std::size_t start = body.size();
        body.resize(start + wanted);
        DWORD read = 0;
        const BOOL ok = WinHttpReadData(request_.get(), body.data() + start, wanted, &read);
        const DWORD error = ok ? ERROR_WINHTTP_CONNECTION_ERROR : GetLastError();  // no data: the server hung up
        body.resize(start + (ok ? read : 0));
        if (!ok || read == 0) return interrupted(error);
        received += read;
        if (std::chrono::steady_clock::now() >= bodyDeadline_) return BodyEnd::TooSlow;
    }
}

void WinHttpRequest::readEmptyBody() {
    char unexpected = 0;
    DWORD read = 0;
    WinHttpReadData(request_.get(), &unexpected, sizeof unexpected, &read);
}
