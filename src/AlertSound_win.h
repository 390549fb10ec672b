#pragma once

#include <string>

#include "Settings.h"
#include "TrayIcon_win.h"

// The alerts' sound: the .wav file the player named in [Alerts] SoundFile, else the chime the exe carries. A named
// file that is missing, unreadable or no WAVE file plays the chime instead, and the player is told so in one
// notification per run, never in a box that would take the focus from the game.
//
// For the tests only, while the DWORD value CountAlerts under HKEY_CURRENT_USER\Software\Brisquel is non-zero,
// every sound asked for adds one to the DWORD SoundsPlayed there and leaves "chime" or the file's path in LastSound.
class AlertSound {
public:
    AlertSound(const Settings& settings, TrayIcon& tray) : settings_(settings), tray_(tray) {}

    // Starts the sound and returns at once; the next one cuts it short.
    void Play();

private:
    // The player's file, resolved beside the settings file; empty for none, or for one that cannot be played.
    std::wstring PlayableFile();

    const Settings& settings_;
    TrayIcon& tray_;
    bool refusalTold_ = false;
};
