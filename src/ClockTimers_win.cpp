#include "ClockTimers_win.h"

#include "AppMessages_win.h"

namespace {

constexpr UINT kTickLateMs = 20;
constexpr UINT kNtpRetryPeriodMs = 10000;
constexpr UINT kNtpRefreshPeriodMs = 300000;

}  // namespace

void ClockTimers::Start(HWND window) {
    window_ = window;
    ScheduleTick();
    clock_.syncAsync();
    SetTimer(window_, TIMER_NTP, kNtpRetryPeriodMs, nullptr);
}

bool ClockTimers::OnTimer(UINT_PTR id) {
    if (id == TIMER_NTP) {
        if (clock_.isFresh()) SetTimer(window_, TIMER_NTP, kNtpRefreshPeriodMs, nullptr);
        clock_.syncAsync();
    }
    if (id != TIMER_CLOCK) return false;
    ScheduleTick();
    return true;
}

void ClockTimers::Stop() {
    KillTimer(window_, TIMER_CLOCK);
    KillTimer(window_, TIMER_NTP);
}

void ClockTimers::ScheduleTick() {
    SetTimer(window_, TIMER_CLOCK, clock_.msUntilNextSecond() + kTickLateMs, nullptr);
}
