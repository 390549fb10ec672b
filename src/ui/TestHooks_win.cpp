#include "TestHooks_win.h"
#include "ExternalNames.h"

DWORD ReadTestHookValue(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, ExternalNames::HOOK_KEY, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

void CountInTestHook(const wchar_t* hookSwitch, const wchar_t* counter, const wchar_t* lastText,
                     const std::wstring& text) {
    if (ReadTestHookValue(hookSwitch) == 0) return;
    const DWORD count = ReadTestHookValue(counter) + 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, ExternalNames::HOOK_KEY, counter, REG_DWORD, &count, sizeof count);
    RegSetKeyValueW(HKEY_CURRENT_USER, ExternalNames::HOOK_KEY, lastText, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
