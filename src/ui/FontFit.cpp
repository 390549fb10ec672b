#include "FontFit.h"

int LargestFittingHeight(int lowest, int highest, const std::function<bool(int height)>& fits) {
    int best = lowest;
    int lo = lowest;
    int hi = highest;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        if (fits(mid)) {
            best = mid;
            lo = mid + 1;
        } else {
            hi = mid - 1;
        }
    }
    return best;
}
