#include "WatchList.h"

#include <algorithm>
#include <cstdint>

#include "Settings.h"
#include "base/PercentEncoding.h"

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// C0 and C1 controls and DEL: a line break in an id would start a new key wherever the id is written.
bool controlCodePoint(uint32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}

// Well-formed UTF-8 without overlong forms, surrogates or controls.
bool readableId(const std::string& id) {
    if (id.empty() || id.size() > static_cast<size_t>(Settings::kLongestLastBoss)) return false;
    for (size_t i = 0; i < id.size();) {
        const auto lead = static_cast<unsigned char>(id[i]);
        const int length = lead < 0x80                    ? 1
                           : lead >= 0xC2 && lead <= 0xDF ? 2
                           : lead >= 0xE0 && lead <= 0xEF ? 3
                           : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                          : 0;
        if (length == 0 || i + static_cast<size_t>(length) > id.size()) return false;
        uint32_t cp = length == 1 ? lead : lead & (0x7F >> length);
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(id[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || controlCodePoint(cp)) {
            return false;
        }
        i += static_cast<size_t>(length);
    }
    return true;
}

std::optional<std::string> decodeElement(const std::string& element) {
    std::string id;
    for (size_t i = 0; i < element.size(); ++i) {
        if (element[i] != '%') {
            id += element[i];
            continue;
        }
        const int high = i + 2 < element.size() ? hexValue(element[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(element[i + 2]) : -1;
        if (low < 0) return std::nullopt;
        id += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (!readableId(id)) return std::nullopt;
    return id;
}

}  // namespace

std::string EncodeWatchList(const std::vector<std::string>& bossIds) {
    std::string value;
    for (const std::string& id : bossIds) {
        if (!readableId(id)) continue;
        if (!value.empty()) value += ',';
        value += percentEncode(id);
    }
    return value;
}

std::vector<std::string> DecodeWatchList(const std::string& value) {
    std::vector<std::string> ids;
    size_t start = 0;
    while (start <= value.size() && ids.size() < Settings::kMostWatchedBosses) {
        const size_t end = std::min(value.find(',', start), value.size());
        const std::optional<std::string> id = decodeElement(value.substr(start, end - start));
        if (id && std::find(ids.begin(), ids.end(), *id) == ids.end()) ids.push_back(*id);
        start = end + 1;
    }
    return ids;
}

std::optional<std::vector<std::string>> ToggledWatch(const std::vector<std::string>& bossIds,
                                                     const std::string& bossId) {
    std::vector<std::string> toggled = bossIds;
    const auto found = std::find(toggled.begin(), toggled.end(), bossId);
    if (found != toggled.end()) {
        toggled.erase(found);
    } else if (toggled.size() >= Settings::kMostWatchedBosses) {
        return std::nullopt;
    } else {
        toggled.push_back(bossId);
    }
    return toggled;
}
