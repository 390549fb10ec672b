#include "StartWithWindows_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "ExternalNames.h"
#include "base/ExecutablePath_win.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD kLongestValueBytes = 32768 * sizeof(wchar_t);

std::wstring quotedExecutablePath() {
    return L"\"" + ExecutablePath() + L"\"";
}

}  // namespace

bool StartsWithWindows() {
    std::vector<wchar_t> value(kLongestValueBytes / sizeof(wchar_t));
    DWORD size = kLongestValueBytes;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, ExternalNames::PRODUCT_NAME, RRF_RT_REG_SZ, nullptr, value.data(),
                     &size) != ERROR_SUCCESS)
        return false;
    // Another copy of the program may have written the value: only one naming this exe counts.
    const std::wstring own = quotedExecutablePath();
    return CompareStringOrdinal(value.data(), -1, own.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool SetStartWithWindows(bool on) {
    if (!on) {
        const LSTATUS removed = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, ExternalNames::PRODUCT_NAME);
        return removed == ERROR_SUCCESS || removed == ERROR_FILE_NOT_FOUND;
    }
    const std::wstring command = quotedExecutablePath();
    return RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, ExternalNames::PRODUCT_NAME, REG_SZ, command.c_str(),
                           static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}
