#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <variant>

#include "ExternalNames.h"
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
    ID_COMBO = ExternalNames::ID_COMBO,
    ID_LIST = ExternalNames::ID_LIST,
    ID_OPACITY_SLIDER = ExternalNames::ID_OPACITY_SLIDER,
    ID_OPACITY_VALUE = ExternalNames::ID_OPACITY_VALUE,
    ID_STATUS = ExternalNames::ID_STATUS,
    ID_SCALE_SLIDER = ExternalNames::ID_SCALE_SLIDER,
    ID_BOSS_TITLE = ExternalNames::ID_BOSS_TITLE,
    ID_SCALE_VALUE = ExternalNames::ID_SCALE_VALUE,
    ID_OPACITY_CAPTION = ExternalNames::ID_OPACITY_CAPTION,
    ID_SCALE_CAPTION = ExternalNames::ID_SCALE_CAPTION,
    ID_CLICK_THROUGH_BUTTON = ExternalNames::ID_CLICK_THROUGH_BUTTON,
    ID_VISIBILITY_BUTTON = ExternalNames::ID_VISIBILITY_BUTTON,
    ID_COUNTDOWN = ExternalNames::ID_COUNTDOWN,
    ID_CACHE_AGE = ExternalNames::ID_CACHE_AGE,
    ID_BOSS_MENU_BUTTON = ExternalNames::ID_BOSS_MENU_BUTTON,
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
    // Tab and Shift+Tab: the next shown control of the panel takes the focus, wrapping, and its ring shows.
    void MoveFocus(bool backwards);
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
