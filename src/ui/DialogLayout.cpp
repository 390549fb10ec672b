#include "DialogLayout.h"

#include <algorithm>

namespace {

constexpr int kButtonPadding = 48;  // added to a caption's width
constexpr int kButtonGap = 15;
constexpr int kButtonHeight = 28;
constexpr int kMargin = 20;
constexpr int kMinWidth = 200;
constexpr int kHelpStartWidth = 700;
constexpr int kHelpWidthStep = 80;
constexpr int kHelpTextInset = 28;     // left and right text margins together
constexpr int kHelpChromeHeight = 72;  // text margins and the OK button row
constexpr int kHelpWorkAreaMargin = 80;

}  // namespace

DialogSize ConfirmClientSize(int textWidth, int textHeight, int yesWidth, int noWidth) {
    const int content = std::max(yesWidth + noWidth + 2 * kButtonPadding + kButtonGap, textWidth);
    return {std::max(content + 2 * kMargin, kMinWidth), textHeight + 88};
}

ConfirmButtons PlaceConfirmButtons(int clientWidth, int clientHeight, int yesWidth, int noWidth) {
    const int yesRight = (clientWidth - (noWidth + kButtonPadding) - (yesWidth + kButtonPadding) - kButtonGap) / 2 +
                         yesWidth + kButtonPadding;
    const int top = clientHeight - 48;
    const int noLeft = yesRight + kButtonGap;
    return {{yesRight - yesWidth - kButtonPadding, top, yesRight, top + kButtonHeight},
            {noLeft, top, noLeft + noWidth + kButtonPadding, top + kButtonHeight}};
}

ScreenRect CentredButton(int clientWidth, int clientHeight, int width, int height, int fromBottom) {
    const int left = (clientWidth - width) / 2;
    const int top = clientHeight - fromBottom;
    return {left, top, left + width, top + height};
}

DialogSize NotificationClientSize(int textWidth, int textHeight, int titleWidth, int titleHeight, bool hasTitle) {
    const int width = hasTitle ? std::max(textWidth, titleWidth) : textWidth;
    const int extra = hasTitle ? titleHeight + 8 : 0;
    return {std::max(width + 2 * kMargin, kMinWidth), textHeight + 85 + extra};
}

DialogSize HelpClientSize(int workWidth, int workHeight, const std::function<int(int wrapWidth)>& measureTextHeight) {
    const int maxWidth = std::min(std::max(workWidth - kHelpWorkAreaMargin, 520), 900);
    const int availableHeight = std::max(workHeight - kHelpWorkAreaMargin, 300);
    int width = std::min(maxWidth, kHelpStartWidth);
    for (;;) {
        const int need = measureTextHeight(width - kHelpTextInset) + kHelpChromeHeight;
        if (need <= availableHeight || width + kHelpWidthStep > maxWidth) {
            return {width, std::min(need, availableHeight)};
        }
        width += kHelpWidthStep;
    }
}

ScreenRect CentreOn(const ScreenRect& area, int width, int height) {
    const int left = area.left + (area.width() - width) / 2;
    const int top = area.top + (area.height() - height) / 2;
    return {left, top, left + width, top + height};
}

ScreenRect KeepInside(const ScreenRect& window, const ScreenRect& area) {
    int left = std::max(window.left, area.left);
    int top = std::max(window.top, area.top);
    if (left + window.width() > area.right) left = area.right - window.width();
    if (top + window.height() > area.bottom) top = area.bottom - window.height();
    return {left, top, left + window.width(), top + window.height()};
}
