// The widget kit on one window at known positions, for the GUI tests; the data views open over it on the
// "views" command. The windows are borderless popups at the screen origin, so client and screen coordinates
// agree. Notifications the window receives and what each dialog returns are printed to stdout, one line
// each; commands arrive on stdin, one per line (see runCommand), so a test can open dialogs and menus at
// known moments.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "gallery_win.h"
#include "ui/ConfirmDialog_win.h"
#include "ui/CustomButton_win.h"
#include "ui/CustomLabel_win.h"
#include "ui/CustomSlider_win.h"
#include "ui/DarkPopupMenu_win.h"
#include "ui/HelpDialog_win.h"
#include "ui/Notification_win.h"
#include "ui/ScopedGdi_win.h"
#include "ui/VectorIcons.h"
#include "ui/Window_win.h"

void report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

namespace {

constexpr UINT WM_GALLERY_COMMAND = WM_APP + 1;  // lParam: a heap std::string the window takes over
constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr UINT_PTR kCloseMenuTimer = 1;
constexpr UINT kCloseMenuDelayMs = 30;

MenuItem entry(unsigned id, const wchar_t* text, std::vector<MenuItem> children = {}) {
    MenuItem item;
    item.id = id;
    item.text = text;
    item.hasSubmenu = !children.empty();
    item.children = std::move(children);
    return item;
}

std::vector<MenuItem> galleryMenu() {
    MenuItem checked = entry(3001, L"Checked option"), disabled = entry(3002, L"Disabled option");
    checked.checked = true;
    disabled.enabled = false;
    MenuItem separator, action = entry(0, L"Run action");
    separator.separator = true;
    action.action = [] { report("action ran"); };
    const MenuItem options = entry(0, L"Options", {checked, disabled, entry(0, L"Deeper", {entry(3010, L"Leaf")})});
    return {entry(2000, L"Show/Hide"), options, separator, action, entry(0, L"No id"), entry(2002, L"E&xit")};
}

// Wine answers GetGuiResources with 0. There the live GDI objects are counted by asking each slot of the
// process's handle table (a handle with a zero high word names the slot's current object), and the
// USER objects by counting this process's windows, top-level and child.
DWORD gdiObjects() {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count != 0) return count;
    for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(slot))) ++count;
    }
    return count;
}

BOOL CALLBACK countWindow(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(hwnd, countWindow, count);
    return TRUE;
}

