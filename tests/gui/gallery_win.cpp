// The widget kit and the two data views on one window at known positions, for the GUI tests. The window is a
// borderless popup at the screen origin, so client and screen coordinates agree. Notifications the window
// receives, what each dialog returns and every change of a list's scroll position are printed to stdout, one
// line each; commands arrive on stdin, one per line (see runCommand), so a test can open dialogs and menus at
// known moments.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ui/ConfirmDialog_win.h"
#include "ui/CustomButton_win.h"
#include "ui/CustomLabel_win.h"
#include "ui/CustomSlider_win.h"
#include "ui/DarkPopupMenu_win.h"
#include "ui/ScopedGdi_win.h"
#include "ui/Window_win.h"
#include "views/ComboBox_win.h"
#include "views/ProgressList_win.h"

namespace {

constexpr UINT WM_GALLERY_COMMAND = WM_APP + 1;  // lParam: a heap std::string the window takes over
constexpr UINT_PTR kCloseMenuTimer = 1, kWatchTimer = 2;
constexpr UINT kCloseMenuDelayMs = 30;
constexpr unsigned kComboId = 1001;

__attribute__((format(printf, 1, 2))) void report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

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
    MenuItem separator;
    separator.separator = true;
    const MenuItem options = entry(0, L"Options", {checked, disabled, entry(3010, L"Leaf")});
    return {entry(2000, L"Show/Hide"), options, separator, entry(0, L"No id"), entry(2002, L"E&xit")};
}

// Thirty rows, with every third one changed (less HP, a later estimate) when asked.
std::vector<ChannelRow> manyRows(bool changed) {
    std::vector<ChannelRow> rows;
    for (int i = 0; i < 30; ++i) {
        const int step = changed && i % 3 == 0 ? 1 : 0;
        rows.push_back({i + 1, 100 - 3 * i - step, 0.42, 95.7 + i + 30 * step, 0, 0});
    }
    return rows;
}

BOOL CALLBACK countWindow(HWND hwnd, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(hwnd, countWindow, count);
    return TRUE;
}

// Wine answers GetGuiResources with 0. There the live GDI objects are counted by asking each slot of the
// process's handle table (a handle with a zero high word names the slot's current object), and the
// USER objects by counting this process's windows, top-level and child.
void reportCounts() {
    DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    if (gdi == 0 && user == 0) {
        for (ULONG_PTR slot = 1; slot < 0x10000; ++slot) gdi += GetObjectType(reinterpret_cast<HGDIOBJ>(slot)) != 0;
        EnumWindows(countWindow, reinterpret_cast<LPARAM>(&user));
    }
    report("counts gdi=%lu user=%lu", gdi, user);
}

class Gallery : public Window {
public:
    bool Create() {
        const WindowClass galleryClass{L"BrisquelGallery", 0, IDC_ARROW, nullptr, RGB(30, 30, 30)};
        if (!CreateBound(galleryClass, 0, L"Gallery", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 710, nullptr,
                         0)) {
            return false;
        }
        status_.Create(hwnd_, 20, 20, 200, 30, 101);
        status_.SetText(L"Status: ready");
        apply_.Create(hwnd_, 20, 70, 120, 32, 201, L"Apply");
        opacity_.Create(hwnd_, 20, 130, 300, 24, 301);
        opacity_.SetValue(25);
        overflowing_.Create(hwnd_, 410, 170, 380, 200, 2);
        overflowing_.SetTextScale(100);
        overflowing_.SetRows(manyRows(false));
        empty_.Create(hwnd_, 10, 380, 380, 100, 3);
        combo_.Create(hwnd_, 410, 380, 250, 30, kComboId);
        combo_.AddItem("Drake", RGB(255, 0, 0), &tags_[0], 0, 0);
        combo_.AddItem("Wyrm", RGB(0, 180, 0), &tags_[1], 3, 12);
        combo_.AddItem("Hydra", RGB(0, 180, 0), &tags_[2], 5, 20);
        // The same rows twice: one list shows them from the start, the other gets them as an update of a
        // few rows ("update-rows"), which repaints only those rows; the two must look alike.
        updated_.Create(hwnd_, 10, 500, 185, 200, 5);
        updated_.SetRows(manyRows(false));
        fresh_.Create(hwnd_, 205, 500, 185, 200, 6);
        fresh_.SetRows(manyRows(true));
        SetTimer(hwnd_, kWatchTimer, 50, nullptr);
        return true;
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
                if (LOWORD(wParam) == kComboId) {
                    const auto* tag = static_cast<const int*>(combo_.GetSelectedData());
                    report("combo code=%u selected=%d", HIWORD(wParam), tag ? *tag : -1);
                } else {
                    report("command id=%u code=%u", LOWORD(wParam), HIWORD(wParam));
                }
                return 0;
            case WM_HSCROLL:
                report("hscroll code=%u value=%d", LOWORD(wParam), opacity_.GetValue());
                return 0;
            case WM_TIMER:
                if (wParam == kCloseMenuTimer) {
                    KillTimer(hwnd_, kCloseMenuTimer);
                    DarkPopupMenu::CloseActive();
                } else if (wParam == kWatchTimer && overflowing_.ScrollPosition() != lastScroll_) {
                    lastScroll_ = overflowing_.ScrollPosition();
                    report("scroll=%d", lastScroll_);
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
        std::string command, argument;
        in >> command >> argument;
        const int number = std::atoi(argument.c_str());
        if (command == "confirm") {
            report("confirm=%d", ConfirmDialog::Show(hwnd_, L"Are you sure you want to exit?", L"Confirm Exit"));
        } else if (command == "menu") {
            int y = 0;
            in >> y;
            DarkPopupMenu::Show(hwnd_, number, y, galleryMenu());
        } else if (command == "activate") {
            SetForegroundWindow(hwnd_);
        } else if (command == "release-capture") {
            // What Alt+Tab does to a control that holds the mouse capture in the middle of a drag.
            ReleaseCapture();
        } else if (command == "foreground") {
            report("foreground=%d", GetForegroundWindow() == hwnd_ ? 1 : 0);
        } else if (command == "post-quit") {
            PostQuitMessage(number);
        } else if (command == "update-rows") {
            updated_.SetRows(manyRows(true));
        } else if (command == "windows") {
            // The screen rectangle of each visible top-level window of the class asked for.
            const std::wstring wanted(argument.begin(), argument.end());
            for (HWND w = FindWindowExW(nullptr, nullptr, wanted.c_str(), nullptr); w;
                 w = FindWindowExW(nullptr, w, wanted.c_str(), nullptr)) {
                RECT r{};
                if (IsWindowVisible(w) && GetWindowRect(w, &r)) {
                    report("window %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
                }
            }
        } else if (command == "stress-paint" || command == "stress-menu") {
            reportCounts();
            for (int i = 0; i < number; ++i) {
                if (command == "stress-paint") {
                    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                } else {
                    SetTimer(hwnd_, kCloseMenuTimer, kCloseMenuDelayMs, nullptr);
                    DarkPopupMenu::Show(hwnd_, 100, 100, galleryMenu());
                }
            }
            reportCounts();
        }
        report("done %s", command.c_str());
    }

    CustomLabel status_;
    CustomButton apply_;
    CustomSlider opacity_;
    ProgressList overflowing_, empty_, updated_, fresh_;
    ComboBox combo_;
    int tags_[3] = {0, 1, 2};
    int lastScroll_ = 0;
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
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    report("exit code=%d", static_cast<int>(msg.wParam));
    return static_cast<int>(msg.wParam);
}
