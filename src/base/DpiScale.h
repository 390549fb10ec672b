#pragma once

#include <cstdint>

// Every pixel length in the code is a 96 dpi value; a window at another display scale takes each one
// through its DpiScale, so that the whole window grows alike. At 96 dpi every length stays as written.
class DpiScale {
public:
    static constexpr int kBaseDpi = 96;

    constexpr DpiScale() = default;
    // Anything but a positive DPI (a failed query) counts as 96.
    constexpr explicit DpiScale(int dpi) : dpi_(dpi > 0 ? dpi : kBaseDpi) {}

    constexpr int dpi() const { return dpi_; }
    // A 96 dpi length at this scale, rounded half away from zero as the platform's MulDiv rounds.
    constexpr int px(int length96) const {
        const int64_t product = int64_t{length96} * dpi_;
        const int64_t half = kBaseDpi / 2;
        return static_cast<int>(product >= 0 ? (product + half) / kBaseDpi : (product - half) / kBaseDpi);
    }
    constexpr float px(float length96) const { return length96 * static_cast<float>(dpi_) / kBaseDpi; }
    constexpr bool operator==(const DpiScale& o) const { return dpi_ == o.dpi_; }
    constexpr bool operator!=(const DpiScale& o) const { return dpi_ != o.dpi_; }

private:
    int dpi_ = kBaseDpi;
};
