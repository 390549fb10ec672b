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
