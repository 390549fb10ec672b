#pragma once

#include <winsock2.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/Fixtures.h"

// Client of tools/http_fixture.py (or another local fixture) over a plain socket, so that setting up a test
// never goes through the code under test. Sends one request and returns the response body.
inline std::string fixtureExchange(const std::string& request, const char* fixture = "HTTP") {
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(fixturePort(fixture)));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
        send(s, request.data(), static_cast<int>(request.size()), 0);
        char buffer[4096];
        for (int n; (n = recv(s, buffer, sizeof(buffer), 0)) > 0;) response.append(buffer, n);
    }
    closesocket(s);
    WSACleanup();
    const std::size_t bodyStart = response.find("\r\n\r\n");
    return bodyStart == std::string::npos ? std::string() : response.substr(bodyStart + 4);
}

// Registers a route that gives `answer` (its fields are listed in the fixture) and returns its base URL.
inline std::string fixtureRoute(const nlohmann::json& answer, std::string name = {}) {
    static int routes = 0;
    if (name.empty()) name = "t" + std::to_string(++routes);
    const std::string body = answer.dump();
    fixtureExchange("PUT /_route/" + name + " HTTP/1.0\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                    body);
    return fixtureOrigin("HTTP") + "/r/" + name;
}

// Every request the route behind `baseUrl` received: {"line", "headers": {lower-case name: value}, "body_bytes"}.
inline nlohmann::json fixtureLog(const std::string& baseUrl) {
    const std::string name = baseUrl.substr(baseUrl.rfind('/') + 1);
    return nlohmann::json::parse(fixtureExchange("GET /_log/" + name + " HTTP/1.0\r\n\r\n"));
}

// The request line that a GET of `url` on the fixture logs.
inline std::string requestLine(const std::string& url) {
    return "GET " + url.substr(fixtureOrigin("HTTP").size()) + " HTTP/1.1";
}
