#include <windows.h>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "Settings.h"
#include "WatchList.h"
#include "base/ScopedHandles_win.h"
#include "base/WideText.h"
#include "net/TrackerOrigin.h"

namespace {

constexpr wchar_t kServer[] = L"Server";
constexpr DWORD kBaseUrlBufferUnits = 2048;
constexpr wchar_t kAlerts[] = L"Alerts";
constexpr wchar_t kWatch[] = L"Watch";
// Room for a full watch list of the longest ids, each byte escaped, and the commas between them.
constexpr DWORD kWatchBufferUnits = Settings::kMostWatchedBosses * (Settings::kLongestLastBoss * 3 + 1) + 1;

std::wstring readString(const wchar_t* section, const wchar_t* key, DWORD bufferUnits, const std::wstring& path) {
    std::vector<wchar_t> buffer(bufferUnits, L'\0');
    const DWORD length = GetPrivateProfileStringW(section, key, L"", buffer.data(), bufferUnits, path.c_str());
    return std::wstring(buffer.data(), std::min<DWORD>(length, bufferUnits - 1));
}

// GetPrivateProfileIntW reads a negative number as such, which saved coordinates on a monitor
// left of or above the primary one rely on.
int32_t readInt(const wchar_t* section, const wchar_t* key, int32_t readDefault, const std::wstring& path) {
    return static_cast<int32_t>(GetPrivateProfileIntW(section, key, readDefault, path.c_str()));
}

bool writeValue(const wchar_t* section, const wchar_t* key, const std::wstring& value, const std::wstring& path) {
    return WritePrivateProfileStringW(section, key, value.c_str(), path.c_str()) != FALSE;
}

// The profile functions keep the encoding of the file they find and create a new one in the ANSI
// code page, which would turn a non-ASCII boss id into question marks. A new file therefore starts
// as UTF-16 with its byte-order mark.
bool createUnicodeFile(const std::wstring& path) {
    const UniqueHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return false;
    const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    return WriteFile(file.get(), bom, sizeof bom, &written, nullptr) && written == sizeof bom;
}

bool exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// In the same folder, so that swapping it in is a rename on one volume.
std::wstring copyBeside(const std::wstring& path) {
    return path + L".saving";
}

// The profile functions cut a longer path at MAX_PATH and would write the keys into whatever file the rest names.
bool profileReaches(const std::wstring& path) {
    return !path.empty() && path.size() < MAX_PATH;
}

// The copy starts as the file's bytes, so that its encoding, order and every key Brisquel does not own survive.
bool startCopy(const std::wstring& path, const std::wstring& copy) {
    if (!exists(path)) return createUnicodeFile(copy);
    return CopyFileW(path.c_str(), copy.c_str(), FALSE) != FALSE;
}

// A read-only file copies to a read-only copy, which DeleteFileW would refuse.
void discard(const std::wstring& copy) {
    SetFileAttributesW(copy.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(copy.c_str());
}

// Signed values as "%d", modifier sets as "%u", flags as 1 or 0.
std::wstring valueText(int32_t value) {
    return std::to_wstring(value);
}
std::wstring valueText(uint32_t value) {
    return std::to_wstring(value);
}
std::wstring valueText(bool value) {
    return value ? L"1" : L"0";
}

// The profile functions would write a line break as it stands, starting a new key or section of the file.
bool holdsControlCharacter(const std::wstring& text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t unit) { return unit < 0x20 || unit == 0x7F; });
}

// A text key as read back: at most key.highest units, empty when absent.
std::string readText(const SettingKey& key, const std::wstring& path) {
    std::wstring wide = readString(key.section, key.name, static_cast<DWORD>(key.highest) + 1, path);
    // The cut can split a surrogate pair; drop the orphaned half rather than store U+FFFD.
    if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();
    return wide.empty() ? std::string() : WideToUtf8(wide);
}

std::string readTrackerOrigin(const std::wstring& path) {
    return NormalizeTrackerOrigin(WideToUtf8(readString(kServer, L"BaseUrl", kBaseUrlBufferUnits, path)))
        .value_or(std::string());
}

}  // namespace

bool Settings::Load() {
    if (path_.empty() || !exists(path_)) return true;
    for (const SettingKey& key : settingKeys()) {
        std::visit(
            [&](auto member) {
                using Value = std::decay_t<decltype(this->*member)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    const std::string text = readText(key, path_);
                    if (!text.empty()) this->*member = text;
                } else if constexpr (std::is_same_v<Value, bool>) {
                    this->*member = readInt(key.section, key.name, key.defaultValue, path_) != 0;
                } else {
                    this->*member =
                        static_cast<Value>(key.clamp(readInt(key.section, key.name, key.defaultValue, path_)));
                }
            },
            key.field);
    }
    RestoreModifierlessHotkeys();
    windowRectSaved_ = !readString(L"Window", L"Left", 16, path_).empty();
    trackerOrigin_ = readTrackerOrigin(path_);
    WatchedBosses = DecodeWatchList(WideToUtf8(readString(kAlerts, kWatch, kWatchBufferUnits, path_)));
    return true;
}

void Settings::PreferTrackerOriginOf(const std::wstring& iniPath) {
    if (iniPath.empty() || !exists(iniPath)) return;
    std::string origin = readTrackerOrigin(iniPath);
    if (!origin.empty()) trackerOrigin_ = std::move(origin);
}

bool Settings::WriteKeys(const std::wstring& file) const {
    for (const SettingKey& key : settingKeys()) {
        const bool written = std::visit(
            [&](auto member) {
                const auto& value = this->*member;
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    const std::wstring wide = Utf8ToWide(value);
                    return wide.empty() || holdsControlCharacter(wide) || writeValue(key.section, key.name, wide, file);
                } else {
                    return writeValue(key.section, key.name, valueText(value), file);
                }
            },
            key.field);
        if (!written) return false;
    }
    // Written when empty too: unwatching the last boss must clear the file's list.
    return writeValue(kAlerts, kWatch, Utf8ToWide(EncodeWatchList(WatchedBosses)), file);
}

bool Settings::Save() {
    // Without a path the profile functions would fall back to the system's win.ini.
    if (path_.empty()) return false;
    const std::wstring copy = copyBeside(path_);
    const bool written = profileReaches(copy) && startCopy(path_, copy) && WriteKeys(copy);
    // Flushes the copy and drops it from the profile cache: the next save's copy has the same name and, copied
    // with the file's time, could pass for the cached one.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy.c_str());
    if (written && MoveFileExW(copy.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    discard(copy);
    return false;
}

bool Settings::Writable(const std::wstring& iniPath) {
    if (iniPath.empty()) return false;
    // A save needs a new file beside this one, and replaces this one.
    const std::wstring copy = copyBeside(iniPath);
    if (!profileReaches(copy) || !createUnicodeFile(copy)) return false;
    discard(copy);
    if (!exists(iniPath)) return true;
    const UniqueHandle file(CreateFileW(iniPath.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.get() != INVALID_HANDLE_VALUE;
}
