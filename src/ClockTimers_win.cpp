#include "ClockTimers_win.h"

#include "AppMessages_win.h"

namespace {

constexpr UINT kTickLateMs = 20;

}  // namespace

void ClockTimers::Start(HWND window) {
    window_ = window;
    ScheduleTick();
    Resync();
}

bool ClockTimers::OnTimer(UINT_PTR id) {
    if (id == TIMER_NTP) Resync();
    if (id != TIMER_CLOCK) return false;
    ScheduleTick();
    return true;
}

void ClockTimers::Stop() {
    KillTimer(window_, TIMER_CLOCK);
    KillTimer(window_, TIMER_NTP);
}

void ClockTimers::Resync() {
    SetTimer(window_, TIMER_NTP, syncSchedule_.nextDelayMs(clock_.isFresh()), nullptr);
    clock_.syncAsync();
}

void ClockTimers::ScheduleTick() {
    SetTimer(window_, TIMER_CLOCK, clock_.msUntilNextSecond() + kTickLateMs, nullptr);
}
