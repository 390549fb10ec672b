#pragma once

#include <winsock2.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/Fixtures.h"

// One exchange with a local fixture over a plain socket, so that setting up a test never goes through the code
// under test: all a TCP fixture sends before it closes, or the one datagram a UDP fixture answers with.
inline std::string fixtureExchange(const char* fixture, int type, const std::string& message) {
    static WSADATA data;
    [[maybe_unused]] static const int winsock = WSAStartup(MAKEWORD(2, 2), &data);
    struct Socket {
        SOCKET handle;
        ~Socket() { closesocket(handle); }
    } s{socket(AF_INET, type, 0)};
    const DWORD timeout = 5000;  // a dead fixture fails the test instead of hanging it
    setsockopt(s.handle, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    const sockaddr_in address{AF_INET, htons(static_cast<u_short>(fixturePort(fixture))), {{{127, 0, 0, 1}}}, {}};
    std::string reply;
    if (connect(s.handle, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return reply;
    send(s.handle, message.data(), static_cast<int>(message.size()), 0);
    char buffer[4096];
    for (int n; (type == SOCK_STREAM || reply.empty()) && (n = recv(s.handle, buffer, sizeof buffer, 0)) > 0;)
        reply.append(buffer, n);
    return reply;
}

// The body of the answer to `request` ("GET /path") with `body`, sent as HTTP/1.0 to tests/fixtures/http_fixture.py
// or another local HTTP fixture.
inline std::string fixtureRequest(const std::string& request, const std::string& body = {},
                                  const char* fixture = "HTTP") {
    const std::string response =
        fixtureExchange(fixture, SOCK_STREAM,
                        request + " HTTP/1.0\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    const std::size_t bodyStart = response.find("\r\n\r\n");
    return bodyStart == std::string::npos ? std::string() : response.substr(bodyStart + 4);
}

// Registers a route that gives `answer` (its fields are listed in the fixture) and returns its base URL.
inline std::string fixtureRoute(const nlohmann::json& answer, std::string name = {}) {
    static int routes = 0;
    if (name.empty()) name = "t" + std::to_string(++routes);
    fixtureRequest("PUT /_route/" + name, answer.dump());
    return fixtureOrigin("HTTP") + "/r/" + name;
}

// Every request the route behind `baseUrl` received: {"line", "headers": {lower-case name: value}, "body_bytes"}.
inline nlohmann::json fixtureLog(const std::string& baseUrl) {
    return nlohmann::json::parse(fixtureRequest("GET /_log/" + baseUrl.substr(baseUrl.rfind('/') + 1)));
}

// The request line that a GET of `url` on the fixture logs.
inline std::string requestLine(const std::string& url) {
    return "GET " + url.substr(fixtureOrigin("HTTP").size()) + " HTTP/1.1";
}
