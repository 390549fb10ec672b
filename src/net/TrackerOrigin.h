#pragma once

#include <optional>
#include <string>

// Origin of the tracker the overlay reads when the settings name no other. A reserved example
// domain: the real deployment, or the demo tracker in tools/, is chosen by the caller.
constexpr const char kDefaultTrackerOrigin[] = "https://tracker.brisquel.example";

// Accepts "http://host[:port]" or "https://host[:port]" (one trailing slash allowed and dropped);
// anything with a path, query, fragment, credentials, whitespace, a bad port or a host over 253 characters
// is rejected.
std::optional<std::string> NormalizeTrackerOrigin(const std::string& text);

// The host of an origin that NormalizeTrackerOrigin accepted, as written there: "tracker.example.org" of
// "https://tracker.example.org:8443", "[::1]" of "http://[::1]:8080".
std::string TrackerHost(const std::string& origin);
