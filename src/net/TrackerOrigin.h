#pragma once

#include <optional>
#include <string>

// Origin of the tracker the overlay reads when the settings name no other. A reserved example
// domain: the real deployment, or the demo tracker in tools/, is chosen by the caller.
constexpr const char kDefaultTrackerOrigin[] = "https://tracker.brisquel.example";

// Accepts "http://host[:port]" or "https://host[:port]" (one trailing slash allowed and dropped);
// anything with a path, query, fragment, credentials, whitespace or a bad port is rejected.
std::optional<std::string> NormalizeTrackerOrigin(const std::string& text);
