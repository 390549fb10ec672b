// A console probe that inspects and drives a running overlay from another process, as a person (or the shell)
// would: it finds a window by its class (the overlay's by default) and prints what the platform says of it.
//
//   find [ms] [class]            wait for the window, then print its state (tray icon tip included)
//   post <msg> [wp] [lp] [class] post a message (numbers) to the overlay or a window of that class
//   wait-gone [ms] [class]       wait until no window of that class exists
//   children | paints            each child control: id, class, visible, screen rectangle, text | paint count
//   wait-text <id> <prefix> [ms] wait (polling every 20 ms) until that child's text starts with prefix
//   wait-rows [ms]               wait for the overlay, then for its first row: the milliseconds between
//   alerts                       notifications raised and sounds asked for, and the last of each (test hook on)
//   at <x> <y>                   the class of the top-level window a click there reaches
//   move <x> <y> [w h]           move (and size) the overlay, as a drag would
//   hold <mods> <key> <ms>       hold a global hotkey, as another program would
//   dpi-changed <dpi> <l t r b>  send WM_DPICHANGED with that suggested rectangle
//   redraw [times]               repaint the overlay and every control whole
//   responds [ms]                time a WM_GETTEXT; exit 2 when not answered in time
//   counts [class]               the GDI object count of the window's process
//   acc <class> [id]             the window's (or child's) accessible name, role, value and number of children
// Texts go out as UTF-8, a line break as \n. Exit code 0 on success, 2 when the awaited window or text did not
// show in time, 1 on bad arguments.
#include <oleacc.h>
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "ExternalNames.h"

namespace {

constexpr const wchar_t* kOverlayClass = ExternalNames::CLASS_OVERLAY;

// Polls every 20 ms until `done` or the time is up; whether it was done.
template <class Done>
bool waitUntil(DWORD timeoutMs, Done done) {
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs; !done(); Sleep(20))
        if (GetTickCount64() >= deadline) return false;
    return true;
}

HWND waitForWindow(DWORD timeoutMs, const wchar_t* className = kOverlayClass) {
    HWND hwnd = nullptr;
    waitUntil(timeoutMs, [&] { return (hwnd = FindWindowW(className, nullptr)) != nullptr; });
    return hwnd;
}

// Window texts go out as UTF-8, whatever the console's code page, and on one line.
void printUtf8(std::wstring text) {
    for (size_t at = 0; (at = text.find(L'\n', at)) != std::wstring::npos; at += 2) text.replace(at, 1, L"\\n");
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void printLine(const char* key, std::wstring text) {
    std::printf("%s=", key);
    printUtf8(std::move(text));
    std::printf("\n");
}

void printState(HWND hwnd) {
    wchar_t title[256] = L"";
    GetWindowTextW(hwnd, title, 256);
    wchar_t className[256] = L"";
    GetClassNameW(hwnd, className, 256);
    RECT r{};
    GetWindowRect(hwnd, &r);
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    const BOOL layered = GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags);
    const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    std::printf("class=%ls\ntitle=%ls\nstyle=0x%08lx\nexstyle=0x%08lx\nrect=%ld %ld %ld %ld\n", className, title,
                static_cast<unsigned long>(GetWindowLongPtrW(hwnd, GWL_STYLE)), static_cast<unsigned long>(exStyle),
                r.left, r.top, r.right, r.bottom);
    std::printf("alpha=%u\ntopmost=%d\nvisible=%d\nenabled=%d\ntray=%d\n",
                layered && (flags & LWA_ALPHA) ? alpha : 255u, (exStyle & WS_EX_TOPMOST) ? 1 : 0,
                IsWindowVisible(hwnd) ? 1 : 0, IsWindowEnabled(hwnd) ? 1 : 0,
                static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(hwnd, ExternalNames::PROP_TRAY_STATE))));
    wchar_t tip[256] = L"";
    if (const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(GetPropW(hwnd, ExternalNames::PROP_TRAY_TIP))))
        GlobalGetAtomNameW(atom, tip, 256);
    printLine("tip", tip);
    RECT client{};
    GetClientRect(hwnd, &client);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    wchar_t captureClass[256] = L"";
    if (GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &thread) && thread.hwndCapture)
        GetClassNameW(thread.hwndCapture, captureClass, 256);
    std::printf("client=%ld %ld %ld %ld\nscreen=%d %d\ncapture=%ls\n", origin.x, origin.y, client.right, client.bottom,
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), captureClass);
}

// The suggested rectangle travels by pointer, so it is written into the overlay's own memory first.
int sendDpiChanged(HWND hwnd, UINT dpi, const RECT& suggested) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    int result = 1;
    if (remote && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
        SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote));
        result = 0;
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}

