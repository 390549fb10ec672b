#include "MainDialog_win.h"

#include <windowsx.h>

#include "AlertSettings.h"
#include "AppMessages_win.h"
#include "ExternalNames.h"
#include "HelpText.h"
#include "InitialWindowRect.h"
#include "MonitorClamp_win.h"
#include "ProductVersion.h"
#include "StartWithWindows_win.h"
#include "StatusText.h"
#include "TrayMenu.h"
#include "TrayState.h"
#include "base/WideText.h"
#include "net/TrackerOrigin.h"
#include "ui/ConfirmDialog_win.h"
#include "ui/DarkPopupMenu_win.h"
#include "ui/HelpDialog_win.h"
#include "ui/Notification_win.h"
#include "ui/Theme.h"

namespace {

constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_LAYERED | WS_EX_TOPMOST;
// The clock tick comes just after the corrected clock's second turns, so that the countdown steps evenly.
constexpr UINT kClockTickLateMs = 20;
constexpr UINT kNtpRetryPeriodMs = 10000;     // until the clock has synced
constexpr UINT kNtpRefreshPeriodMs = 300000;  // once it is fresh
// How soon after the tray icon's right-button release its context-menu request counts as the mouse's.
constexpr ULONGLONG kRightClickAnnouncedMs = 500;

const Window::WindowClass kMainClass{ExternalNames::CLASS_OVERLAY, 0, IDC_ARROW, IDI_APPLICATION, ColorWindowBg};

}  // namespace

MainDialog::MainDialog(const SettingsPath& settings, ThreadStarter threadStarter)
    : threadStarter_(std::move(threadStarter)), settingsKeeper_(settings) {}

// Stops the workers first: the destruction waits for them at most their shutdown budget.
MainDialog::~MainDialog() {
    workers_.reset();
}

