#include "MainDialog_win.h"

#include "AlertSettings.h"
#include "AppMessages_win.h"
#include "ExternalNames.h"
#include "HelpText.h"
#include "MonitorClamp_win.h"
#include "ProductVersion.h"
#include "StartWithWindows_win.h"
#include "TrayMenu.h"
#include "net/TrackerOrigin.h"
#include "ui/ConfirmDialog_win.h"
#include "ui/DarkPopupMenu_win.h"
#include "ui/HelpDialog_win.h"
#include "ui/Theme.h"

namespace {

constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_LAYERED | WS_EX_TOPMOST;

const Window::WindowClass kMainClass{ExternalNames::CLASS_OVERLAY, 0, IDC_ARROW, IDI_APPLICATION, ColorWindowBg};

}  // namespace

MainDialog::MainDialog(const SettingsPath& settings, ThreadStarter threadStarter, std::vector<NtpServer> ntpServers)
    : threadStarter_(std::move(threadStarter)), settingsKeeper_(settings), ntpClock_(std::move(ntpServers)) {}

// A window still open here (the loop ended on a WM_QUIT) closes as it would otherwise, tray icon and saving included.
// Then the workers stop: the destruction waits for them at most their shutdown budget.
MainDialog::~MainDialog() {
    Destroy();
    workers_.reset();
}

bool MainDialog::Create(SingleInstance& instance) {
    const ScreenRect stored{settings_.Left, settings_.Top, settings_.Right, settings_.Bottom};
    const RECT r = ClampRectToMonitor(RECT{stored.left, stored.top, stored.right, stored.bottom});
    if (!CreateBound(kMainClass, kExStyle, kProductTitle, kStyle, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     nullptr, 0)) {
        return false;
    }
    instance.Mark(hwnd_);
    instance_ = &instance;
    settingsKeeper_.Attach(hwnd_);
    // The display scale is known only once the window exists: it is placed again if the scale moves it.
    scale_ = ScaleOfWindow(hwnd_);
    modes_.Attach(hwnd_);
    modes_.PlaceAtStart(stored, settings_.windowRectSaved(), scale_);
    RecordWindowRect();
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    if (Initialize()) {
        // Once the window runs its own loop, not in the middle of its creation.
        PostMessageW(hwnd_, WM_SETTINGS_NOTICE, 0, 0);
        return true;
    }
    DestroyWindow(hwnd_);
    // The quit that WM_DESTROY posts would close the caller's error box the moment it opens.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return false;
}

void MainDialog::CreateControls() {
    controls_.Create(hwnd_, settings_);
    hotkeys_.Attach(hwnd_);
    hotkeys_.UpdateButtonTexts();
    ApplyScale();
}

void MainDialog::ApplyScale() {
    controls_.SetScale(scale_);
    modes_.SetIcons(scale_);
}

bool MainDialog::Initialize() {
    CreateControls();
    // Focus rings and access keys stay hidden until the keyboard is used, as in Windows.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
    modes_.SetOpacity(settings_.Opacity);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    modes_.FollowFocus();
    Relayout();
    modes_.ClampToMonitor();

    tray_.Add(hwnd_);
    hotkeys_.Register();
    // Without its hotkey the saved mode would leave the overlay deaf to the mouse with the tray as the only way
    // out: it starts framed, and the saved setting stays for a run that gets the hotkey.
    if (settings_.ClickThroughMode && hotkeys_.registered(Hotkeys::ClickThrough)) {
        modes_.SetClickThrough(true);
        controls_.list.SetScrollbarEnabled(false);
        Relayout();
    }

    clockTimers_.Start(hwnd_);

    // The loader reads through a client of its own; the poller through the window's, which gets its
    // base URL only once the boss list is in.
    const HWND window = hwnd_;
    // One message at a time is enough: the window reads everything new when it gets to it.
    modelChange_ = std::make_shared<PostOnce>(window, WM_MODEL_CHANGED);
    model_->setChangeListener([change = modelChange_] { change->Post(); });
    workers_ = RefreshWorkers::start(
        model_, std::make_shared<ApiClient>(TrackerOrigin()), apiClient_,
        [window] { PostMessageW(window, WM_BOSS_LIST_LOADED, 0, 0); }, {}, threadStarter_);
    return workers_ != nullptr;
}

