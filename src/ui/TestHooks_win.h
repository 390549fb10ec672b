#pragma once

#include <windows.h>

// The DWORD value `name` under the test hooks' key, HKEY_CURRENT_USER\Software\Brisquel, where the tests switch
// the overlay's test hooks on and read what the hooks count; 0 when it is absent or not a DWORD.
DWORD ReadTestHookValue(const wchar_t* name);