BOOL CALLBACK printChild(HWND child, LPARAM) {
    wchar_t className[256] = L"";
    GetClassNameW(child, className, 256);
    wchar_t text[512] = L"";
    GetWindowTextW(child, text, 512);
    RECT r{};
    GetWindowRect(child, &r);
    std::printf("child=%d %ls %d %ld %ld %ld %ld ", GetDlgCtrlID(child), className, IsWindowVisible(child) ? 1 : 0,
                r.left, r.top, r.right, r.bottom);
    printUtf8(text);
    std::printf("\n");
    return TRUE;
}

BOOL CALLBACK printPaints(HWND child, LPARAM) {
    wchar_t className[256] = L"";
    GetClassNameW(child, className, 256);
    std::printf(
        "paints=%d %ls %llu\n", GetDlgCtrlID(child), className,
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetPropW(child, ExternalNames::PROP_PAINTS))));
    return TRUE;
}

// Wine answers GetGuiResources with 0. There a process keeps its GDI handle table in its own memory, named
// by its PEB: 0x10000 entries of 24 bytes whose type byte (offset 14) is 0 when the slot is free.
DWORD gdiObjectsOf(HANDLE process) {
    if (DWORD count = GetGuiResources(process, GR_GDIOBJECTS)) return count;
    constexpr SIZE_T kPebGdiTableOffset = 0xF8, kEntries = 0x10000, kEntrySize = 24, kTypeOffset = 14;
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return 0;
    UINT_PTR table = 0;
    if (!ReadProcessMemory(process, reinterpret_cast<BYTE*>(basic.PebBaseAddress) + kPebGdiTableOffset, &table,
                           sizeof table, nullptr) ||
        !table)
        return 0;
    std::vector<BYTE> entries(kEntries * kEntrySize);
    if (!ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size(), nullptr)) return 0;
    DWORD count = 0;
    for (SIZE_T i = 0; i < kEntries; ++i) count += entries[i * kEntrySize + kTypeOffset] != 0;
    return count;
}

int printCounts(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return 1;
    std::printf("gdi=%lu\n", gdiObjectsOf(process));
    CloseHandle(process);
    return 0;
}

// One of the object's own texts; empty when it has none.
void printAccessibleText(const char* key, IAccessible* accessible, HRESULT (IAccessible::*get)(VARIANT, BSTR*),
                         const VARIANT& self) {
    BSTR text = nullptr;
    printLine(key, SUCCEEDED((accessible->*get)(self, &text)) && text ? text : L"");
    SysFreeString(text);
}

IAccessible* accessibleOf(HWND hwnd) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))))
        return nullptr;
    return accessible;
}

long accessibleChildren(IAccessible* accessible) {
    long count = 0;
    return SUCCEEDED(accessible->get_accChildCount(&count)) ? count : 0;
}

// The rows show as the list's accessible children.
int waitForRows(DWORD timeoutMs) {
    const HWND overlay = waitForWindow(timeoutMs);
    if (!overlay) return 2;
    const ULONGLONG shown = GetTickCount64();
    CoInitialize(nullptr);
    long rows = 0;
    waitUntil(timeoutMs, [&] {
        IAccessible* list = accessibleOf(GetDlgItem(overlay, ExternalNames::ID_LIST));
        if (list) rows = accessibleChildren(list), list->Release();
        return rows > 0;
    });
    CoUninitialize();
    std::printf("rows=%ld\nrows_ms=%llu\n", rows, GetTickCount64() - shown);
    return rows > 0 ? 0 : 2;
}

