#pragma once

#include <winsock2.h>

#include <nlohmann/json.hpp>
#include <string>

#include "support/Fixtures.h"

// Client of tools/http_fixture.py over a plain socket, so that setting up a test never goes through
// the code under test.
class HttpFixture {
public:
    HttpFixture() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~HttpFixture() { WSACleanup(); }
    HttpFixture(const HttpFixture&) = delete;
    HttpFixture& operator=(const HttpFixture&) = delete;

    // Registers `spec` (see the fixture) and returns a base URL that it answers.
    std::string route(const nlohmann::json& spec, std::string name = {}) {
        if (name.empty()) name = "t" + std::to_string(++routes_);
        const std::string body = spec.dump();
        exchange("PUT /_route/" + name + " HTTP/1.0\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" +
                 body);
        return origin() + "/r/" + name;
    }

    // Every request that the route behind `baseUrl` received: {"line": ..., "headers": [[name, value], ...]}.
    nlohmann::json requests(const std::string& baseUrl) {
        const std::string name = baseUrl.substr(baseUrl.rfind('/') + 1);
        return nlohmann::json::parse(exchange("GET /_log/" + name + " HTTP/1.0\r\n\r\n"));
    }

    static std::string origin() { return fixtureOrigin("HTTP"); }

private:
    // Sends one request and returns the response body.
    static std::string exchange(const std::string& request) {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(fixturePort("HTTP")));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        std::string response;
        if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
            send(s, request.data(), static_cast<int>(request.size()), 0);
            char buffer[4096];
            for (int n; (n = recv(s, buffer, sizeof(buffer), 0)) > 0;) response.append(buffer, n);
        }
        closesocket(s);
        const std::size_t bodyStart = response.find("\r\n\r\n");
        return bodyStart == std::string::npos ? std::string() : response.substr(bodyStart + 4);
    }

    static inline int routes_ = 0;
};

// The value of header `name` in one logged request, or "" when absent.
inline std::string loggedHeader(const nlohmann::json& request, const std::string& name) {
    for (const auto& header : request["headers"])
        if (_stricmp(header[0].get<std::string>().c_str(), name.c_str()) == 0) return header[1];
    return {};
}
