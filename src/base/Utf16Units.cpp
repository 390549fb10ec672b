#include "base/Utf16Units.h"

namespace {

bool continuesCharacter(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// A four-byte sequence lies outside the Basic Multilingual Plane and takes a surrogate pair.
std::size_t unitsOfLead(unsigned char byte) {
    return byte >= 0xF0 ? 2 : 1;
}

}  // namespace

std::size_t utf16Units(const std::string& utf8) {
    std::size_t units = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (!continuesCharacter(byte)) units += unitsOfLead(byte);
    }
    return units;
}

std::string cutToUtf16Units(const std::string& utf8, std::size_t units) {
    std::size_t used = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (continuesCharacter(byte)) continue;
        used += unitsOfLead(byte);
        if (used > units) return utf8.substr(0, i);
    }
    return utf8;
}
