#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The longest Cache-Control value read; a longer one is taken as saying nothing.
constexpr std::size_t kLongestCacheControl = 255;

// How many more seconds an answer stays as it is by its own word: its Cache-Control max-age less its Age. Zero when
// it says nothing of it, forbids reuse (no-cache, no-store), or says it unclearly (max-age twice, or not a number),
// for then the only safe reading is that it may change at once. An Age that is not a number is ignored.
std::uint32_t FreshSeconds(std::string_view cacheControl, std::string_view age);