DWORD userObjects() {
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (count != 0) return count;
    EnumWindows(countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

BOOL CALLBACK reportWindow(HWND hwnd, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(hwnd)) return TRUE;
    wchar_t className[64] = L"", title[128] = L"";
    GetClassNameW(hwnd, className, 64);
    GetWindowTextW(hwnd, title, 128);
    RECT r{}, client{};
    GetWindowRect(hwnd, &r);
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    // The window rectangle, the client area's screen origin and size, then the title.
    report("window %ls %ld %ld %ld %ld %ld %ld %ld %ld %ls", className, r.left, r.top, r.right, r.bottom, origin.x,
           origin.y, client.right, client.bottom, title);
    return TRUE;
}

void reportCounts(const char* when) {
    report("counts %s gdi=%lu user=%lu", when, gdiObjects(), userObjects());
}

class Gallery : public Window {
public:
    bool Create() {
        const WindowClass galleryClass{L"BrisquelKitGallery", 0, IDC_ARROW, nullptr, RGB(30, 30, 30)};
        if (!CreateBound(galleryClass, 0, L"Kit gallery", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kWidth,
                         kHeight, nullptr, 0)) {
            return false;
        }
        status_.Create(hwnd_, 20, 20, 200, 30, 101);
        status_.SetText(L"Status: ready");
        emptyLabel_.Create(hwnd_, 240, 20, 100, 30, 102);
        apply_.Create(hwnd_, 20, 70, 120, 32, 201, L"Apply");
        hotkey_.Create(hwnd_, 160, 70, 140, 32, 202, L"Ctrl+F2");
        hotkey_.SetIcon(VectorIconGear);
        disabled_.Create(hwnd_, 320, 70, 120, 32, 203, L"Disabled");
        disabled_.SetEnabled(false);
        opacity_.Create(hwnd_, 20, 130, 300, 24, 301);
        opacity_.SetValue(25);
        disabledSlider_.Create(hwnd_, 340, 130, 200, 24, 302);
        disabledSlider_.SetValue(50);
        EnableWindow(disabledSlider_.hwnd(), FALSE);
        narrowSlider_.Create(hwnd_, 560, 130, 30, 24, 303);
        return true;
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
                report("command id=%u code=%u", LOWORD(wParam), HIWORD(wParam));
                return 0;
            case WM_HSCROLL: {
                const auto* slider = reinterpret_cast<HWND>(lParam) == opacity_.hwnd() ? &opacity_ : &narrowSlider_;
                report("hscroll id=%d code=%u value=%u full=%d", GetDlgCtrlID(reinterpret_cast<HWND>(lParam)),
                       LOWORD(wParam), HIWORD(wParam), slider->GetValue());
                return 0;
            }
            case WM_TIMER:
                if (wParam == kCloseMenuTimer) {
                    KillTimer(hwnd_, kCloseMenuTimer);
                    DarkPopupMenu::CloseActive();
                }
                return 0;
            case WM_LBUTTONDOWN:
            case WM_RBUTTONDOWN:
                report("click x=%d y=%d", static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
                return 0;
            case WM_GALLERY_COMMAND: {
                std::unique_ptr<std::string> line(reinterpret_cast<std::string*>(lParam));
                runCommand(*line);
                return 0;
            }
            case WM_DESTROY:
                PostQuitMessage(0);
                return 0;
            default:
                return Window::HandleMessage(message, wParam, lParam);
        }
    }

private:
    void runCommand(const std::string& line) {
        std::istringstream in(line);
        std::string command;
        in >> command;
        if (command == "set-value") {
            int value = 0;
            in >> value;
            opacity_.SetValue(value);
        } else if (command == "value") {
            report("value=%d", opacity_.GetValue());
        } else if (command == "confirm") {
            report("confirm=%d", ConfirmDialog::Show(hwnd_, L"Are you sure you want to exit?", L"Confirm Exit"));
        } else if (command == "notify") {
            int timeoutMs = 0;
            in >> timeoutMs;
            const DWORD started = GetTickCount();
            Notification::Show(hwnd_, L"The hotkey is already taken by another program.", L"Hotkey in use",
                               NotificationKind::Warning, timeoutMs);
            report("notify closed after=%lu", GetTickCount() - started);
        } else if (command == "help") {
            std::string text;
            std::getline(in >> std::ws, text);
            HelpDialog::Show(hwnd_,
                             text.empty() ? L"Brisquel shows the channels of one boss.\n\nOK closes."
                                          : std::wstring(text.begin(), text.end()),
                             L"");
            report("help closed");
        } else if (command == "menu") {
            int x = 0, y = 0;
            in >> x >> y;
            DarkPopupMenu::Show(hwnd_, x, y, galleryMenu());
        } else if (command == "activate") {
            SetForegroundWindow(hwnd_);
        } else if (command == "release-capture") {
            // What Alt+Tab does to a control that holds the mouse capture in the middle of a drag.
            ReleaseCapture();
        } else if (command == "foreground") {
            report("foreground=%d", GetForegroundWindow() == hwnd_ ? 1 : 0);
        } else if (command == "post-quit") {
            int code = 0;
            in >> code;
            PostQuitMessage(code);
        } else if (command == "views") {
            if (!ShowViewsGallery()) report("views failed");
        } else if (command == "windows") {
            EnumWindows(reportWindow, 0);
        } else if (command == "stress-paint" || command == "stress-menu") {
            int times = 0;
            in >> times;
            reportCounts("before");
            for (int i = 0; i < times; ++i) {
                if (command == "stress-paint") {
                    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                } else {
                    SetTimer(hwnd_, kCloseMenuTimer, kCloseMenuDelayMs, nullptr);
                    DarkPopupMenu::Show(hwnd_, 100, 100, galleryMenu());
                }
            }
            reportCounts("after");
        }
        report("done %s", command.c_str());
    }

    CustomLabel status_, emptyLabel_;
    CustomButton apply_, hotkey_, disabled_;
    CustomSlider opacity_, disabledSlider_, narrowSlider_;
};

}  // namespace

int wmain() {
    GdiplusSession gdiplus;
    Gallery gallery;
    if (!gallery.Create()) return 1;
    const HWND window = gallery.hwnd();
    // Commands are read off the UI thread and handed over as posted messages, which every nested
    // modal loop dispatches too.
    std::thread([window] {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, stdin)) {
            std::string line(buffer);
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            PostMessageW(window, WM_GALLERY_COMMAND, 0, reinterpret_cast<LPARAM>(new std::string(line)));
        }
    }).detach();
    report("ready hwnd=0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    report("exit code=%d", static_cast<int>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
