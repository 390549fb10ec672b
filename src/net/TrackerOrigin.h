#pragma once

// Origin of the tracker the overlay reads when the settings name no other. A reserved example
// domain: the real deployment, or the demo tracker in tools/, is chosen by the caller.
constexpr const char kDefaultTrackerOrigin[] = "https://tracker.brisquel.example";
