#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "base/ScopedHandles_win.h"

// One overlay per settings file. The first start from a folder holds a named mutex for its settings file
// for as long as it runs and marks its window; a later start from the same folder finds that window, asks
// it to come to the front and leaves without touching anything else. Copies in other folders have other
// settings files and run side by side.
class SingleInstance {
public:
    explicit SingleInstance(const std::wstring& settingsPath);

    // False when an overlay with the same settings file already runs. A mutex that cannot be made at all
    // counts as first: better two overlays than none.
    bool first() const { return first_; }
    // In the first start: marks the overlay's window for later starts to find.
    void Mark(HWND overlay) const;
    // The settings moved to another file while the overlay runs (its folder turned read-only): later starts, which
    // now read that file, find this overlay by it. The earlier file stays claimed too.
    void Follow(const std::wstring& settingsPath, HWND overlay);
    // In a later start: asks the running overlay to show itself in front, waiting a little for its window
    // when that overlay is still starting.
    void ShowRunningOverlay() const;

    // What a later start sends to the running overlay's window.
    static UINT ShowMessage();
    // The number that names the settings file, the same however the path's letters are cased by the
    // system's rules.
    static uint64_t KeyOf(const std::wstring& settingsPath);

private:
    // The mutex that claims a key; `existed` when another process holds it already.
    static HANDLE Claim(uint64_t key, bool& existed);

    uint64_t key_;
    UniqueHandle mutex_;
    UniqueHandle followedMutex_;
    bool first_ = true;
};
