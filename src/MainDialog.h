#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "Settings.h"
#include "model/LiveModel.h"
#include "model/RefreshWorkers.h"
#include "net/ApiClient.h"
#include "net/NtpClock.h"
#include "ui/ScopedGdi.h"
#include "ui/Window.h"

// The overlay: one layered, topmost window of class "ZentrikMainDialog". Owns the settings, the
// live model and the clients that fill it; the entry point creates exactly one.
class MainDialog : public Window {
public:
    // `threadStarter` starts the refresh workers; tests pass one that fails.
    explicit MainDialog(ThreadStarter threadStarter = startSystemThread);
    ~MainDialog() override;

    // False when the window or its workers could not be made; nothing is then left running.
    bool Create();
    int RunMessageLoop();

private:
    bool Initialize();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Asks before closing, unless the session is ending.
    void OnClose();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    void ApplyClickThroughStyles();
    void ClampToMonitor();
    void OnNtpTimer();
    void OnBossListLoaded();
    // The tracker named in the settings, else the built-in default.
    std::string TrackerOrigin() const;

    ThreadStarter threadStarter_;
    // Shared with the workers, which may outlive this object by one request at shutdown.
    std::shared_ptr<ApiClient> apiClient_ = std::make_shared<ApiClient>();
    Settings settings_;
    NtpClock ntpClock_;
    std::shared_ptr<LiveModel> model_ = std::make_shared<LiveModel>();
    std::unique_ptr<RefreshWorkers> workers_;
    bool active_ = false;
    unsigned connectionState_ = 0;
    bool clickThrough_ = false;
    bool shutdownPending_ = false;
    UniqueIcon windowIcon_;
    UniqueIcon greenIcon_;
    UniqueIcon redIcon_;
};