int MainDialog::RunMessageLoop() {
    MSG msg{};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

LRESULT MainDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (hotkeys_.Intercept(message, wParam, lParam)) return 0;
    switch (message) {
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            // Never cleared, even when the shutdown is cancelled: a user who was already leaving is not
            // asked again for the rest of this run.
            shutdownPending_ = true;
            return 1;
        case WM_ENDSESSION:
            if (wParam) OnClose();
            return 0;
        case WM_PAINT: {
            // The class brush paints the background; the children paint themselves.
            PaintDc paint(hwnd_);
            return 0;
        }
        case WM_SIZE:
            Relayout();
            return 0;
        case WM_ACTIVATE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (modes_.FollowActivation(message, wParam)) Relayout();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_HSCROLL:
            sliders_.OnSlider(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_HOTKEY:
            OnHotkey(wParam);
            return 0;
        case WM_KEYDOWN:
            // The panel's controls hand on the keys they do not use, Tab among them.
            if (wParam != VK_TAB) return Window::HandleMessage(message, wParam, lParam);
            controls_.MoveFocus(GetKeyState(VK_SHIFT) < 0);
            return 0;
        case WM_TRAY_CALLBACK:
            OnTrayCallback(wParam, lParam);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_EXITSIZEMOVE:
            modes_.ClampToMonitor();
            RecordWindowRect();
            settingsKeeper_.SaveNow();
            return 0;
        case WM_DPICHANGED:
            scale_ = DpiScale(HIWORD(wParam));
            ApplyScale();
            MoveToSuggestedRect(lParam);
            Relayout();
            RecordWindowRect();
            settingsKeeper_.SaveNow();
            return 0;
        case WM_BOSS_LIST_LOADED:
            OnBossListLoaded();
            return 0;
        case WM_RESERVED_1125:
            return 0;
        case WM_MODEL_CHANGED:
            OnModelChanged();
            return 0;
        case WM_SETTINGS_NOTICE:
            instance_->Follow(settingsKeeper_.file(), hwnd_);
            settingsKeeper_.ShowNotice();
            return 0;
        case WM_CONNECTION_STATE:
            statusView_.SetConnectionState(static_cast<unsigned>(wParam));
            return 0;
        default:
            if (message == TrayIcon::TaskbarCreatedMessage()) {
                tray_.Restore();
                return 0;
            }
            if (message == SingleInstance::ShowMessage()) {
                OnShowRequest();
                return 0;
            }
            return Window::HandleMessage(message, wParam, lParam);
    }
}

void MainDialog::OnCommand(WORD id, WORD code) {
    switch (id) {
        case ID_TRAY_TOGGLE:
            modes_.ToggleVisibility();
            return;
        case ID_TRAY_START_WITH_WINDOWS:
            SetStartWithWindows(!StartsWithWindows());
            return;
        case ID_TRAY_CLICK_THROUGH:
            ToggleClickThrough();
            return;
        case ID_TRAY_HELP:
            ShowHelp();
            return;
        case ID_TRAY_EXIT:
            PostMessageW(hwnd_, WM_CLOSE, 0, 0);
            return;
        case ID_COMBO:
            if (bossView_.OnComboNotification(code)) Relayout();
            return;
        default:
            if (bool Settings::*alert = AlertSwitchOf(id))
                settingsKeeper_.Change([alert](Settings& settings) { settings.*alert = !(settings.*alert); });
            return;
    }
}

void MainDialog::OnHotkey(WPARAM id) {
    if (id == Hotkeys::IdOf(Hotkeys::ClickThrough)) {
        ToggleClickThrough();
    } else if (id == Hotkeys::IdOf(Hotkeys::Visibility)) {
        modes_.ToggleVisibility();
    } else if (id == Hotkeys::IdOf(Hotkeys::BossMenu) && bossView_.hasItems()) {
        if (controls_.combo.IsPopupOpen()) {
            controls_.combo.ClosePopup();
        } else {
            Relayout();
            controls_.combo.OpenPopup();
        }
    }
}

void MainDialog::OnTrayCallback(WPARAM anchor, LPARAM event) {
    const TrayIcon::Request request = tray_.Interpret(anchor, event);
    if (request.toggleWindow) modes_.ToggleVisibility();
    if (!request.menu) return;
    SetForegroundWindow(hwnd_);
    DarkPopupMenu::Show(hwnd_, request.at.x, request.at.y,
                        TrayMenuItems({modes_.visible(), modes_.clickThrough(), settings_.AlertDying,
                                       settings_.AlertRespawn, settings_.AlertSound, StartsWithWindows()}),
                        request.fromKeyboard);
}

void MainDialog::OnShowRequest() {
    if (!modes_.visible()) modes_.ToggleVisibility();
    // In click-through mode the overlay is never activated; shown and topmost is as far forward as it goes.
    if (!modes_.clickThrough()) SetForegroundWindow(hwnd_);
}

void MainDialog::ShowHelp() {
    if (helpOpen_) return;
    helpOpen_ = true;
    HelpDialog::Show(hwnd_,
                     HelpText(hotkeys_.Text(Hotkeys::Visibility), hotkeys_.Text(Hotkeys::ClickThrough),
                              hotkeys_.Text(Hotkeys::BossMenu)),
                     std::wstring(kProductTitle) + L" - Help");
    helpOpen_ = false;
}

void MainDialog::OnClose() {
    if (!shutdownPending_ && !ConfirmDialog::Show(hwnd_, L"Are you sure you want to exit?", L"Confirm Exit")) return;
    DestroyWindow(hwnd_);
}

void MainDialog::OnTimer(UINT_PTR id) {
    if (id == TIMER_SAVE) settingsKeeper_.OnSaveTimer();
    if (id == TIMER_SETTINGS_NOTICE) settingsKeeper_.ShowNotice();
    if (clockTimers_.OnTimer(id)) OnClockTick();
}

void MainDialog::OnModelChanged() {
    modelChange_->Taken();
    const bool dataArrived = model_->takeDataUpdated();
    if (dataArrived) bossView_.RefreshRows(modes_.clickThrough());
    statusView_.OnModelChanged();
    alerts_.Raise();
}

// What changes with time alone: the countdown, reports growing stale (the rows repaint only what changed), the
// alerts, the status line's NTP part and cache age, the tray icon once the data stop, and whether the window is in
// the foreground.
void MainDialog::OnClockTick() {
    bossView_.UpdateCountdownText();
    bossView_.RefreshRows(false);
    statusView_.OnClockTick();
    alerts_.Raise();
    if (modes_.FollowForeground()) Relayout();
}

void MainDialog::Relayout() {
    if (bossView_.comboOpen() || !controls_.list.hwnd()) return;
    RECT client{};
    GetClientRect(hwnd_, &client);
    const MainLayout layout =
        ComputeMainLayout(client.right, client.bottom, modes_.clickThrough(), modes_.active(), scale_);
    controls_.Place(layout);
}

void MainDialog::ToggleClickThrough() {
    const bool on = !modes_.clickThrough();
    modes_.SetClickThrough(on);
    Relayout();
    if (on) controls_.list.ScrollToTop();
    controls_.list.SetScrollbarEnabled(!on);
    settingsKeeper_.Change([on](Settings& settings) { settings.ClickThroughMode = on; });
}

void MainDialog::RecordWindowRect() {
    const RECT r = modes_.ClampedWindowRect();
    settingsKeeper_.Change([r](Settings& settings) { settings.SetWindowRect(r.left, r.top, r.right, r.bottom); });
}

std::string MainDialog::TrackerOrigin() const {
    return settings_.trackerOrigin().empty() ? std::string(kDefaultTrackerOrigin) : settings_.trackerOrigin();
}

void MainDialog::OnBossListLoaded() {
    apiClient_->setBaseUrl(TrackerOrigin());
    bossView_.OnBossListLoaded();
    const HWND window = hwnd_;
    apiClient_->startWorker([window](ConnectionState state) { PostMessageW(window, WM_CONNECTION_STATE, state, 0); });
}

void MainDialog::OnDestroy() {
    apiClient_->stopWorker();
    tray_.Remove();
    hotkeys_.Unregister();
    RecordWindowRect();
    settingsKeeper_.SaveBeforeClose();
    clockTimers_.Stop();
    PostQuitMessage(0);
}
