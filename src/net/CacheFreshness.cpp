#include "net/CacheFreshness.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

constexpr std::uint32_t kLongestDelta = 0x7FFFFFFF;  // larger seconds count as this many

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view text, std::string_view name) {
    if (text.size() != name.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != name[i]) return false;
    return true;
}

// Seconds written as digits only, capped rather than overflowing.
std::optional<std::uint32_t> deltaSeconds(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::uint64_t seconds = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        seconds = std::min<std::uint64_t>(seconds * 10 + static_cast<unsigned>(c - '0'), kLongestDelta);
    }
    return static_cast<std::uint32_t>(seconds);
}

}  // namespace

std::uint32_t FreshSeconds(std::string_view cacheControl, std::string_view age) {
    std::optional<std::uint32_t> maxAge;
    bool maxAgeSeen = false;
    while (!cacheControl.empty()) {
        const std::size_t comma = cacheControl.find(',');
        const std::string_view directive = trimmed(cacheControl.substr(0, comma));
        cacheControl.remove_prefix(comma == std::string_view::npos ? cacheControl.size() : comma + 1);
        const std::size_t equals = directive.find('=');
        const std::string_view name = trimmed(directive.substr(0, equals));
        if (sameName(name, "no-cache") || sameName(name, "no-store")) return 0;
        if (!sameName(name, "max-age")) continue;
        if (maxAgeSeen) return 0;
        maxAgeSeen = true;
        std::string_view value =
            equals == std::string_view::npos ? std::string_view() : trimmed(directive.substr(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        maxAge = deltaSeconds(value);
    }
    if (!maxAge) return 0;
    // A list of ages counts by its first.
    const std::uint32_t aged = deltaSeconds(trimmed(age.substr(0, age.find(',')))).value_or(0);
    return *maxAge > aged ? *maxAge - aged : 0;
}
