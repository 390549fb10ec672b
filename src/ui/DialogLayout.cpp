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

DialogSize ConfirmClientSize(int textWidth, int textHeight, int yesWidth, int noWidth, DpiScale scale) {
    const int padding = scale.px(kButtonPadding);
    const int content = std::max(yesWidth + noWidth + 2 * padding + scale.px(kButtonGap), textWidth);
    return {std::max(content + 2 * scale.px(kMargin), scale.px(kMinWidth)), textHeight + scale.px(88)};
}

ConfirmButtons PlaceConfirmButtons(int clientWidth, int clientHeight, int yesWidth, int noWidth, DpiScale scale) {
    const int padding = scale.px(kButtonPadding);
    const int gap = scale.px(kButtonGap);
    const int height = scale.px(kButtonHeight);
    const int yesRight = (clientWidth - (noWidth + padding) - (yesWidth + padding) - gap) / 2 + yesWidth + padding;
    const int top = clientHeight - scale.px(48);
    const int noLeft = yesRight + gap;
    return {{yesRight - yesWidth - padding, top, yesRight, top + height},
            {noLeft, top, noLeft + noWidth + padding, top + height}};
}

ScreenRect CentredButton(int clientWidth, int clientHeight, int width, int height, int fromBottom) {
    const int left = (clientWidth - width) / 2;
    const int top = clientHeight - fromBottom;
    return {left, top, left + width, top + height};
}

DialogSize NotificationClientSize(int textWidth, int textHeight, int titleWidth, int titleHeight, bool hasTitle,
                                  DpiScale scale) {
    const int width = hasTitle ? std::max(textWidth, titleWidth) : textWidth;
    const int extra = hasTitle ? titleHeight + scale.px(8) : 0;
    return {std::max(width + 2 * scale.px(kMargin), scale.px(kMinWidth)), textHeight + scale.px(85) + extra};
}

DialogSize HelpClientSize(int workWidth, int workHeight, DpiScale scale,
                          const std::function<int(int wrapWidth)>& measureTextHeight) {
    const int margin = scale.px(kHelpWorkAreaMargin);
    const int step = scale.px(kHelpWidthStep);
    const int maxWidth = std::min(std::max(workWidth - margin, scale.px(520)), scale.px(900));
    const int availableHeight = std::max(workHeight - margin, scale.px(300));
    int width = std::min(maxWidth, scale.px(kHelpStartWidth));
    for (;;) {
        const int need = measureTextHeight(width - scale.px(kHelpTextInset)) + scale.px(kHelpChromeHeight);
        if (need <= availableHeight || width + step > maxWidth) {
            return {width, std::min(need, availableHeight)};
        }
        width += step;
    }
}

ScreenRect CentreOn(const ScreenRect& area, int width, int height) {
    const int left = area.left + (area.width() - width) / 2;
    const int top = area.top + (area.height() - height) / 2;
    return {left, top, left + width, top + height};
}
