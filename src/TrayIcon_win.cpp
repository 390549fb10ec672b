#include "TrayIcon_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "AppMessages_win.h"
#include "DiscIcon_win.h"
#include "ExternalNames.h"
#include "ProductVersion.h"
#include "ui/TestHooks_win.h"
#include "ui/Theme.h"

namespace {

// How soon after the icon's right-button release its context-menu request counts as the mouse's.
constexpr ULONGLONG kRightClickAnnouncedMs = 500;

}  // namespace

TrayIcon::Request TrayIcon::Interpret(WPARAM anchor, LPARAM event) {
    Request request;
    if (HIWORD(event) != kId) return request;
    switch (LOWORD(event)) {
        case WM_LBUTTONDBLCLK:
        case NIN_KEYSELECT:
            request.toggleWindow = true;
            break;
        case WM_RBUTTONUP:
            rightClickTick_ = GetTickCount64();
            break;
        case WM_CONTEXTMENU:
            // A right click announces itself just before; the context-menu key and Shift+F10 do not.
            request.menu = true;
            request.fromKeyboard = GetTickCount64() - rightClickTick_ > kRightClickAnnouncedMs;
            request.at = POINT{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)};
            if (!request.fromKeyboard) GetCursorPos(&request.at);
            break;
        default:
            break;
    }
    return request;
}

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TrayIcon::MakeIcons() {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, GetDpiForSystem());
    green_.reset(MakeDiscIcon(ColorTrayLive, size));
    red_.reset(MakeDiscIcon(ColorTrayDown, size));
}

void TrayIcon::Add(HWND window) {
    MakeIcons();
    record_ = {};
    record_.cbSize = sizeof record_;
    record_.hWnd = window;
    record_.uID = kId;
    // Under version 4 the shell shows the standard tip only when asked to.
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    record_.uCallbackMessage = WM_TRAY_CALLBACK;
    record_.hIcon = red_.get();
    SetTip(kProductTitle);
    AddToShell();
    SetPropW(window, ExternalNames::PROP_TRAY_STATE, reinterpret_cast<HANDLE>(1));
    added_ = true;
}

void TrayIcon::AddToShell() {
    Shell_NotifyIconW(NIM_ADD, &record_);
    // Version 4 brings the keyboard: Enter or Space on the icon, and the context-menu key, reach the window.
    record_.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &record_);
}

void TrayIcon::Remove() {
    if (!added_) return;
    Shell_NotifyIconW(NIM_DELETE, &record_);
    RemovePropW(record_.hWnd, ExternalNames::PROP_TRAY_STATE);
    RemovePropW(record_.hWnd, ExternalNames::PROP_TRAY_TIP);
    if (tipAtom_) GlobalDeleteAtom(tipAtom_);
    tipAtom_ = 0;
    added_ = false;
}

void TrayIcon::Restore() {
    if (!added_) return;
    const bool green = record_.hIcon == green_.get();
    MakeIcons();
    record_.hIcon = green ? green_.get() : red_.get();
    AddToShell();
}

void TrayIcon::Show(bool green, const std::wstring& reason) {
    live_ = green;
    reason_ = reason;
    Update();
}

void TrayIcon::ShowNextEvent(const std::wstring& nextEvent) {
    nextEvent_ = nextEvent;
    Update();
}

std::size_t TrayIcon::NextEventRoom() {
    // The title's terminating null stands for the line break; the tip keeps one unit for its own.
    return std::size(NOTIFYICONDATAW{}.szTip) - 1 - std::size(kProductTitle);
}

void TrayIcon::Update() {
    const HICON wanted = live_ ? green_.get() : red_.get();
    const std::wstring& line = live_ ? nextEvent_ : reason_;
    std::wstring tip = kProductTitle;
    if (!line.empty()) tip += L"\n" + line;
    tip.resize(std::min(tip.size(), std::size(record_.szTip) - 1));
    if (!added_ || (record_.hIcon == wanted && tip == record_.szTip)) return;
    const bool recoloured = record_.hIcon != wanted;
    record_.hIcon = wanted;
    SetTip(tip);
    // Only what changed: the tip changes every second while it counts down to the next event, and the shell
    // copies and redraws an icon each time it is sent one.
    NOTIFYICONDATAW change = record_;
    change.uFlags = NIF_TIP | NIF_SHOWTIP | (recoloured ? NIF_ICON : 0);
    Shell_NotifyIconW(NIM_MODIFY, &change);
    if (recoloured) SetPropW(record_.hWnd, ExternalNames::PROP_TRAY_STATE, reinterpret_cast<HANDLE>(live_ ? 2 : 1));
}

void TrayIcon::SetTip(const std::wstring& tip) {
    wcsncpy(record_.szTip, tip.c_str(), std::size(record_.szTip) - 1);
    if (tipAtom_) GlobalDeleteAtom(tipAtom_);
    tipAtom_ = GlobalAddAtomW(tip.c_str());
    SetPropW(record_.hWnd, ExternalNames::PROP_TRAY_TIP, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(tipAtom_)));
}

void TrayIcon::Notify(const std::wstring& text) {
    if (!added_) return;
    NOTIFYICONDATAW info = record_;
    info.uFlags = NIF_INFO;
    wcsncpy(info.szInfoTitle, ExternalNames::PRODUCT_NAME, std::size(info.szInfoTitle) - 1);
    wcsncpy(info.szInfo, text.c_str(), std::size(info.szInfo) - 1);
    // The alerts' sound is AlertSound's: the shell's would ignore the Sound switch and the limit on how often one
    // plays.
    info.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;
    Shell_NotifyIconW(NIM_MODIFY, &info);
    CountInTestHook(ExternalNames::HOOK_COUNT_ALERTS, ExternalNames::HOOK_ALERTS_RAISED, ExternalNames::HOOK_LAST_ALERT,
                    info.szInfo);
}
