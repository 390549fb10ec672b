#pragma once

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <string>

// How one kind of request presents itself and how long each phase may take.
struct RequestProfile {
    const wchar_t* agent;
    DWORD timeoutMs;
    const wchar_t* extraHeader;  // nullptr for none
};

// The phase at which a request failed.
enum class RequestStep { Done, OpenSession, Connect, OpenRequest, Send, Receive };

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// A WinHTTP session and connection to one origin, kept from one request to the next so that the
// server's keep-alive and TLS session reuse apply. Belongs to one thread. Opening it for another
// origin or another agent or time-out closes the old handles first.
class HttpConnection {
public:
    // Done with the connection open, or the step (OpenSession, Connect) that failed.
    RequestStep open(const RequestProfile& profile, const std::wstring& host, INTERNET_PORT port, bool secure);
    HINTERNET handle() const { return connection_.get(); }

    void close();

private:
    bool isOpenFor(const RequestProfile& profile, const std::wstring& host, INTERNET_PORT port, bool secure) const;

    std::wstring agent_;
    DWORD timeoutMs_ = 0;
    std::wstring host_;
    INTERNET_PORT port_ = 0;
    bool secure_ = false;
    InternetHandle session_;
    InternetHandle connection_;
};
