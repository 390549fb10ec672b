#include "net/HttpConnection_win.h"

RequestStep HttpConnection::open(const RequestProfile& profile, const std::wstring& host, INTERNET_PORT port,
                                 bool secure) {
    if (isOpenFor(profile, host, port, secure)) return RequestStep::Done;
    close();
    session_.reset(WinHttpOpen(profile.agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                               WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session_) return RequestStep::OpenSession;
    const int timeout = static_cast<int>(profile.timeoutMs);
    WinHttpSetTimeouts(session_.get(), timeout, timeout, timeout, timeout);
    // The wait for the response headers has an option of its own (90 s on Windows, unbounded on Wine): a
    // server that takes the request and never answers would otherwise hold the calling worker that long.
    DWORD headersTimeout = profile.timeoutMs;
    WinHttpSetOption(session_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &headersTimeout, sizeof headersTimeout);

    connection_.reset(WinHttpConnect(session_.get(), host.c_str(), port, 0));
    if (!connection_) {
        close();
        return RequestStep::Connect;
    }
    agent_ = profile.agent;
    timeoutMs_ = profile.timeoutMs;
    host_ = host;
    port_ = port;
    secure_ = secure;
    return RequestStep::Done;
}

bool HttpConnection::isOpenFor(const RequestProfile& profile, const std::wstring& host, INTERNET_PORT port,
                               bool secure) const {
    return connection_ && agent_ == profile.agent && timeoutMs_ == profile.timeoutMs && host_ == host &&
           port_ == port && secure_ == secure;
}

void HttpConnection::close() {
    connection_.reset();
    session_.reset();
}
