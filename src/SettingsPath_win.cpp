#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "Settings.h"
#include "SettingsPath.h"
#include "base/ExecutablePath_win.h"

namespace {

constexpr wchar_t kFileName[] = L"Brisquel.ini";

std::wstring roamingAppData() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetEnvironmentVariableW(L"APPDATA", buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length > 0 && length < buffer.size()) return std::wstring(buffer.data(), length);
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known))) folder = known;
    CoTaskMemFree(known);
    return folder;
}

std::wstring folderOf(const std::wstring& file) {
    const size_t slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

bool exists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The notices begin alike: the program's folder is the one the player looks in first.
std::wstring cannotWriteBesideProgram(const SettingsPlaces& places) {
    return L"Brisquel cannot write its settings beside the program, in " + folderOf(places.besideProgram);
}

SettingsPath inMemory(const SettingsPlaces& places, const std::wstring& appDataFile) {
    return {places, exists(appDataFile) ? appDataFile : places.besideProgram, false,
            cannotWriteBesideProgram(places) + L", nor in " + places.appDataFolder +
                L". They cannot be saved: changes last until Brisquel closes."};
}

SettingsPath inAppData(const SettingsPlaces& places) {
    if (places.appDataFolder.empty()) return inMemory(places, {});
    const std::wstring file = places.appDataFolder + L"\\" + kFileName;
    CreateDirectoryW(places.appDataFolder.c_str(), nullptr);
    if (!exists(file) && exists(places.besideProgram) && CopyFileW(places.besideProgram.c_str(), file.c_str(), TRUE)) {
        // A read-only file beside the program would pass its attribute on to the copy.
        SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (!Settings::Writable(file)) return inMemory(places, file);
    return {places, file, true,
            cannotWriteBesideProgram(places) + L". They are kept in " + places.appDataFolder + L" instead."};
}

}  // namespace

SettingsPlaces SettingsPlaces::OfThisProgram() {
    const std::wstring folder = folderOf(ExecutablePath());
    const std::wstring appData = roamingAppData();
    return {folder.empty() ? std::wstring() : folder + L"\\" + kFileName,
            appData.empty() ? std::wstring() : appData + L"\\Brisquel"};
}

SettingsPath ResolveSettingsPath(const SettingsPlaces& places) {
    if (Settings::Writable(places.besideProgram)) return {places, places.besideProgram, true, {}};
    return inAppData(places);
}

SettingsPath ResolveSettingsPath() {
    return ResolveSettingsPath(SettingsPlaces::OfThisProgram());
}

SettingsPath SettingsPathAfterFailedSave(const SettingsPath& failed) {
    if (failed.file == failed.places.besideProgram) return inAppData(failed.places);
    return inMemory(failed.places, failed.file);
}
