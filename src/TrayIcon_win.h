#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "ui/ScopedGdi_win.h"

// The overlay's icon in the notification area: green while data flows, red otherwise, and then its tip says
// why under the product's name. Its state is also kept as the window property "BrisquelTrayIcon" (1 red,
// 2 green) and its tip as the global atom in "BrisquelTrayTip", so that tools can read them.
class TrayIcon {
public:
    // The icon's id: the shell's callbacks carry it in wParam.
    static constexpr UINT kId = 1;

    void Add(HWND window);
    void Remove();
    // Explorer rebuilt the notification area: add the icon again as it was.
    void Restore();
    // `reason`: why the tracker cannot be read, shown while red; empty for none.
    void Show(bool green, const std::wstring& reason);

    // Registered once: Explorer broadcasts it after it restarts.
    static UINT TaskbarCreatedMessage();

private:
    void SetTip(const std::wstring& tip);

    NOTIFYICONDATAW record_{};
    UniqueIcon green_;
    UniqueIcon red_;
    bool added_ = false;
    ATOM tipAtom_ = 0;
};
