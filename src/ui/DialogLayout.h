#pragma once

#include <functional>

#include "base/DpiScale.h"
#include "base/ScreenRect.h"

// The dialogs' size and placement arithmetic, in client pixels unless named otherwise. The lengths
// named below are 96 dpi values; each grows with the dialog's scale.

struct DialogSize {
    int width = 0;
    int height = 0;
};

// Message text wraps at this width in the confirmation and the notification.
constexpr int kDialogWrapWidth = 350;

// Yes and No (each caption + 48 px wide, 15 px apart) below the message, at least 200 px wide.
DialogSize ConfirmClientSize(int textWidth, int textHeight, int yesWidth, int noWidth, DpiScale scale);
// Yes and No, 28 px high, 48 px above the bottom; the pair is centred.
struct ConfirmButtons {
    ScreenRect yes;
    ScreenRect no;
};
ConfirmButtons PlaceConfirmButtons(int clientWidth, int clientHeight, int yesWidth, int noWidth, DpiScale scale);
// A button of the given size, centred horizontally, its top fromBottom px above the client's bottom.
ScreenRect CentredButton(int clientWidth, int clientHeight, int width, int height, int fromBottom);
// A title line, when there is one, adds its height and 8 px above the message.
DialogSize NotificationClientSize(int textWidth, int textHeight, int titleWidth, int titleHeight, bool hasTitle,
                                  DpiScale scale);
// Widens from 700 px in 80 px steps until the text's measured height fits the work area (or the
// widest allowed is reached); taller text is cut off at the bottom.
DialogSize HelpClientSize(int workWidth, int workHeight, DpiScale scale,
                          const std::function<int(int wrapWidth)>& measureTextHeight);

// A width x height rectangle centred on area (integer halves).
ScreenRect CentreOn(const ScreenRect& area, int width, int height);
