#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "MainDialog_win.h"
#include "SettingsPath.h"
#include "SingleInstance_win.h"
#include "ui/ScopedGdi_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything is read, registered or shown: a second start from this folder only brings the running
    // overlay forward.
    const SettingsPath settings = ResolveSettingsPath();
    SingleInstance instance(settings.file);
    if (!instance.first()) {
        instance.ShowRunningOverlay();
        return 0;
    }
    CoInitialize(nullptr);
    int exitCode = 1;
    {
        // Declared first so that it ends last: every window object paints through GDI+ until it is gone.
        GdiplusSession gdiplus;
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        MainDialog dialog(settings);
        if (dialog.Create(instance)) {
            exitCode = dialog.RunMessageLoop();
        } else {
            MessageBoxW(nullptr, L"Failed to create main window!", L"Error", MB_ICONERROR);
        }
    }
    CoUninitialize();
    return exitCode;
}
