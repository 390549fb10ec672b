#pragma once

#include <windows.h>

// Pulls a window to the front and gives it the focus, even while another thread owns the foreground:
// the calling thread briefly shares that thread's input state, which the platform requires.
void ForceForeground(HWND hwnd);
