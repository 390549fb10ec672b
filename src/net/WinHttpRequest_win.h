#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "net/AnswerMemory.h"
#include "net/HttpConnection_win.h"
#include "net/ReadFailure.h"

constexpr DWORD kHttpStatusOk = 200;

// How a body read ended.
enum class BodyEnd {
    Complete,     // the server announced no more data
    Interrupted,  // a query or read failed, or a read returned nothing
    TooSlow,      // the body took longer than its time (see WinHttpRequest::send)
    TooLarge,     // the next announced chunk would pass the cap
};

// One synchronous WinHTTP GET on a kept connection. The request handle closes on every path, before
// the connection's.
class WinHttpRequest {
public:
    // Splits the URL into host, port and path (the query stays part of the path).
    bool crackUrl(const std::wstring& url);
    const std::wstring& host() const { return host_; }
    const std::wstring& path() const { return path_; }

    // Opens the connection if needed and the request, sends the request and waits for the response
    // headers. From then on the body has kBodyTimeouts times the profile's time-out to arrive. A failed
    // request closes the connection. `headers` are further request header lines, each ending in CR LF.
    RequestStep send(HttpConnection& connection, const RequestProfile& profile, const std::wstring& headers = {});
    // Why send failed, or why readBody was interrupted.
    ReadFailureKind failureKind() const;

    bool statusCode(DWORD& status) const;
    bool contentEncoding(std::wstring& value) const;
    bool transferEncoding(std::wstring& value) const;
    bool contentLength(uint64_t& length) const;
    // ETag and Last-Modified of up to kLongestValidator characters; longer or absent ones read as empty.
    Validators validators() const;
    // How many more seconds the answer says it stays as it is (Cache-Control and Age); 0 when it says nothing.
    std::uint32_t freshSeconds() const;

    // Appends the body to `body`, at most `readLimit` bytes per read, as long as the announced
    // chunks stay within `cap` bytes in all and the body time (see send) lasts. `received` counts the
    // bytes appended.
    BodyEnd readBody(std::string& body, uint64_t cap, DWORD readLimit, uint64_t& received);
    // Reads to the end of a body that has none, as a 304's: only a read that reaches the end hands the
    // connection back to be kept, else it closes with the request and the next request opens another.
    void readEmptyBody();

private:
    // A server that trickles its body a byte at a time never lets a single read time out; this bounds
    // the whole body instead.
    static constexpr int kBodyTimeouts = 4;
    // Enough for the headers read here by default (a coding, a length, an age).
    static constexpr DWORD kLongestHeader = 63;

    // Leaves the platform's error in error_ when it fails.
    RequestStep sendOnce(HttpConnection& connection, const RequestProfile& profile, const std::wstring& headers);
    // A response header of up to `longest` characters; false when it is absent or longer.
    bool headerText(DWORD header, std::wstring& value, DWORD longest = kLongestHeader) const;
    // The same as bytes; a character beyond ASCII reads as DEL, which no header value this client takes holds.
    std::string asciiHeaderText(DWORD header, DWORD longest = kLongestHeader) const;

    std::wstring host_;
    std::wstring path_;
    INTERNET_PORT port_ = 0;
    bool secure_ = false;
    std::chrono::steady_clock::time_point bodyDeadline_;
    DWORD error_ = 0;
    DWORD certificateFaults_ = 0;  // WINHTTP_CALLBACK_STATUS_FLAG_* of a refused certificate
    InternetHandle request_;
};
