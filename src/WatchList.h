#pragma once

#include <optional>
#include <string>
#include <vector>

// The watch list in the settings file, as one value: each boss id's UTF-8 bytes percent-encoded but for the
// unreserved ASCII ones (A-Z a-z 0-9 - . _ ~), the ids joined by ','. Any id comes back whole, commas, spaces and
// non-ASCII letters included, and the value never holds a character the file would read as structure.
// An id that DecodeWatchList would refuse is left out.
std::string EncodeWatchList(const std::vector<std::string>& bossIds);

// The ids of an encoded value, in order. An element that does not decode to a readable id (a bad escape, empty,
// a control character, invalid UTF-8, longer than Settings::kLongestLastBoss bytes) is skipped, and so is a
// repeat; reading stops at Settings::kMostWatchedBosses ids.
std::vector<std::string> DecodeWatchList(const std::string& value);

// The list with `bossId` added at its end, or taken out when it is there; nothing when it is full.
std::optional<std::vector<std::string>> ToggledWatch(const std::vector<std::string>& bossIds,
                                                     const std::string& bossId);
