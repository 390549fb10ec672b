#pragma once

#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <string>

#include "ui/ScopedGdi_win.h"

// The overlay's icon in the notification area: green while data flows, and then its tip names the next event under
// the product's name; red otherwise, and then its tip says why. Its state is also kept as the window property
// "BrisquelTrayIcon" (1 red, 2 green) and its tip as the global atom in "BrisquelTrayTip", so that tools can read them.
//
// For the tests only, while the DWORD value CountAlerts under HKEY_CURRENT_USER\Software\Brisquel is
// non-zero, every notification adds one to the DWORD AlertsRaised there and leaves its text in LastAlert,
// where a test in another process reads them.
class TrayIcon {
public:
    // The icon's id. The shell's callbacks (version 4) carry it in HIWORD(lParam) and the event in LOWORD(lParam):
    // WM_CONTEXTMENU for a right click or the context-menu key, NIN_KEYSELECT for Enter or Space, and the mouse
    // messages.
    static constexpr UINT kId = 1;

    // Adds the icon, drawn at the taskbar's small-icon size: the taskbar keeps the system's display scale
    // wherever the overlay itself is moved.
    void Add(HWND window);
    void Remove();
    // Explorer rebuilt the notification area, perhaps at another display scale: add the icon again as it was,
    // drawn anew.
    void Restore();
    // `reason`: why the tracker cannot be read, shown while red; empty for none.
    void Show(bool green, const std::wstring& reason);
    // The soonest coming event, shown while green; empty for none. At most NextEventRoom() units are shown.
    void ShowNextEvent(const std::wstring& nextEvent);
    static std::size_t NextEventRoom();
    // A notification beside the icon, titled "Brisquel", silent, that takes neither the focus nor the front.
    // Texts longer than the shell takes are cut.
    void Notify(const std::wstring& text);

    // What one of the shell's callbacks asks of the overlay: a double click, Enter or Space shows or hides it; a right
    // click opens the menu at the mouse, the context-menu key or Shift+F10 at the icon's anchor, from the keyboard.
    struct Request {
        bool toggleWindow = false;
        bool menu = false;
        POINT at{};
        bool fromKeyboard = false;
    };
    Request Interpret(WPARAM anchor, LPARAM event);

    // Registered once: Explorer broadcasts it after it restarts.
    static UINT TaskbarCreatedMessage();

private:
    void AddToShell();
    void Update();
    void SetTip(const std::wstring& tip);

    NOTIFYICONDATAW record_{};
    UniqueIcon green_;
    UniqueIcon red_;
    bool added_ = false;
    bool live_ = false;
    std::wstring reason_;
    std::wstring nextEvent_;
    ATOM tipAtom_ = 0;
    ULONGLONG rightClickTick_ = 0;

    void MakeIcons();
};
