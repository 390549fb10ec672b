#pragma once

#include <windows.h>

#include <string>

// The DWORD value `name` under the test hooks' key, HKEY_CURRENT_USER\Software\Brisquel, where the tests switch
// the overlay's test hooks on and read what the hooks count; 0 when it is absent or not a DWORD.
DWORD ReadTestHookValue(const wchar_t* name);
// When the DWORD `hookSwitch` is non-zero: adds one to the DWORD `counter` and leaves `text` in the string value
// `lastText`, where a test in another process reads them.
void CountInTestHook(const wchar_t* hookSwitch, const wchar_t* counter, const wchar_t* lastText,
                     const std::wstring& text);
