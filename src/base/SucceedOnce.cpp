#include "base/SucceedOnce.h"

bool SucceedOnce::run(const std::function<bool()>& attempt) {
    std::lock_guard<std::mutex> guard(lock_);
    if (!succeeded_) succeeded_ = attempt();
    return succeeded_;
}
