#include "SettingsKeeper_win.h"

#include <utility>

#include "AppMessages_win.h"
#include "ui/Notification_win.h"

namespace {

constexpr UINT kNoticeRetryMs = 500;

}  // namespace

SettingsKeeper::SettingsKeeper(SettingsPath where)
    : where_(std::move(where)), settings_(where_.file), notice_(where_.notice) {
    settings_.Load();
    settings_.PreferTrackerOriginOf(where_.places.besideProgram);
}

void SettingsKeeper::Changed() {
    const ULONGLONG now = GetTickCount64();
    schedule_.changed(now);
    if (window_) SetTimer(window_, TIMER_SAVE, static_cast<UINT>(schedule_.msUntilDue(now)), nullptr);
}

void SettingsKeeper::OnSaveTimer() {
    const ULONGLONG now = GetTickCount64();
    if (schedule_.due(now)) {
        SaveNow();
    } else if (schedule_.pending()) {
        SetTimer(window_, TIMER_SAVE, static_cast<UINT>(schedule_.msUntilDue(now)), nullptr);
    } else {
        KillTimer(window_, TIMER_SAVE);
    }
}

void SettingsKeeper::SaveNow() {
    if (window_) KillTimer(window_, TIMER_SAVE);
    if (!where_.writable || settings_.Save()) {
        schedule_.saved();
        return;
    }
    const ULONGLONG now = GetTickCount64();
    if (schedule_.failed(now)) {
        if (window_) SetTimer(window_, TIMER_SAVE, static_cast<UINT>(schedule_.msUntilDue(now)), nullptr);
        return;
    }
    // The next place has retries of its own, and memory is never writable: this recurses once.
    MoveTo(SettingsPathAfterFailedSave(where_));
    SaveNow();
}

void SettingsKeeper::SaveBeforeClose() {
    schedule_.saved();
    if (window_) KillTimer(window_, TIMER_SAVE);
    // No retry can come after the window has gone. Each move leaves a place for good, and memory is never
    // writable: this ends.
    while (where_.writable && !settings_.Save()) MoveTo(SettingsPathAfterFailedSave(where_));
}

void SettingsKeeper::MoveTo(SettingsPath where) {
    where_ = std::move(where);
    settings_.SetPath(where_.file);
    notice_ = where_.notice;
    if (window_) PostMessageW(window_, WM_SETTINGS_NOTICE, 0, 0);
}

std::wstring SettingsKeeper::TakeNotice() {
    return std::exchange(notice_, std::wstring());
}

void SettingsKeeper::ShowNotice() {
    if (Notification::IsOpen()) {
        SetTimer(window_, TIMER_SETTINGS_NOTICE, kNoticeRetryMs, nullptr);
        return;
    }
    KillTimer(window_, TIMER_SETTINGS_NOTICE);
    const std::wstring notice = TakeNotice();
    if (!notice.empty()) Notification::Show(window_, notice, L"Settings", NotificationKind::Info);
}