bool MainDialog::Create(const SingleInstance& instance) {
    const ScreenRect stored{settings_.Left, settings_.Top, settings_.Right, settings_.Bottom};
    const RECT r = ClampRectToMonitor(RECT{stored.left, stored.top, stored.right, stored.bottom});
    if (!CreateBound(kMainClass, kExStyle, kProductTitle, kStyle, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     nullptr, 0)) {
        return false;
    }
    instance.Mark(hwnd_);
    settingsKeeper_.Attach(hwnd_);
    // The display scale is known only once the window exists: it is placed again if the scale moves it.
    scale_ = ScaleOfWindow(hwnd_);
    if (const std::optional<ScreenRect> monitor = MonitorRectNear(r)) {
        const ScreenRect initial = InitialWindowRect(stored, settings_.windowRectSaved(), scale_, *monitor);
        if (initial != ScreenRect{r.left, r.top, r.right, r.bottom}) {
            SetWindowPos(hwnd_, nullptr, initial.left, initial.top, initial.width(), initial.height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    modes_.Attach(hwnd_);
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

    ScheduleClockTick();
    ntpClock_.syncAsync();
    SetTimer(hwnd_, TIMER_NTP, kNtpRetryPeriodMs, nullptr);

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
            if (modes_.SetActive(LOWORD(wParam) != WA_INACTIVE)) Relayout();
            return 0;
        case WM_SETFOCUS:
            if (modes_.SetActive(true)) Relayout();
            return 0;
        case WM_KILLFOCUS:
            if (hotkeys_.capturing() && !hotkeys_.noticeOpen()) hotkeys_.EndCapture();
            if (modes_.FocusLeft()) Relayout();
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_HSCROLL:
            hotkeys_.EndCapture();
            OnSlider(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_HOTKEY:
            if (hotkeys_.capturing()) {
                hotkeys_.OnHotkeyWhileCapturing(wParam);
            } else {
                OnHotkey(wParam);
            }
            return 0;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (hotkeys_.OnKeyDown(wParam)) return 0;
            // The panel's controls hand on the keys they do not use, Tab among them.
            if (message == WM_KEYDOWN && wParam == VK_TAB) {
                controls_.MoveFocus(GetKeyState(VK_SHIFT) < 0);
                return 0;
            }
            return Window::HandleMessage(message, wParam, lParam);
        case WM_LBUTTONDOWN:
            if (hotkeys_.capturing()) hotkeys_.EndCapture();
            return Window::HandleMessage(message, wParam, lParam);
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
            ShowSettingsNotice();
            return 0;
        case WM_CONNECTION_STATE:
            connectionState_ = static_cast<unsigned>(wParam);
            UpdateStatusText();
            UpdateTrayIcon();
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

void MainDialog::OnCommand(WORD id, WORD code, HWND control) {
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
        case ID_TRAY_ALERT_DYING:
            ToggleAndSave(&Settings::AlertDying);
            return;
        case ID_TRAY_ALERT_RESPAWN:
            ToggleAndSave(&Settings::AlertRespawn);
            return;
        case ID_TRAY_ALERT_SOUND:
            ToggleAndSave(&Settings::AlertSound);
            return;
        case ID_COMBO:
            if (code == CBN_SELCHANGE) {
                hotkeys_.EndCapture();
                bossView_.OnBossSelected();
            }
            if (code == CBN_DROPDOWN) comboOpen_ = true;
            if (code == CBN_CLOSEUP) {
                comboOpen_ = false;
                Relayout();
            }
            return;
        case ID_OPACITY_SLIDER:
        case ID_SCALE_SLIDER:
            OnSlider(control);
            return;
        case ID_CLICK_THROUGH_BUTTON:
        case ID_VISIBILITY_BUTTON:
        case ID_BOSS_MENU_BUTTON:
            if (code != BN_CLICKED) return;
            hotkeys_.StartCapture(id == ID_CLICK_THROUGH_BUTTON ? Hotkeys::ClickThrough
                                  : id == ID_VISIBILITY_BUTTON  ? Hotkeys::Visibility
                                                                : Hotkeys::BossMenu);
            return;
        default:
            return;
    }
}

void MainDialog::OnSlider(HWND slider) {
    if (slider == controls_.opacitySlider.hwnd()) ApplyOpacity();
    if (slider == controls_.scaleSlider.hwnd()) ApplyTextScale();
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
    if (HIWORD(event) != TrayIcon::kId) return;
    switch (LOWORD(event)) {
        case WM_LBUTTONDBLCLK:
        case NIN_KEYSELECT:
            modes_.ToggleVisibility();
            return;
        case WM_RBUTTONUP:
            trayRightClickTick_ = GetTickCount64();
            return;
        case WM_CONTEXTMENU: {
            SetForegroundWindow(hwnd_);
            // A right click announces itself just before; the context-menu key and Shift+F10 do not.
            const bool fromKeyboard = GetTickCount64() - trayRightClickTick_ > kRightClickAnnouncedMs;
            POINT at{GET_X_LPARAM(anchor), GET_Y_LPARAM(anchor)};
            if (!fromKeyboard) GetCursorPos(&at);
            ShowTrayMenu(at, fromKeyboard);
            return;
        }
        default:
            return;
    }
}

void MainDialog::OnShowRequest() {
    if (!modes_.visible()) modes_.ToggleVisibility();
    // In click-through mode the overlay is never activated; shown and topmost is as far forward as it goes.
    if (!modes_.clickThrough()) SetForegroundWindow(hwnd_);
}

void MainDialog::ShowTrayMenu(POINT at, bool fromKeyboard) {
    DarkPopupMenu::Show(hwnd_, at.x, at.y,
                        TrayMenuItems({modes_.visible(), modes_.clickThrough(), settings_.AlertDying,
                                       settings_.AlertRespawn, settings_.AlertSound, StartsWithWindows()}),
                        fromKeyboard);
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

void MainDialog::UpdateTrayIcon() {
    tray_.Show(TrayIsGreen(connectionState_, GetTickCount() - lastDataTick_), FailureReason());
}

std::wstring MainDialog::FailureReason() const {
    return Utf8ToWide(model_->read([](const ModelData& data) { return data.failureReason; }));
}

void MainDialog::OnClose() {
    if (!shutdownPending_ && !ConfirmDialog::Show(hwnd_, L"Are you sure you want to exit?", L"Confirm Exit")) return;
    DestroyWindow(hwnd_);
}

void MainDialog::OnTimer(UINT_PTR id) {
    switch (id) {
        case TIMER_CLOCK:
            OnClockTick();
            break;
        case TIMER_NTP:
            OnNtpTimer();
            break;
        case TIMER_SAVE:
            settingsKeeper_.OnSaveTimer();
            break;
        default:
            break;
    }
}

void MainDialog::OnModelChanged() {
    modelChange_->Taken();
    if (model_->takeDataUpdated()) {
        bossView_.RefreshRows(modes_.clickThrough());
        if (comboOpen_) bossView_.RefreshComboStatus();
        lastDataTick_ = GetTickCount();
    }
    UpdateStatusText();
    UpdateCacheText();
    controls_.list.SetEmptyReason(FailureReason());
    UpdateTrayIcon();
    RaiseAlerts();
}

// What changes with time alone: the countdown, the alerts, the NTP part of the status line, the tray
// icon once the data stop, and whether the window is in the foreground.
void MainDialog::OnClockTick() {
    ScheduleClockTick();
    bossView_.UpdateCountdownText();
    UpdateStatusText();
    UpdateTrayIcon();
    RaiseAlerts();
    if (modes_.FollowForeground()) Relayout();
}

void MainDialog::ScheduleClockTick() {
    SetTimer(hwnd_, TIMER_CLOCK, ntpClock_.msUntilNextSecond() + kClockTickLateMs, nullptr);
}

void MainDialog::RaiseAlerts() {
    const AlertRules rules = AlertRulesOf(settings_);
    // Nothing is read for a player who asked for no alert.
    std::optional<AlertFeed> feed = rules.dying || rules.respawn ? bossView_.ChosenBossFeed() : AlertFeed{};
    if (!feed) return;
    feed->tickMs = GetTickCount64();
    for (const Alert& alert : alertTracker_.update(*feed, rules)) tray_.Notify(Utf8ToWide(alert.text), alert.sound);
}

void MainDialog::OnNtpTimer() {
    if (ntpClock_.isFresh()) SetTimer(hwnd_, TIMER_NTP, kNtpRefreshPeriodMs, nullptr);
    ntpClock_.syncAsync();
}

void MainDialog::Relayout() {
    if (comboOpen_ || !controls_.list.hwnd()) return;
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

void MainDialog::ApplyOpacity() {
    const int value = controls_.opacitySlider.GetValue();
    modes_.SetOpacity(value);
    settingsKeeper_.Change([value](Settings& settings) { settings.SetOpacity(value); });
    controls_.opacityValue.SetText(PercentText(value));
}

void MainDialog::ApplyTextScale() {
    const int value = controls_.scaleSlider.GetValue();
    settingsKeeper_.Change([value](Settings& settings) { settings.TextScale = value; });
    controls_.scaleValue.SetText(PercentText(value));
    controls_.list.SetTextScale(value);
}

void MainDialog::ToggleAndSave(bool Settings::*setting) {
    settingsKeeper_.Change([setting](Settings& settings) { settings.*setting = !(settings.*setting); });
}

void MainDialog::RecordWindowRect() {
    const RECT r = modes_.ClampedWindowRect();
    settingsKeeper_.Change([r](Settings& settings) { settings.SetWindowRect(r.left, r.top, r.right, r.bottom); });
}

void MainDialog::ShowSettingsNotice() {
    const std::wstring notice = settingsKeeper_.TakeNotice();
    if (!notice.empty()) Notification::Show(hwnd_, notice, L"Settings", NotificationKind::Info);
}

void MainDialog::UpdateStatusText() {
    const TrafficSnapshot traffic = apiClient_->trafficSnapshot();
    const int32_t activity = model_->read([](const ModelData& data) { return data.activityIndex; });
    controls_.status.SetText(StatusLineText(connectionState_, traffic, activity, ntpClock_.lastSyncTime()));
}

void MainDialog::UpdateCacheText() {
    controls_.cacheAge.SetText(CacheAgeText(model_->read([](const ModelData& data) { return data.serverCacheAge; })));
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
    settingsKeeper_.SaveNow();
    KillTimer(hwnd_, TIMER_CLOCK);
    KillTimer(hwnd_, TIMER_NTP);
    PostQuitMessage(0);
}
