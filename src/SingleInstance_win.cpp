#include "SingleInstance_win.h"

#include <cwchar>

#include "ExternalNames.h"
#include "SettingsFileKey.h"

namespace {

constexpr DWORD kWindowWaitMs = 1500;
constexpr DWORD kWindowPollMs = 50;
constexpr UINT kShowWaitMs = 500;

struct Search {
    uint64_t key;
    HWND found;
};

BOOL CALLBACK findMarked(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (reinterpret_cast<UINT_PTR>(GetPropW(hwnd, ExternalNames::PROP_SETTINGS_FILE)) != search->key) return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

SingleInstance::SingleInstance(const std::wstring& settingsPath) : key_(KeyOf(settingsPath)) {
    bool existed = false;
    mutex_.reset(Claim(key_, existed));
    first_ = !mutex_ || !existed;
}

HANDLE SingleInstance::Claim(uint64_t key, bool& existed) {
    wchar_t name[64];
    std::swprintf(name, 64, L"Local\\Brisquel-%016llx", static_cast<unsigned long long>(key));
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name);
    existed = GetLastError() == ERROR_ALREADY_EXISTS;
    return mutex;
}

void SingleInstance::Follow(const std::wstring& settingsPath, HWND overlay) {
    const uint64_t key = KeyOf(settingsPath);
    if (key == key_) return;
    bool existed = false;
    followedMutex_.reset(Claim(key, existed));
    key_ = key;
    Mark(overlay);
}

uint64_t SingleInstance::KeyOf(const std::wstring& settingsPath) {
    // The file system ignores case as the system's tables fold it, which reach beyond ASCII.
    std::wstring upper(settingsPath);
    if (!upper.empty()) {
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, settingsPath.c_str(),
                      static_cast<int>(settingsPath.size()), upper.data(), static_cast<int>(upper.size()), nullptr,
                      nullptr, 0);
    }
    return SettingsFileKey(upper);
}

UINT SingleInstance::ShowMessage() {
    static const UINT message = RegisterWindowMessageW(L"Brisquel.ShowOverlay");
    return message;
}

void SingleInstance::Mark(HWND overlay) const {
    SetPropW(overlay, ExternalNames::PROP_SETTINGS_FILE, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(key_)));
}

void SingleInstance::ShowRunningOverlay() const {
    Search search{key_, nullptr};
    for (DWORD waited = 0; !search.found && waited <= kWindowWaitMs; waited += kWindowPollMs) {
        EnumWindows(findMarked, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(kWindowPollMs);
    }
    if (!search.found) return;
    // This process was started by the user and may pass its right to take the foreground on.
    DWORD pid = 0;
    GetWindowThreadProcessId(search.found, &pid);
    AllowSetForegroundWindow(pid);
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(search.found, ShowMessage(), 0, 0, SMTO_ABORTIFHUNG, kShowWaitMs, &ignored);
}
