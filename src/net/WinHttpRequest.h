#pragma once

#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

constexpr DWORD kHttpStatusOk = 200;

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// How one kind of request presents itself and how long each phase may take.
struct RequestProfile {
    const wchar_t* agent;
    DWORD timeoutMs;
    const wchar_t* extraHeader;  // nullptr for none
};

// The phase at which a request failed.
enum class RequestStep { Done, OpenSession, Connect, OpenRequest, Send, Receive };

// How a body read ended.
enum class BodyEnd {
    Complete,     // the server announced no more data
    Interrupted,  // a query or read failed, a read returned nothing, or the body took too long
    TooLarge,     // the next announced chunk would pass the cap
};

// One synchronous WinHTTP GET. The handles close in reverse order of opening on every path.
class WinHttpRequest {
public:
    // Splits the URL into host, port and path (the query stays part of the path).
    bool crackUrl(const std::wstring& url);
    const std::wstring& host() const { return host_; }
    const std::wstring& path() const { return path_; }

    // Opens session, connection and request, sends the request and waits for the response headers.
    // From then on the body has kBodyTimeouts times the profile's time-out to arrive.
    RequestStep send(const RequestProfile& profile);

    bool statusCode(DWORD& status) const;
    bool contentEncoding(std::wstring& value) const;
    bool contentLength(uint64_t& length) const;

    // Appends the body to `body`, at most `readLimit` bytes per read, as long as the announced
    // chunks stay within `cap` bytes in all and the body time (see send) lasts. `received` counts the
    // bytes appended.
    BodyEnd readBody(std::string& body, uint64_t cap, DWORD readLimit, uint64_t& received);

private:
    // A server that trickles its body a byte at a time never lets a single read time out; this bounds
    // the whole body instead.
    static constexpr int kBodyTimeouts = 4;

    // A response header of up to 63 characters; false when it is absent or longer.
    bool headerText(DWORD header, std::wstring& value) const;

    std::wstring host_;
    std::wstring path_;
    INTERNET_PORT port_ = 0;
    bool secure_ = false;
    std::chrono::steady_clock::time_point bodyDeadline_;
    InternetHandle session_;
    InternetHandle connection_;
    InternetHandle request_;
};
