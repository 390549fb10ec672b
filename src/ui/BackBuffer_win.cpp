#include "BackBuffer_win.h"

#include "PaintCounter_win.h"
#include "base/StepTimes.h"

HDC BackBuffer::Begin(HDC targetDc, int width, int height) {
    valid_ = false;
    if (!targetDc) return nullptr;
    if (width < 1 || height < 1) return targetDc;
    if (!memory_.dc() && !memory_.CreateDc(targetDc)) return targetDc;
    if (memory_.hasBitmap() && width == width_ && height == height_) {
        valid_ = true;
        return memory_.dc();
    }
    if (!memory_.CreateBitmap(targetDc, width, height)) return targetDc;
    width_ = width;
    height_ = height;
    valid_ = true;
    return memory_.dc();
}

void BackBuffer::Present(HDC targetDc, int width, int height) const {
    if (!valid_ || !memory_.hasBitmap() || !targetDc) return;
    if (width < 0) width = width_;
    if (height < 0) height = height_;
    if (width >= 1 && height >= 1) BitBlt(targetDc, 0, 0, width, height, memory_.dc(), 0, 0, SRCCOPY);
}

void BackBuffer::PaintWindow(HWND hwnd, const std::function<void(HDC dc, int width, int height)>& paint,
                             bool clipToUpdate) {
    StepTimer timer(Step::Paint);
    // Asking for the update region costs a round trip to the window manager: only for those that use it.
    UniqueRegion dirty(clipToUpdate ? CreateRectRgn(0, 0, 0, 0) : nullptr);
    const bool partial = dirty && GetUpdateRgn(hwnd, dirty.get(), FALSE) > NULLREGION;
    PaintDc target(hwnd);
    PaintAndPresent(hwnd, target.get(), partial ? dirty.get() : nullptr, paint);
}

void BackBuffer::PaintWindowNow(HWND hwnd, const std::function<void(HDC dc, int width, int height)>& paint) {
    StepTimer timer(Step::Paint);
    WindowDc target(hwnd);
    if (target.get()) PaintAndPresent(hwnd, target.get(), nullptr, paint);
}

void BackBuffer::PaintAndPresent(HWND hwnd, HDC target, HRGN clip,
                                 const std::function<void(HDC dc, int width, int height)>& paint) {
    RECT client{};
    GetClientRect(hwnd, &client);
    const HDC dc = Begin(target, client.right, client.bottom);
    // The buffer keeps what it last showed, so only the part that needs it is drawn again; a control
    // may skip what lies outside (RectVisible).
    const bool clipped = clip && dc != target && SelectClipRgn(dc, clip) != ERROR;
    paint(dc, client.right, client.bottom);
    if (clipped) SelectClipRgn(dc, nullptr);
    Present(target, client.right, client.bottom);
    CountPaint(hwnd);
}

void BackBuffer::Resize(HWND hwnd, int width, int height) {
    WindowDc dc(hwnd);
    if (dc.get()) Begin(dc.get(), width, height);
}

void BackBuffer::Release() {
    memory_.Reset();
    width_ = 0;
    height_ = 0;
    valid_ = false;
}
