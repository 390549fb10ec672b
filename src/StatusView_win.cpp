#include "StatusView_win.h"

#include "StatusText.h"
#include "TrayState.h"
#include "base/WideText.h"

void StatusView::SetConnectionState(unsigned state) {
    connectionState_ = state;
    UpdateStatusText();
    UpdateTrayIcon();
}

void StatusView::OnModelChanged(bool dataArrived) {
    if (dataArrived) lastDataTick_ = GetTickCount();
    UpdateStatusText();
    cacheAge_.SetText(CacheAgeText(model_.read([](const ModelData& data) { return data.serverCacheAge; })));
    list_.SetEmptyReason(FailureReason());
    UpdateTrayIcon();
}

void StatusView::OnClockTick() {
    UpdateStatusText();
    UpdateTrayIcon();
}

void StatusView::UpdateStatusText() {
    const int32_t activity = model_.read([](const ModelData& data) { return data.activityIndex; });
    status_.SetText(StatusLineText(connectionState_, client_.trafficSnapshot(), activity, clock_.lastSyncTime()));
}

void StatusView::UpdateTrayIcon() {
    tray_.Show(TrayIsGreen(connectionState_, GetTickCount() - lastDataTick_), FailureReason());
}

std::wstring StatusView::FailureReason() const {
    const std::string& bossId = boss_.selectedBossId();
    return Utf8ToWide(model_.read([&](const ModelData& data) { return failureReasonFor(data, bossId); }));
}
