#include <windows.h>

#include <algorithm>
#include <vector>

#include "Settings.h"
#include "WideText.h"
#include "net/TrackerOrigin.h"

namespace {

constexpr wchar_t kWindow[] = L"Window";
constexpr wchar_t kHotkeys[] = L"Hotkeys";
constexpr wchar_t kSelection[] = L"Selection";
constexpr wchar_t kServer[] = L"Server";
constexpr DWORD kLastBossBufferUnits = 256;  // so at most 255 characters are read back
constexpr DWORD kBaseUrlBufferUnits = 2048;

// The directory of the running executable, however long: MAX_PATH is not a limit here.
std::wstring executableDirectory() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            const size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
        }
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

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

void writeValue(const wchar_t* section, const wchar_t* key, const std::wstring& value, const std::wstring& path) {
    WritePrivateProfileStringW(section, key, value.c_str(), path.c_str());
}

// The profile functions keep the encoding of the file they find and create a new one in the ANSI
// code page, which would turn a non-ASCII boss id into question marks. A new file therefore starts
// as UTF-16 with its byte-order mark.
void createUnicodeFileIfMissing(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    const unsigned char bom[2] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, bom, sizeof bom, &written, nullptr);
    CloseHandle(file);
}

}  // namespace

Settings::Settings() {
    const std::wstring directory = executableDirectory();
    if (!directory.empty()) path_ = directory + L"\\Brisquel.ini";
}

Settings::Settings(std::wstring iniPath) : path_(std::move(iniPath)) {}

bool Settings::Load() {
    if (path_.empty() || GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) return true;

    Left = readInt(kWindow, L"Left", 100, path_);
    Top = readInt(kWindow, L"Top", 100, path_);
    Right = readInt(kWindow, L"Right", 550, path_);
    Bottom = readInt(kWindow, L"Bottom", 800, path_);
    Opacity = std::clamp(readInt(kWindow, L"Opacity", 75, path_), kMinOpacity, kMaxOpacity);
    TextScale = std::clamp(readInt(kWindow, L"TextScale", 100, path_), kMinTextScale, kMaxTextScale);
    ClickThroughMode = readInt(kWindow, L"ClickThroughMode", 0, path_) != 0;
    ClickThrough = readInt(kHotkeys, L"ClickThrough", 66, path_);
    ClickThroughMods = static_cast<uint32_t>(readInt(kHotkeys, L"ClickThroughMods", 6, path_));
    Visibility = readInt(kHotkeys, L"Visibility", 66, path_);
    VisibilityMods = static_cast<uint32_t>(readInt(kHotkeys, L"VisibilityMods", 2, path_));
    BossMenu = readInt(kHotkeys, L"BossMenu", 65, path_);
    BossMenuMods = static_cast<uint32_t>(readInt(kHotkeys, L"BossMenuMods", 2, path_));

    std::wstring lastBoss = readString(kSelection, L"LastBoss", kLastBossBufferUnits, path_);
    // The 255-unit cut can split a surrogate pair; drop the orphaned half rather than store U+FFFD.
    if (!lastBoss.empty() && lastBoss.back() >= 0xD800 && lastBoss.back() <= 0xDBFF) lastBoss.pop_back();
    if (!lastBoss.empty()) {
        const std::string utf8 = WideToUtf8(lastBoss);
        if (!utf8.empty()) LastBoss = utf8;
    }

    trackerOrigin_ = NormalizeTrackerOrigin(WideToUtf8(readString(kServer, L"BaseUrl", kBaseUrlBufferUnits, path_)))
                         .value_or(std::string());
    return true;
}

bool Settings::Save() {
    // Without a path the profile functions would fall back to the system's win.ini.
    if (path_.empty()) return true;
    createUnicodeFileIfMissing(path_);
    const auto number = [](int32_t value) { return std::to_wstring(value); };
    const auto modifiers = [](uint32_t value) { return std::to_wstring(value); };

    writeValue(kWindow, L"Left", number(Left), path_);
    writeValue(kWindow, L"Top", number(Top), path_);
    writeValue(kWindow, L"Right", number(Right), path_);
    writeValue(kWindow, L"Bottom", number(Bottom), path_);
    writeValue(kWindow, L"Opacity", number(Opacity), path_);
    writeValue(kWindow, L"TextScale", number(TextScale), path_);
    writeValue(kWindow, L"ClickThroughMode", number(ClickThroughMode ? 1 : 0), path_);
    writeValue(kHotkeys, L"ClickThrough", number(ClickThrough), path_);
    writeValue(kHotkeys, L"ClickThroughMods", modifiers(ClickThroughMods), path_);
    writeValue(kHotkeys, L"Visibility", number(Visibility), path_);
    writeValue(kHotkeys, L"VisibilityMods", modifiers(VisibilityMods), path_);
    writeValue(kHotkeys, L"BossMenu", number(BossMenu), path_);
    writeValue(kHotkeys, L"BossMenuMods", modifiers(BossMenuMods), path_);
    if (!LastBoss.empty()) {
        const std::wstring wide = Utf8ToWide(LastBoss);
        if (!wide.empty()) writeValue(kSelection, L"LastBoss", wide, path_);
    }
    return true;
}

void Settings::SetOpacity(int32_t percent) {
    Opacity = std::clamp(percent, kMinOpacity, kMaxOpacity);
}

void Settings::SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Left = left;
    Top = top;
    Right = right;
    Bottom = bottom;
}