int printAccessible(HWND hwnd) {
    if (!hwnd) return 2;
    CoInitialize(nullptr);
    IAccessible* accessible = accessibleOf(hwnd);
    if (!accessible) {
        CoUninitialize();
        return 2;
    }
    VARIANT self{}, role{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    printAccessibleText("name", accessible, &IAccessible::get_accName, self);
    const bool hasRole = SUCCEEDED(accessible->get_accRole(self, &role)) && role.vt == VT_I4;
    std::printf("role=%ld\n", hasRole ? role.lVal : -1);
    printAccessibleText("value", accessible, &IAccessible::get_accValue, self);
    std::printf("children=%ld\n", accessibleChildren(accessible));
    accessible->Release();
    CoUninitialize();
    return 0;
}

DWORD timeoutArg(int argc, wchar_t** argv, int index) {
    return argc > index ? static_cast<DWORD>(wcstoul(argv[index], nullptr, 10)) : 10000;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 1;
    const std::wstring command = argv[1];
    if (command == L"find") {
        HWND hwnd = waitForWindow(timeoutArg(argc, argv, 2), argc > 3 ? argv[3] : kOverlayClass);
        if (!hwnd) return 2;
        // The window exists before its set-up ends; a sent message is answered only once the message loop runs.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_BLOCK, 10000, &ignored);
        printState(hwnd);
        return 0;
    }
    if (command == L"wait-gone") {
        const wchar_t* className = argc > 3 ? argv[3] : kOverlayClass;
        return waitUntil(timeoutArg(argc, argv, 2), [&] { return !FindWindowW(className, nullptr); }) ? 0 : 2;
    }
    if (command == L"wait-rows") return waitForRows(timeoutArg(argc, argv, 2));
    if (command == L"alerts") {
        const auto print = [](const wchar_t* counter, const char* countName, const wchar_t* lastText,
                              const char* lastName) {
            DWORD count = 0, countSize = sizeof count;
            RegGetValueW(HKEY_CURRENT_USER, ExternalNames::HOOK_KEY, counter, RRF_RT_REG_DWORD, nullptr, &count,
                         &countSize);
            wchar_t text[512] = L"";
            DWORD textSize = sizeof text;
            RegGetValueW(HKEY_CURRENT_USER, ExternalNames::HOOK_KEY, lastText, RRF_RT_REG_SZ, nullptr, text, &textSize);
            std::printf("%s=%lu\n", countName, count);
            printLine(lastName, text);
        };
        print(ExternalNames::HOOK_ALERTS_RAISED, "alerts", ExternalNames::HOOK_LAST_ALERT, "alert");
        print(ExternalNames::HOOK_SOUNDS_PLAYED, "sounds", ExternalNames::HOOK_LAST_SOUND, "sound");
        return 0;
    }
    if (command == L"hold" && argc > 4) {
        if (!RegisterHotKey(nullptr, 1, wcstoul(argv[2], nullptr, 0), wcstoul(argv[3], nullptr, 0))) return 3;
        std::printf("held=1\n");
        std::fflush(stdout);
        Sleep(wcstoul(argv[4], nullptr, 10));
        return 0;
    }
    if (command == L"at" && argc > 3) {
        const HWND hit = WindowFromPoint(POINT{_wtoi(argv[2]), _wtoi(argv[3])});
        wchar_t className[256] = L"";
        if (hit) GetClassNameW(GetAncestor(hit, GA_ROOT), className, 256);
        std::printf("at=%ls\n", className);
        return 0;
    }
    if (command == L"counts" || command == L"acc") {
        HWND hwnd = waitForWindow(2000, argc > 2 ? argv[2] : kOverlayClass);
        if (command == L"counts") return hwnd ? printCounts(hwnd) : 2;
        return printAccessible(argc > 3 && hwnd ? GetDlgItem(hwnd, _wtoi(argv[3])) : hwnd);
    }

    // The rest act on the overlay (a message may go to another window, by its class).
    HWND hwnd = waitForWindow(2000, command == L"post" && argc > 5 ? argv[5] : kOverlayClass);
    if (!hwnd) return 2;
    if (command == L"post" && argc > 2) {
        const WPARAM wParam = argc > 3 ? static_cast<WPARAM>(wcstoull(argv[3], nullptr, 0)) : 0;
        const LPARAM lParam = argc > 4 ? static_cast<LPARAM>(wcstoll(argv[4], nullptr, 0)) : 0;
        return PostMessageW(hwnd, wcstoul(argv[2], nullptr, 0), wParam, lParam) ? 0 : 1;
    }
    if (command == L"children") return EnumChildWindows(hwnd, printChild, 0), 0;
    if (command == L"paints") return EnumChildWindows(hwnd, printPaints, 0), 0;
    if (command == L"redraw") {
        for (int times = argc > 2 ? _wtoi(argv[2]) : 1; times > 0; --times)
            if (!RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW)) return 1;
        return 0;
    }
    if (command == L"dpi-changed" && argc > 6) {
        return sendDpiChanged(hwnd, wcstoul(argv[2], nullptr, 10),
                              RECT{_wtoi(argv[3]), _wtoi(argv[4]), _wtoi(argv[5]), _wtoi(argv[6])});
    }
    if (command == L"move" && argc > 3) {
        const bool sized = argc > 5;
        return SetWindowPos(hwnd, nullptr, _wtoi(argv[2]), _wtoi(argv[3]), sized ? _wtoi(argv[4]) : 0,
                            sized ? _wtoi(argv[5]) : 0, (sized ? 0 : SWP_NOSIZE) | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (command == L"wait-text" && argc > 3) {
        const std::wstring prefix = argv[3];
        wchar_t text[512] = L"";
        const bool shown = waitUntil(timeoutArg(argc, argv, 4), [&] {
            GetWindowTextW(GetDlgItem(hwnd, _wtoi(argv[2])), text, 512);
            return std::wstring(text).compare(0, prefix.size(), prefix) == 0;
        });
        return shown ? (printLine("text", text), 0) : 2;
    }
    if (command == L"responds") {
        wchar_t title[256] = L"";
        DWORD_PTR copied = 0;
        const ULONGLONG started = GetTickCount64();
        if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(title), SMTO_ABORTIFHUNG,
                                 argc > 2 ? wcstoul(argv[2], nullptr, 10) : 2000, &copied))
            return 2;
        std::printf("answered_ms=%llu\n", GetTickCount64() - started);
        return 0;
    }
    return 1;
}
