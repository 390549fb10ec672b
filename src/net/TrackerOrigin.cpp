#include "net/TrackerOrigin.h"

#include <cctype>

namespace {

// The longest name DNS can carry; the platform's URL parser takes no longer one either.
constexpr size_t kLongestHost = 253;

bool isHostChar(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_';
}

bool isValidPort(const std::string& port) {
    if (port.empty() || port.size() > 5) return false;
    for (unsigned char c : port) {
        if (!std::isdigit(c)) return false;
    }
    const long value = std::stol(port);
    return value >= 1 && value <= 65535;
}

// An IPv6 literal in brackets: hex digits, colons and dots only.
bool isValidBracketedHost(const std::string& host) {
    if (host.size() < 3 || host.front() != '[' || host.back() != ']') return false;
    for (size_t i = 1; i + 1 < host.size(); ++i) {
        const unsigned char c = host[i];
        if (!std::isxdigit(c) && c != ':' && c != '.') return false;
    }
    return true;
}

// The colon that starts the port of "host[:port]", or npos; an IPv6 literal's colons lie inside its brackets.
size_t portColon(const std::string& authority) {
    const size_t colon = authority.rfind(':');
    const size_t bracket = authority.rfind(']');
    return bracket == std::string::npos || colon > bracket ? colon : std::string::npos;
}

}  // namespace

std::optional<std::string> NormalizeTrackerOrigin(const std::string& text) {
    std::string scheme;
    for (const char* candidate : {"http://", "https://"}) {
        if (text.compare(0, std::char_traits<char>::length(candidate), candidate) == 0) scheme = candidate;
    }
    if (scheme.empty()) return std::nullopt;

    std::string authority = text.substr(scheme.size());
    if (!authority.empty() && authority.back() == '/') authority.pop_back();
    if (authority.empty()) return std::nullopt;

    std::string host = authority;
    std::string port;
    const size_t colon = portColon(authority);
    if (colon != std::string::npos) {
        host = authority.substr(0, colon);
        port = authority.substr(colon + 1);
        if (!isValidPort(port)) return std::nullopt;
    }
    if (host.empty() || host.size() > kLongestHost) return std::nullopt;
    if (host.front() == '[') {
        if (!isValidBracketedHost(host)) return std::nullopt;
    } else {
        for (unsigned char c : host) {
            if (!isHostChar(c)) return std::nullopt;
        }
    }
    return scheme + authority;
}

std::string TrackerHost(const std::string& origin) {
    const size_t start = origin.find("://");
    if (start == std::string::npos) return {};
    const std::string authority = origin.substr(start + 3);
    return authority.substr(0, portColon(authority));
}
