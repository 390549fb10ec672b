#pragma once

#include <string>

// The two places a settings file may live: beside the program first, as a portable tool's should; in the
// player's roaming AppData when that folder cannot be written (unzipped under Program Files, a read-only share).
struct SettingsPlaces {
    std::wstring besideProgram;  // "...\Brisquel.ini" beside the executable
    std::wstring appDataFolder;  // "...\AppData\Roaming\Brisquel", made when first needed

    // This program's: the APPDATA variable, else the known folder.
    static SettingsPlaces OfThisProgram();
};

// The file this run reads and writes its settings in.
struct SettingsPath {
    SettingsPlaces places;
    // Read from; written only when `writable`. Otherwise the settings live in memory until the overlay closes.
    std::wstring file;
    bool writable = false;
    // What the player is told when the file is not beside the program; empty when it is.
    std::wstring notice;
};

// Probes for the first place that can be written, creating the file there if missing. Moving to AppData copies
// the file beside the program, when there is one and AppData has none yet, so that the player's own sections
// (the tracker's address) come along. Without either place, the file read is AppData's if it exists, else the
// one beside the program.
SettingsPath ResolveSettingsPath(const SettingsPlaces& places);
SettingsPath ResolveSettingsPath();
// Where the settings go once saves to `failed` did not succeed: from beside the program to AppData, from there
// to memory. Places are compared as files, however spelled: a move never returns to the file that failed.
SettingsPath SettingsPathAfterFailedSave(const SettingsPath& failed);
