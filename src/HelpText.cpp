#include "HelpText.h"

#include "ProductVersion.h"

std::wstring HelpText(const std::wstring& visibility, const std::wstring& clickThrough, const std::wstring& bossMenu) {
    return std::wstring(kProductTitle) +
           L"\nAn overlay for world-boss channels, by the Brisquel developers.\n"
           L"\n"
           L"HOTKEYS (customizable in settings):\n"
           L"  " +
           visibility +
           L" - Show/Hide window\n"
           L"  " +
           clickThrough +
           L" - Toggle click-through mode\n"
           L"\n"
           L"  " +
           bossMenu +
           L" - Boss menu\n"
           L"\n"
           L"SYSTEM TRAY:\n"
           L"    Green = Connected & receiving updates\n"
           L"    Red = Disconnected (idle)\n"
           L"\n"
           L"\u2022 Double-click tray icon to show/hide\n"
           L"\u2022 Right-click for menu\n"
           L"\n"
           L"CONTROLS (when window has focus):\n"
           L"\u2022 Click hotkey buttons to rebind keys\n"
           L"  (Press ESC to cancel rebinding)\n"
           L"\u2022 Transparency slider adjusts opacity\n"
           L"\u2022 Text scale slider adjusts font size\n"
           L"\n"
           L"ALERTS (right-click the tray icon, then Alerts; both off at first):\n"
           L"\u2022 They cover the chosen boss and every boss watched: click a boss's bell in the boss list, or\n"
           L"  press Space on it, to watch it (at most 50)\n"
           L"\u2022 When a channel is about to die: a notification when a fresh channel of a covered boss will "
           L"die within DyingSeconds, once per channel until it dies or its estimate rises again; channels within "
           L"2 s share one\n"
           L"\u2022 Before the respawn: a notification when a covered boss's respawn is RespawnSeconds away\n"
           L"\u2022 Sound: Brisquel's chime with a notification, at most one in 5 s (SoundFile= names a WAV of "
           L"your own)\n"
           L"  Set the seconds in Brisquel.ini, section [Alerts]: DyingSeconds and RespawnSeconds, 10 to 600, "
           L"60 by default\n"
           L"\n"
           L"CREDITS:\n"
           L"Boss reports come from the tracker service named in Brisquel.ini.\n"
           L"Game names and artwork belong to their publishers.\n";
}
