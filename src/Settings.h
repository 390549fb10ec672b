#pragma once

#include <cstdint>
#include <string>

// What the overlay remembers between runs, kept in "Brisquel.ini" beside the executable.
// Fields are read and written directly by the main window; Load and Save touch the file.
class Settings {
public:
    static constexpr int kMinOpacity = 10;
    static constexpr int kMaxOpacity = 100;
    static constexpr int kMinTextScale = 100;
    static constexpr int kMaxTextScale = 200;

    // Sets the defaults and the file path; no file access.
    Settings();
    // For tests: a settings file at an explicit path.
    explicit Settings(std::wstring iniPath);

    bool Load();
    bool Save();
    void SetOpacity(int32_t percent);
    void SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    const std::wstring& path() const { return path_; }
    // The tracker origin from the optional [Server] BaseUrl key; empty when absent or not a valid origin.
    // Never written by Save: it is the user's to set.
    const std::string& trackerOrigin() const { return trackerOrigin_; }

    int32_t Left = 100;
    int32_t Top = 100;
    int32_t Right = 550;
    int32_t Bottom = 800;
    int32_t Opacity = 75;
    int32_t TextScale = 100;
    bool ClickThroughMode = false;
    int32_t ClickThrough = 0x42;
    uint32_t ClickThroughMods = 6;
    int32_t Visibility = 0x42;
    uint32_t VisibilityMods = 2;
    int32_t BossMenu = 0x41;
    uint32_t BossMenuMods = 2;
    std::string LastBoss;

private:
    std::wstring path_;
    std::string trackerOrigin_;
};
