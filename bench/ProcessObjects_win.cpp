// The soak's counts of a program's USER objects and kernel handles, which must stay flat over a long run (the
// tests' probe gives its GDI objects):
//
//   ProcessObjects <window class>    prints user=N and handles=N of the process that owns a window of that class
//
// Exit code 2 when there is no such window, 1 when its process cannot be opened.
#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

BOOL CALLBACK countOwnedWindow(HWND hwnd, LPARAM param) {
    auto* owned = reinterpret_cast<std::pair<DWORD, DWORD>*>(param);  // the process, and its windows counted
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    owned->second += pid == owned->first;
    return TRUE;
}

// Wine answers GetGuiResources with 0; there the process's windows, the bulk of its USER objects, stand in: every
// descendant of the desktop, top-level windows and their children alike.
DWORD userObjectsOf(HANDLE process, DWORD pid) {
    if (DWORD count = GetGuiResources(process, GR_USEROBJECTS)) return count;
    std::pair<DWORD, DWORD> owned{pid, 0};
    EnumChildWindows(GetDesktopWindow(), countOwnedWindow, reinterpret_cast<LPARAM>(&owned));
    return owned.second;
}

// Wine answers GetProcessHandleCount with 0 as well; its system-wide handle list names each handle's owner.
DWORD handlesOf(HANDLE process, DWORD pid) {
    DWORD count = 0;
    if (GetProcessHandleCount(process, &count) && count) return count;
    struct HandleEntry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    constexpr auto kSystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    while (NtQuerySystemInformation(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                                    &needed) != 0) {
        if (buffer.size() >= (64u << 20)) return 0;
        buffer.resize(buffer.size() * 2);
    }
    const ULONG total = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const HandleEntry*>(buffer.data() + sizeof(ULONG_PTR));
    for (ULONG i = 0; i < total; ++i) count += entries[i].ownerPid == pid;
    return count;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const HWND hwnd = argc > 1 ? FindWindowW(argv[1], nullptr) : nullptr;
    if (!hwnd) return 2;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return 1;
    std::printf("user=%lu\nhandles=%lu\n", userObjectsOf(process, pid), handlesOf(process, pid));
    CloseHandle(process);
    return 0;
}
