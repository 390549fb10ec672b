#include "HotkeyText_win.h"

#include <windows.h>

std::wstring SystemKeyName(int32_t virtualKey) {
    const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    if (scanCode == 0) return {};
    wchar_t name[32] = L"";
    const int length = GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, 32);
    return length > 0 ? std::wstring(name, static_cast<size_t>(length)) : std::wstring();
}
