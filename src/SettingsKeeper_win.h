#pragma once

#include <windows.h>

#include <string>

#include "SaveSchedule.h"
#include "Settings.h"
#include "SettingsPath.h"

// The one owner of the running overlay's settings. The shell reads them freely and asks this to change them;
// the change reaches the file when the changes pause (SaveSchedule.h), driven by the window's TIMER_SAVE, or
// at once through SaveNow. A save that fails is tried again on the same timer; once the retries are spent the
// settings move on (SettingsPathAfterFailedSave), and the window is asked (WM_SETTINGS_NOTICE) to have the player
// told where they live now, through ShowNotice.
class SettingsKeeper {
public:
    // Loads the settings from `where`, and the tracker from the file beside the program when it names one.
    explicit SettingsKeeper(SettingsPath where);

    const Settings& values() const { return settings_; }
    const Settings* operator->() const { return &settings_; }
    const std::wstring& file() const { return where_.file; }

    // The window whose timer writes the changes and which shows the notices.
    void Attach(HWND window) { window_ = window; }
    template <typename Edit>
    void Change(Edit edit) {
        edit(settings_);
        Changed();
    }
    void OnSaveTimer();
    // Writes everything now; what was waiting no longer waits.
    void SaveNow();
    // As SaveNow, for the last time: a failure moves the settings on at once rather than waiting for a retry.
    void SaveBeforeClose();
    // What the player has not yet been told about where the settings live (the notice of the path resolved at
    // start, then of each move); empty once taken.
    std::wstring TakeNotice();
    // Tells the player what TakeNotice holds, in a notice over the window. While another notice is open this
    // one waits (TIMER_SETTINGS_NOTICE, then ShowNotice again): a second would only bring the first forward.
    void ShowNotice();

private:
    void Changed();
    void MoveTo(SettingsPath where);

    SettingsPath where_;
    Settings settings_;
    SaveSchedule schedule_;
    HWND window_ = nullptr;
    std::wstring notice_;
};
