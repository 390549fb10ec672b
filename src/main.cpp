#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
// GDI+ needs the COM declarations that WIN32_LEAN_AND_MEAN leaves out.
#include <objidl.h>

#include <gdiplus.h>

#include "MainDialog.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CoInitialize(nullptr);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    {
        // Destroyed after GDI+ and COM are down, so its destructor uses neither.
        MainDialog dialog;
        if (dialog.Create()) {
            exitCode = dialog.RunMessageLoop();
        } else {
            MessageBoxW(nullptr, L"Failed to create main window!", L"Error", MB_ICONERROR);
        }
        Gdiplus::GdiplusShutdown(gdiplusToken);
        CoUninitialize();
    }
    return exitCode;
}
