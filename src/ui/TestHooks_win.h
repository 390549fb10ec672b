#pragma once

#include <windows.h>

// Where the tests switch the overlay's test hooks on and read what the hooks count.
constexpr wchar_t kTestHookKey[] = L"Software\\Brisquel";

// The DWORD value `name` under HKEY_CURRENT_USER\Software\Brisquel; 0 when it is absent or not a DWORD.
DWORD ReadTestHookValue(const wchar_t* name);
