#include "SettingsFileKey.h"

namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

wchar_t folded(wchar_t unit) {
    return unit == L'/' ? L'\\' : unit;
}

}  // namespace

uint64_t SettingsFileKey(const std::wstring& path) {
    uint64_t hash = kFnvOffset;
    for (const wchar_t unit : path) {
        const auto value = static_cast<uint32_t>(folded(unit));
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (value >> shift) & 0xFF;
            hash *= kFnvPrime;
        }
    }
    return hash;
}
