#pragma once

#include <windows.h>

#include <string>

#include "Settings.h"
#include "net/NtpClock.h"
#include "ui/ScopedGdi.h"

// The overlay: one layered, topmost window of class "ZentrikMainDialog". Owns the settings, the
// live model and the clients that fill it; the entry point creates exactly one.
class MainDialog {
public:
    MainDialog();
    ~MainDialog();
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    bool Create();
    int RunMessageLoop();

    static LRESULT CALLBACK WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool Initialize();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void ApplyClickThroughStyles();
    void ClampToMonitor();
    void OnNtpTimer();

    HWND hwnd_ = nullptr;
    Settings settings_;
    NtpClock ntpClock_;
    bool active_ = false;
    unsigned connectionState_ = 0;
    bool clickThrough_ = false;
    bool visible_ = true;
    bool shutdownPending_ = false;
    UniqueIcon windowIcon_;
    UniqueIcon greenIcon_;
    UniqueIcon redIcon_;
};
