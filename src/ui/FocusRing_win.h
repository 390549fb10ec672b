#pragma once

#include <windows.h>

#include <optional>

#include "AccessibleControl_win.h"
#include "base/DpiScale.h"

// Focus rings as Windows shows them: only once the keyboard has been used in the control's top-level
// window, whose UI state then lacks UISF_HIDEFOCUS. A window that starts with rings hidden sends itself
// WM_CHANGEUISTATE (UIS_SET or UIS_INITIALIZE, UISF_HIDEFOCUS); the kit's controls clear the flag when
// they handle a key.

// Whether the control has the focus and its top-level window shows focus rings.
bool FocusRingShown(HWND control);
// The keyboard reached this control: every control of its top-level window shows its ring from now on.
void RevealFocusRings(HWND control);
// A 1 px accent ring 3 px inside r, following its rounded corners.
void PaintFocusRing(HDC dc, const RECT& r, int radius, DpiScale scale);
// What every focusable control of the kit answers alike: WM_SETFOCUS, WM_KILLFOCUS and WM_UPDATEUISTATE
// repaint it (and taking the focus tells screen readers), WM_GETOBJECT goes to its accessible object.
// Nothing for other messages.
std::optional<LRESULT> AnswerFocusableControl(HWND control, AccessibleControl& accessible, UINT message, WPARAM wParam,
                                              LPARAM lParam);
