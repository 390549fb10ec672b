#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

// Owners for GDI and USER objects: each handle is released exactly once, by its owner.
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;
