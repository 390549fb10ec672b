#include "TrayIcon_win.h"

#include <algorithm>
#include <cwchar>
#include <iterator>

#include "AppMessages_win.h"
#include "DiscIcon_win.h"
#include "ProductVersion.h"
#include "ui/Theme.h"

namespace {

constexpr wchar_t kStateProperty[] = L"BrisquelTrayIcon";
constexpr wchar_t kTipProperty[] = L"BrisquelTrayTip";

}  // namespace

UINT TrayIcon::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

void TrayIcon::MakeIcons(DpiScale scale) {
    const int size = GetSystemMetricsForDpi(SM_CXSMICON, static_cast<UINT>(scale.dpi()));
    green_.reset(MakeDiscIcon(ColorTrayLive, size));
    red_.reset(MakeDiscIcon(ColorTrayDown, size));
}

void TrayIcon::SetScale(DpiScale scale) {
    const bool green = record_.hIcon == green_.get() && green_;
    MakeIcons(scale);
    record_.hIcon = green ? green_.get() : red_.get();
    if (added_) Shell_NotifyIconW(NIM_MODIFY, &record_);
}

void TrayIcon::Add(HWND window, DpiScale scale) {
    MakeIcons(scale);
    record_ = {};
    record_.cbSize = sizeof record_;
    record_.hWnd = window;
    record_.uID = kId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = WM_TRAY_CALLBACK;
    record_.hIcon = red_.get();
    SetTip(kProductTitle);
    Shell_NotifyIconW(NIM_ADD, &record_);
    SetPropW(window, kStateProperty, reinterpret_cast<HANDLE>(1));
    added_ = true;
}

void TrayIcon::Remove() {
    if (!added_) return;
    Shell_NotifyIconW(NIM_DELETE, &record_);
    RemovePropW(record_.hWnd, kStateProperty);
    RemovePropW(record_.hWnd, kTipProperty);
    if (tipAtom_) GlobalDeleteAtom(tipAtom_);
    tipAtom_ = 0;
    added_ = false;
}

void TrayIcon::Restore() {
    if (added_) Shell_NotifyIconW(NIM_ADD, &record_);
}

void TrayIcon::Show(bool green, const std::wstring& reason) {
    const HICON wanted = green ? green_.get() : red_.get();
    std::wstring tip = kProductTitle;
    if (!green && !reason.empty()) tip += L"\n" + reason;
    tip.resize(std::min(tip.size(), std::size(record_.szTip) - 1));
    if (!added_ || (record_.hIcon == wanted && tip == record_.szTip)) return;
    record_.hIcon = wanted;
    SetTip(tip);
    Shell_NotifyIconW(NIM_MODIFY, &record_);
    SetPropW(record_.hWnd, kStateProperty, reinterpret_cast<HANDLE>(green ? 2 : 1));
}

void TrayIcon::SetTip(const std::wstring& tip) {
    wcsncpy(record_.szTip, tip.c_str(), std::size(record_.szTip) - 1);
    if (tipAtom_) GlobalDeleteAtom(tipAtom_);
    tipAtom_ = GlobalAddAtomW(tip.c_str());
    SetPropW(record_.hWnd, kTipProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(tipAtom_)));
}
