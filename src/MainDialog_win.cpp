#include "AppMessages.h"
#include "DiscIcon_win.h"
#include "MainDialog.h"
#include "MonitorClamp_win.h"
#include "net/TrackerOrigin.h"
#include "ui/ConfirmDialog_win.h"

namespace {

constexpr wchar_t kClassName[] = L"ZentrikMainDialog";
constexpr wchar_t kTitle[] = L"Brisquel v1.6.3";
constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_LAYERED | WS_EX_TOPMOST;
constexpr LONG kFrameStyleBits = WS_OVERLAPPEDWINDOW;
constexpr LONG kClickThroughExStyle = WS_EX_TRANSPARENT | WS_EX_NOACTIVATE;
constexpr UINT kDataPeriodMs = 100;
constexpr UINT kNtpRetryPeriodMs = 10000;     // until the clock has synced
constexpr UINT kNtpRefreshPeriodMs = 300000;  // once it is fresh

BYTE alphaForOpacity(int opacity) {
    return static_cast<BYTE>(opacity * 255 / 100);
}

const Window::WindowClass kMainClass{kClassName, 0, IDC_ARROW, IDI_APPLICATION, RGB(30, 30, 30)};

RECT windowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace

MainDialog::MainDialog(ThreadStarter threadStarter) : threadStarter_(std::move(threadStarter)) {}

// Stops the workers first: the destruction waits for them at most their shutdown budget.
MainDialog::~MainDialog() {
    workers_.reset();
}

bool MainDialog::Create() {
    settings_.Load();
    const RECT r = ClampRectToMonitor(RECT{settings_.Left, settings_.Top, settings_.Right, settings_.Bottom});
    if (!CreateBound(kMainClass, kExStyle, kTitle, kStyle, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                     0)) {
        return false;
    }
    ShowWindow(hwnd_, SW_SHOW);
    UpdateWindow(hwnd_);
    if (Initialize()) return true;
    DestroyWindow(hwnd_);
    // The quit that WM_DESTROY posts would close the caller's error box the moment it opens.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    return false;
}

bool MainDialog::Initialize() {
    SetLayeredWindowAttributes(hwnd_, 0, alphaForOpacity(settings_.Opacity), LWA_ALPHA);
    SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    const HWND focus = GetFocus();
    active_ = focus == hwnd_ || IsChild(hwnd_, focus);

    clickThrough_ = settings_.ClickThroughMode;
    if (clickThrough_) {
        ApplyClickThroughStyles();
        const RECT r = windowRect(hwnd_);
        SetWindowPos(hwnd_, HWND_TOPMOST, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_SHOWWINDOW);
        active_ = false;
    }
    ClampToMonitor();

    windowIcon_.reset(MakeDiscIcon(RGB(100, 151, 255)));
    greenIcon_.reset(MakeDiscIcon(RGB(0, 255, 0)));
    redIcon_.reset(MakeDiscIcon(RGB(255, 0, 0)));
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(windowIcon_.get()));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(windowIcon_.get()));

    SetTimer(hwnd_, TIMER_DATA, kDataPeriodMs, nullptr);
    ntpClock_.syncAsync();
    SetTimer(hwnd_, TIMER_NTP, kNtpRetryPeriodMs, nullptr);

    // The loader reads through a client of its own; the poller through the window's, which gets its
    // base URL only once the boss list is in.
    const HWND window = hwnd_;
    workers_ = RefreshWorkers::start(
        model_, std::make_shared<ApiClient>(TrackerOrigin()), apiClient_,
        [window] { PostMessageW(window, WM_BOSS_LIST_LOADED, 0, 0); }, {}, threadStarter_);
    return workers_ != nullptr;
}

void MainDialog::ApplyClickThroughStyles() {
    const LONG style = GetWindowLongW(hwnd_, GWL_STYLE);
    const LONG exStyle = GetWindowLongW(hwnd_, GWL_EXSTYLE);
    SetWindowLongW(hwnd_, GWL_STYLE, (style & ~kFrameStyleBits) | static_cast<LONG>(WS_POPUP));
    SetWindowLongW(hwnd_, GWL_EXSTYLE, exStyle | kClickThroughExStyle);
}

void MainDialog::ClampToMonitor() {
    const RECT current = windowRect(hwnd_);
    const RECT clamped = ClampRectToMonitor(current);
    if (EqualRect(&current, &clamped)) return;
    SetWindowPos(hwnd_, nullptr, clamped.left, clamped.top, clamped.right - clamped.left, clamped.bottom - clamped.top,
                 SWP_NOZORDER | (clickThrough_ ? SWP_NOACTIVATE : 0));
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
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_EXITSIZEMOVE:
            ClampToMonitor();
            return 0;
        case WM_DPICHANGED:
            MoveToSuggestedRect(lParam);
            return 0;
        case WM_BOSS_LIST_LOADED:
            OnBossListLoaded();
            return 0;
        case WM_RESERVED_1125:
            return 0;
        case WM_CONNECTION_STATE:
            connectionState_ = static_cast<unsigned>(wParam);
            return 0;
        default:
            return Window::HandleMessage(message, wParam, lParam);
    }
}

void MainDialog::OnClose() {
    if (!shutdownPending_ && !ConfirmDialog::Show(hwnd_, L"Are you sure you want to exit?", L"Confirm Exit")) return;
    DestroyWindow(hwnd_);
}

void MainDialog::OnTimer(UINT_PTR id) {
    switch (id) {
        case TIMER_DATA:
            model_->takeDataUpdated();
            break;
        case TIMER_NTP:
            OnNtpTimer();
            break;
        default:
            break;
    }
}

void MainDialog::OnNtpTimer() {
    if (ntpClock_.isFresh()) SetTimer(hwnd_, TIMER_NTP, kNtpRefreshPeriodMs, nullptr);
    ntpClock_.syncAsync();
}

std::string MainDialog::TrackerOrigin() const {
    return settings_.trackerOrigin().empty() ? std::string(kDefaultTrackerOrigin) : settings_.trackerOrigin();
}

void MainDialog::OnBossListLoaded() {
    apiClient_->setBaseUrl(TrackerOrigin());
    const HWND window = hwnd_;
    apiClient_->startWorker([window](ConnectionState state) { PostMessageW(window, WM_CONNECTION_STATE, state, 0); });
}

void MainDialog::OnDestroy() {
    apiClient_->stopWorker();
    const RECT r = ClampRectToMonitor(windowRect(hwnd_));
    settings_.SetWindowRect(r.left, r.top, r.right, r.bottom);
    settings_.Save();
    KillTimer(hwnd_, TIMER_STATUS);
    KillTimer(hwnd_, TIMER_FOREGROUND);
    KillTimer(hwnd_, TIMER_NTP);
    PostQuitMessage(0);
}
