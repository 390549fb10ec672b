#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <variant>

#include "MainLayout.h"
#include "Settings.h"
#include "base/DpiScale.h"
#include "ui/CustomButton_win.h"
#include "ui/CustomLabel_win.h"
#include "ui/CustomSlider_win.h"
#include "views/ComboBox_win.h"
#include "views/ProgressList_win.h"

// The ids the controls send in WM_COMMAND and WM_HSCROLL, and that tools find them by.
enum ControlId : unsigned {
    ID_COMBO = 1001,
    ID_LIST = 1002,
    ID_OPACITY_SLIDER = 1003,
    ID_OPACITY_VALUE = 1004,
    ID_STATUS = 1005,
    ID_SCALE_SLIDER = 1006,
    ID_BOSS_TITLE = 1006,  // labels send nothing, so sharing the slider's id is harmless
    ID_SCALE_VALUE = 1007,
    ID_OPACITY_CAPTION = 1008,
    ID_SCALE_CAPTION = 1009,
    ID_CLICK_THROUGH_BUTTON = 1010,
    ID_VISIBILITY_BUTTON = 1011,
    ID_COUNTDOWN = 1012,
    ID_CACHE_AGE = 1013,
    ID_BOSS_MENU_BUTTON = 1014,
};

// "75%": the values beside the sliders.
std::wstring PercentText(int value);

// The overlay's child controls. One table gives each its id, its slot in the MainLayout and how the layout
// shows it there.
class MainControls {
public:
    // Made hidden, with the texts, ranges and fonts they start with; the first Place shows them.
    void Create(HWND parent, const Settings& settings);
    void SetScale(DpiScale scale);
    // Also brings the values beside the sliders up to date while they show.
    void Place(const MainLayout& layout);

    ComboBox combo;
    ProgressList list;
    CustomSlider opacitySlider;
    CustomLabel opacityCaption;
    CustomLabel opacityValue;
    CustomSlider scaleSlider;
    CustomLabel scaleCaption;
    CustomLabel scaleValue;
    CustomLabel status;
    CustomLabel bossTitle;
    CustomLabel cacheAge;
    CustomLabel countdown;
    CustomButton clickThroughButton;
    CustomButton visibilityButton;
    CustomButton bossMenuButton;

private:
    struct Child {
        std::variant<ComboBox*, ProgressList*, CustomSlider*, CustomLabel*, CustomButton*> control;
        unsigned id;
        MainLayout::Slot MainLayout::*slot;
        int showCommand;

        BufferedWindow& window() const;
    };

    std::array<Child, 15> Children();
};
