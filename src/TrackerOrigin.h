#pragma once

#include <optional>
#include <string>

// Accepts "http://host[:port]" or "https://host[:port]" (one trailing slash allowed and dropped);
// anything with a path, query, fragment, credentials, whitespace or a bad port is rejected.
std::optional<std::string> NormalizeTrackerOrigin(const std::string& text);
