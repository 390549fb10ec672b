#include "base/PostOnce_win.h"

bool PostOnce::Post() {
    if (pending_.exchange(true)) return true;
    if (PostMessageW(window_, message_, 0, 0)) return true;
    pending_.store(false);
    return false;
}
