#pragma once

#include <functional>

// The largest font height in [lowest, highest] at which `fits` holds, found by bisection (so `fits` must
// hold up to some height and fail above it); `lowest` when none fits or the range is empty.
int LargestFittingHeight(int lowest, int highest, const std::function<bool(int height)>& fits);
