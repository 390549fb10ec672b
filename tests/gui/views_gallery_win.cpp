// The two data views at known positions, for the GUI tests: four channel lists in known states and the boss
// combo box, on a borderless popup at the screen origin over the kit. What the owner hears (combo box
// notifications) and every change of a list's scroll position are reported, one line each.
#include <windows.h>

#include <vector>

#include "gallery_win.h"
#include "ui/Window_win.h"
#include "views/ComboBox_win.h"
#include "views/ProgressList_win.h"

namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr unsigned kComboId = 1001;

class ViewsGallery : public Window {
public:
    bool Create() {
        const WindowClass galleryClass{L"BrisquelViewsGallery", 0, IDC_ARROW, nullptr, RGB(30, 30, 30)};
        if (!CreateBound(galleryClass, 0, L"Views gallery", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 600,
                         nullptr, 0)) {
            return false;
        }
        // One row per bar colour, a stale row, no estimates: exactly five rows of 40 pixels.
        thresholds_.Create(hwnd_, 10, 10, 380, 200, 1);
        thresholds_.SetTextScale(100);
        thresholds_.SetRows({{1, 24, 0, 0, 0, 0},
                             {2, 25, 0, 0, 0, 0},
                             {3, 49, 0, 0, 0, 0},
                             {4, 50, 0, 0, 0, 0},
                             {5, 80, 0, 0, 0x808080, 0xC8C8C8}});
        std::vector<ChannelRow> many;
        for (int i = 0; i < 30; ++i) many.push_back({i + 1, 100 - 3 * i, 0.42, 95.7 + i, 0, 0});
        overflowing_.Create(hwnd_, 410, 10, 380, 200, 2);
        overflowing_.SetTextScale(100);
        overflowing_.SetRows(many);
        empty_.Create(hwnd_, 10, 220, 380, 100, 3);
        scaled_.Create(hwnd_, 410, 220, 380, 300, 4);
        scaled_.SetTextScale(150);
        scaled_.SetRows(many);
        // The same rows twice: one list shows them from the start, the other gets them as an update of a
        // few rows (WM_TIMER), which repaints only those rows; the two must look alike.
        updated_.Create(hwnd_, 10, 390, 185, 200, 5);
        updated_.SetRows(many);
        fresh_.Create(hwnd_, 205, 390, 185, 200, 6);
        fresh_.SetRows(changedRows(many));
        combo_.Create(hwnd_, 10, 340, 250, 30, kComboId);
        combo_.AddItem("Drake", RGB(255, 0, 0), &tags_[0], 0, 0);
        combo_.AddItem("Wyrm", RGB(0, 180, 0), &tags_[1], 3, 12);
        combo_.AddItem("Hydra", RGB(0, 180, 0), &tags_[2], 5, 20);
        SetTimer(hwnd_, kWatchTimer, 50, nullptr);
        return true;
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
                report("command id=%u code=%u selected=%d", LOWORD(wParam), HIWORD(wParam), selectedIndex());
                return 0;
            case WM_TIMER:
                if (!rowsUpdated_) {
                    rowsUpdated_ = true;
                    std::vector<ChannelRow> shown;
                    for (int i = 0; i < 30; ++i) shown.push_back({i + 1, 100 - 3 * i, 0.42, 95.7 + i, 0, 0});
                    updated_.SetRows(changedRows(shown));
                }
                reportScroll("overflowing", overflowing_, lastOverflowing_);
                reportScroll("scaled", scaled_, lastScaled_);
                return 0;
            default:
                return Window::HandleMessage(message, wParam, lParam);
        }
    }

private:
    // Every third row with less HP and a later estimate.
    static std::vector<ChannelRow> changedRows(std::vector<ChannelRow> rows) {
        for (size_t i = 0; i < rows.size(); i += 3) {
            rows[i].hpPercent -= 1;
            rows[i].etd += 30;
        }
        return rows;
    }

    int selectedIndex() const {
        const auto* tag = static_cast<const int*>(combo_.GetSelectedData());
        return tag ? *tag : -1;
    }

    static void reportScroll(const char* name, const ProgressList& list, int& last) {
        if (list.ScrollPosition() == last) return;
        last = list.ScrollPosition();
        report("scroll %s=%d", name, last);
    }

    ProgressList thresholds_, overflowing_, empty_, scaled_, updated_, fresh_;
    bool rowsUpdated_ = false;
    ComboBox combo_;
    int tags_[3] = {0, 1, 2};
    int lastOverflowing_ = 0, lastScaled_ = 0;
};

}  // namespace

bool ShowViewsGallery() {
    static ViewsGallery gallery;
    return gallery.hwnd() || gallery.Create();
}
