#include "ForceForeground_win.h"

void ForceForeground(HWND hwnd) {
    if (!hwnd) return;
    const HWND foreground = GetForegroundWindow();
    const DWORD current = GetCurrentThreadId();
    const DWORD owner = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = owner != 0 && owner != current && AttachThreadInput(current, owner, TRUE);
    BringWindowToTop(hwnd);
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
    if (attached) AttachThreadInput(current, owner, FALSE);
}
