#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "BossView_win.h"
#include "ClockTimers_win.h"
#include "Hotkeys_win.h"
#include "MainControls_win.h"
#include "PanelSliders_win.h"
#include "SettingsKeeper_win.h"
#include "SingleInstance_win.h"
#include "StatusView_win.h"
#include "TrayAlerts_win.h"
#include "TrayIcon_win.h"
#include "WindowModes_win.h"
#include "base/PostOnce_win.h"
#include "model/LiveModel.h"
#include "model/RefreshWorkers.h"
#include "net/ApiClient.h"
#include "net/NtpClock.h"
#include "ui/ScopedGdi_win.h"
#include "ui/Window_win.h"

// The overlay: one layered, topmost window of class "ZentrikMainDialog". Owns the settings, the live
// model, the clients that fill it and the controls that show it, and routes each message to the part
// that handles it: the boss view, the status view, the window modes, the panel's sliders, the hotkeys,
// the tray icon, its alerts and the clock timers.
class MainDialog : public Window {
public:
    // `settings` is where the settings live (main resolves it first, for the single-instance key);
    // `threadStarter` starts the refresh workers and `ntpServers` are the clock's: tests pass their own.
    explicit MainDialog(const SettingsPath& settings, ThreadStarter threadStarter = startSystemThread,
                        std::vector<NtpServer> ntpServers = defaultNtpServers());
    ~MainDialog() override;

    // False when the window or its workers could not be made; nothing is then left running. The window is
    // marked for later starts as soon as it exists, before a start-up notice can hold this thread.
    bool Create(SingleInstance& instance);
    int RunMessageLoop();

private:
    bool Initialize();
    void CreateControls();
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Asks before closing, unless the session is ending.
    void OnClose();
    void OnDestroy();
    void OnTimer(UINT_PTR id);
    // Takes in what the workers left: rows, status, cache age, tray icon and alerts.
    void OnModelChanged();
    void OnClockTick();
    void OnCommand(WORD id, WORD code);
    void OnHotkey(WPARAM id);
    void OnTrayCallback(WPARAM anchor, LPARAM event);
    // Another start from this folder asks for the overlay: shown again if the hotkey hid it, and in front.
    void OnShowRequest();
    void ShowHelp();
    void OnBossListLoaded();
    void Relayout();
    // Hands the display scale to every control and to the window's icons.
    void ApplyScale();
    void ToggleClickThrough();
    // Hands the window's rectangle as it really is, clamped to its monitor, to the settings.
    void RecordWindowRect();
    // The tracker named in the settings, else the built-in default.
    std::string TrackerOrigin() const;

    MainControls controls_;

    ThreadStarter threadStarter_;
    // main's, which outlives the window; it follows the settings when they move.
    SingleInstance* instance_ = nullptr;
    // Shared with the workers, which may outlive this object by one request at shutdown.
    std::shared_ptr<ApiClient> apiClient_ = std::make_shared<ApiClient>();
    SettingsKeeper settingsKeeper_;
    const Settings& settings_ = settingsKeeper_.values();
    NtpClock ntpClock_;
    ClockTimers clockTimers_{ntpClock_};
    std::shared_ptr<LiveModel> model_ = std::make_shared<LiveModel>();
    std::unique_ptr<RefreshWorkers> workers_;
    // Shared with the workers' listener, which may outlive the window.
    std::shared_ptr<PostOnce> modelChange_;
    BossView bossView_{*model_,        ntpClock_,           settingsKeeper_,    controls_.combo,
                       controls_.list, controls_.bossTitle, controls_.countdown};
    WindowModes modes_;
    PanelSliders sliders_{controls_, modes_, settingsKeeper_};
    Hotkeys hotkeys_{settingsKeeper_, controls_.clickThroughButton, controls_.visibilityButton,
                     controls_.bossMenuButton};
    TrayIcon tray_;
    StatusView statusView_{*model_,          bossView_,      *apiClient_,    ntpClock_,
                           controls_.status, controls_.cacheAge, controls_.list, tray_};
    TrayAlerts alerts_{settings_, bossView_, tray_};
    bool shutdownPending_ = false;
    bool helpOpen_ = false;
    DpiScale scale_;
};
