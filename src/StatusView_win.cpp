#include "StatusView_win.h"

#include <utility>

#include "StatusText.h"
#include "TrayState.h"
#include "base/WideText.h"

void StatusView::SetConnectionState(unsigned state) {
    connectionState_ = state;
    UpdateStatusText();
    UpdateTrayIcon();
}

void StatusView::OnModelChanged() {
    UpdateStatusText();
    // Between two answers the age only grows, and the clock tick shows that; a merge is followed at once by a
    // new age, so showing the old one grown meanwhile would paint the label twice for one change.
    UpdateCacheAge(true);
    list_.SetEmptyReason(FailureReason());
    UpdateTrayIcon();
}

void StatusView::OnClockTick() {
    UpdateStatusText();
    UpdateCacheAge();
    UpdateTrayIcon();
}

void StatusView::UpdateCacheAge(bool onlyANewAge) {
    const auto now = std::chrono::steady_clock::now();
    double age = -1.0;
    bool newAge = false;
    model_.read([&](const ModelData& data) {
        age = cacheAgeAt(data, now);
        newAge = data.cacheAgeStored != cacheAgeShown_;
        cacheAgeShown_ = data.cacheAgeStored;
    });
    if (newAge || !onlyANewAge) cacheAge_.SetText(CacheAgeText(age));
}

void StatusView::UpdateStatusText() {
    const int32_t activity = model_.read([](const ModelData& data) { return data.activityIndex; });
    status_.SetText(StatusLineText(connectionState_, client_.trafficSnapshot(), activity, clock_.lastSyncTime()));
}

void StatusView::UpdateTrayIcon() {
    // Any summary read, changed or not, shows that data flow.
    const auto [reads, fresh] =
        model_.read([](const ModelData& data) { return std::make_pair(data.summaryReads, data.summaryFresh); });
    if (reads != summaryReads_) lastDataTick_ = GetTickCount();
    summaryReads_ = reads;
    tray_.Show(TrayIsGreen(connectionState_, GetTickCount() - lastDataTick_, static_cast<uint32_t>(fresh.count())),
               FailureReason());
}

std::wstring StatusView::FailureReason() const {
    const std::string& bossId = boss_.selectedBossId();
    return Utf8ToWide(model_.read([&](const ModelData& data) { return failureReasonFor(data, bossId); }));
}
