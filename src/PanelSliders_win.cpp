#include "PanelSliders_win.h"

void PanelSliders::OnSlider(HWND slider) {
    if (slider == controls_.opacitySlider.hwnd()) {
        const int value = controls_.opacitySlider.GetValue();
        modes_.SetOpacity(value);
        settings_.Change([value](Settings& settings) { settings.SetOpacity(value); });
        controls_.opacityValue.SetText(PercentText(value));
    }
    if (slider == controls_.scaleSlider.hwnd()) {
        const int value = controls_.scaleSlider.GetValue();
        settings_.Change([value](Settings& settings) { settings.TextScale = value; });
        controls_.scaleValue.SetText(PercentText(value));
        controls_.list.SetTextScale(value);
    }
}
