#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners for kernel and window handles: each handle is released exactly once, by its owner.

// Threads, events, files: anything CloseHandle releases. INVALID_HANDLE_VALUE counts as no handle.
struct KernelHandleDeleter {
    void operator()(HANDLE handle) const {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleDeleter>;

// A top-level helper window nobody else owns (hidden owners, menu anchors).
struct WindowDeleter {
    void operator()(HWND hwnd) const {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;
