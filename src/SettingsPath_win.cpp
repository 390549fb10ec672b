#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "Settings.h"
#include "SettingsPath.h"
#include "base/ExecutablePath_win.h"
#include "base/ScopedHandles_win.h"

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

std::wstring appDataFile(const SettingsPlaces& places) {
    return places.appDataFolder.empty() ? std::wstring() : places.appDataFolder + L"\\" + kFileName;
}

std::wstring fullPath(const std::wstring& path) {
    const DWORD units = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    std::wstring full(units, L'\0');
    const DWORD length = units ? GetFullPathNameW(path.c_str(), units, full.data(), nullptr) : 0;
    full.resize(length < units ? length : 0);
    return full.empty() ? path : full;
}

bool identityOf(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    // No access asked: a program holding the file without sharing does not keep it from being named.
    const UniqueHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.get() != INVALID_HANDLE_VALUE && GetFileInformationByHandle(file.get(), &info);
}

// Two spellings of one file (a drive letter and a mapped path, case, "..") are one place. Files that exist are
// compared by volume and file index; others by their full paths, with case folded as the file system does.
bool sameFile(const std::wstring& a, const std::wstring& b) {
    if (a.empty() || b.empty()) return false;
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    if (identityOf(a, first) && identityOf(b, second)) {
        return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    }
    const std::wstring fullA = fullPath(a), fullB = fullPath(b);
    return CompareStringOrdinal(fullA.c_str(), static_cast<int>(fullA.size()), fullB.c_str(),
                                static_cast<int>(fullB.size()), TRUE) == CSTR_EQUAL;
}

// The notices begin alike: the program's folder is the one the player looks in first.
std::wstring cannotWriteBesideProgram(const SettingsPlaces& places) {
    return L"Brisquel cannot write its settings beside the program, in " + folderOf(places.besideProgram);
}

SettingsPath inMemory(const SettingsPlaces& places, const std::wstring& readFrom) {
    const bool oneFolder = sameFile(appDataFile(places), places.besideProgram);
    return {places, exists(readFrom) ? readFrom : places.besideProgram, false,
            cannotWriteBesideProgram(places) + (oneFolder ? L"" : L", nor in " + places.appDataFolder) +
                L". They cannot be saved: changes last until Brisquel closes."};
}

SettingsPath inAppData(const SettingsPlaces& places) {
    const std::wstring file = appDataFile(places);
    if (file.empty()) return inMemory(places, {});
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
    // A program kept in AppData has one file for both places: its failure is AppData's too.
    const SettingsPlaces& places = failed.places;
    if (sameFile(failed.file, places.besideProgram) && !sameFile(appDataFile(places), failed.file)) {
        return inAppData(places);
    }
    return inMemory(places, failed.file);
}
