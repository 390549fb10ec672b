#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

// Owners for icons, GDI objects and DCs: each handle is released exactly once, by its owner.
// Copies are deleted, moves allowed. Kernel and window handles have theirs in base/ScopedHandles_win.h.

struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

// Fonts, brushes, pens, bitmaps and regions.
struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle>
using UniqueGdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;
using UniqueFont = UniqueGdi<HFONT>;
using UniqueBrush = UniqueGdi<HBRUSH>;
using UniquePen = UniqueGdi<HPEN>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueRegion = UniqueGdi<HRGN>;

// A DC made with CreateCompatibleDC.
struct MemoryDcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// GetDC/ReleaseDC of a window (null: the screen).
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint of one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
    ~PaintDc() { EndPaint(hwnd_, &ps_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC get() const { return ps_.hdc; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

// Selects an object into a DC and puts the previous one back at scope exit.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The memory DC and bitmap behind an off-screen buffer: the bitmap is selected in while owned and
// the DC's original bitmap is put back before the bitmap is deleted.
class MemoryBitmapDc {
public:
    MemoryBitmapDc() = default;
    ~MemoryBitmapDc() { Reset(); }
    MemoryBitmapDc(MemoryBitmapDc&& other) noexcept { *this = std::move(other); }
    MemoryBitmapDc& operator=(MemoryBitmapDc&& other) noexcept {
        if (this != &other) {
            Reset();
            dc_ = std::move(other.dc_);
            bitmap_ = std::move(other.bitmap_);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }

    HDC dc() const { return dc_.get(); }
    bool hasBitmap() const { return bitmap_ != nullptr; }
    bool CreateDc(HDC compatibleWith) {
        dc_.reset(CreateCompatibleDC(compatibleWith));
        return dc_ != nullptr;
    }
    void DropBitmap() {
        if (!bitmap_) return;
        if (previous_) SelectObject(dc_.get(), previous_);
        previous_ = nullptr;
        bitmap_.reset();
    }
    bool CreateBitmap(HDC compatibleWith, int width, int height) {
        DropBitmap();
        UniqueBitmap bitmap(CreateCompatibleBitmap(compatibleWith, width, height));
        if (!bitmap) return false;
        previous_ = SelectObject(dc_.get(), bitmap.get());
        bitmap_ = std::move(bitmap);
        return true;
    }
    void Reset() {
        DropBitmap();
        dc_.reset();
    }

private:
    UniqueMemoryDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// The process's GDI+ session. Created before and destroyed after every window object that paints.
class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

private:
    ULONG_PTR token_ = 0;
};
