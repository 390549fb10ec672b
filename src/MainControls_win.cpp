#include "MainControls_win.h"

#include <vector>

#include "ui/FocusRing_win.h"
#include "ui/KeyboardNavigation.h"
#include "ui/VectorIcons.h"

namespace {

constexpr int kSmallFontPoints = 14;
// Smaller than the labels' default, so that the whole status line and the settings rows fit.
constexpr int kStatusFontPoints = 9;
constexpr int kPanelFontPoints = 11;

template <typename Control>
void createChild(Control& control, HWND parent, unsigned id) {
    control.Create(parent, 0, 0, 100, 25, id);
}

void createChild(CustomButton& button, HWND parent, unsigned id) {
    button.Create(parent, 0, 0, 100, 25, id, L"");
    // Each button here rebinds a hotkey.
    button.SetIcon(VectorIconGear);
}

void place(HWND control, const MainLayout::Slot& slot, int showCommand) {
    if (slot.placed) {
        SetWindowPos(control, nullptr, slot.bounds.left, slot.bounds.top, slot.bounds.width(), slot.bounds.height(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(control, slot.shown ? showCommand : SW_HIDE);
}

}  // namespace

std::wstring PercentText(int value) {
    return std::to_wstring(value) + L"%";
}

// In the order the controls are made, which is also their order on the screen. The settings panel appears
// without taking the focus from whatever has it.
std::array<MainControls::Child, 15> MainControls::Children() {
    return {{
        {&combo, ID_COMBO, &MainLayout::combo, SW_SHOW},
        {&list, ID_LIST, &MainLayout::list, SW_SHOW},
        {&opacitySlider, ID_OPACITY_SLIDER, &MainLayout::opacitySlider, SW_SHOWNA},
        {&opacityValue, ID_OPACITY_VALUE, &MainLayout::opacityValue, SW_SHOWNA},
        {&scaleSlider, ID_SCALE_SLIDER, &MainLayout::scaleSlider, SW_SHOWNA},
        {&scaleValue, ID_SCALE_VALUE, &MainLayout::scaleValue, SW_SHOWNA},
        {&status, ID_STATUS, &MainLayout::status, SW_SHOW},
        {&bossTitle, ID_BOSS_TITLE, &MainLayout::bossTitle, SW_SHOW},
        {&cacheAge, ID_CACHE_AGE, &MainLayout::cacheAge, SW_SHOW},
        {&countdown, ID_COUNTDOWN, &MainLayout::countdown, SW_SHOW},
        {&opacityCaption, ID_OPACITY_CAPTION, &MainLayout::opacityCaption, SW_SHOWNA},
        {&scaleCaption, ID_SCALE_CAPTION, &MainLayout::scaleCaption, SW_SHOWNA},
        {&clickThroughButton, ID_CLICK_THROUGH_BUTTON, &MainLayout::clickThroughButton, SW_SHOWNA},
        {&visibilityButton, ID_VISIBILITY_BUTTON, &MainLayout::visibilityButton, SW_SHOWNA},
        {&bossMenuButton, ID_BOSS_MENU_BUTTON, &MainLayout::bossMenuButton, SW_SHOWNA},
    }};
}

BufferedWindow& MainControls::Child::window() const {
    return *std::visit([](auto* typed) -> BufferedWindow* { return typed; }, control);
}

void MainControls::Create(HWND parent, const Settings& settings) {
    for (const Child& child : Children()) {
        std::visit([&](auto* typed) { createChild(*typed, parent, child.id); }, child.control);
        ShowWindow(child.window().hwnd(), SW_HIDE);
    }
    opacitySlider.SetRange(Settings::kMinOpacity, Settings::kMaxOpacity);
    opacitySlider.SetValue(settings.Opacity);
    opacityValue.SetText(PercentText(settings.Opacity));
    scaleSlider.SetRange(Settings::kMinTextScale, Settings::kMaxTextScale);
    scaleSlider.SetValue(settings.TextScale);
    scaleValue.SetText(PercentText(settings.TextScale));
    status.SetFontSize(kStatusFontPoints);
    status.SetText(L"Connecting...");
    bossTitle.SetFontSize(kSmallFontPoints);
    cacheAge.SetFontSize(kSmallFontPoints);
    opacityCaption.SetText(L"Transparency:");
    scaleCaption.SetText(L"Text Scale:");
    // What a screen reader calls the controls whose caption is a label beside them, or their content.
    combo.SetAccessibleName(L"Boss");
    list.SetAccessibleName(L"Channels");
    opacitySlider.SetAccessibleName(L"Transparency");
    scaleSlider.SetAccessibleName(L"Text Scale");
    for (CustomLabel* label : {&opacityCaption, &opacityValue, &scaleCaption, &scaleValue}) {
        label->SetFontSize(kPanelFontPoints);
    }
    list.SetTextScale(settings.TextScale);
}

void MainControls::MoveFocus(bool backwards) {
    // In the order they stand in the panel, top to bottom.
    const std::array<HWND, 6> stops{combo.hwnd(),
                                    opacitySlider.hwnd(),
                                    scaleSlider.hwnd(),
                                    visibilityButton.hwnd(),
                                    clickThroughButton.hwnd(),
                                    bossMenuButton.hwnd()};
    std::vector<bool> shown;
    int current = -1;
    for (HWND stop : stops) {
        if (stop == GetFocus()) current = static_cast<int>(shown.size());
        shown.push_back(IsWindowVisible(stop) != FALSE);
    }
    const int next = StepSelection(shown, current, backwards ? -1 : 1);
    if (next < 0) return;
    SetFocus(stops[static_cast<size_t>(next)]);
    RevealFocusRings(stops[static_cast<size_t>(next)]);
}

void MainControls::SetScale(DpiScale scale) {
    for (const Child& child : Children()) child.window().SetScale(scale);
}

void MainControls::Place(const MainLayout& layout) {
    for (const Child& child : Children()) place(child.window().hwnd(), layout.*child.slot, child.showCommand);
    if (layout.opacityValue.shown) {
        opacityValue.SetText(PercentText(opacitySlider.GetValue()));
        scaleValue.SetText(PercentText(scaleSlider.GetValue()));
    }
}
