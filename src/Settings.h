#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

// What the overlay remembers between runs, kept in a "Brisquel.ini" (SettingsPath.h says which). The values and
// their file format only: the running overlay reads and changes them through their one owner, SettingsKeeper.
class Settings {
public:
    static constexpr int kMinOpacity = 10;
    static constexpr int kMaxOpacity = 100;
    static constexpr int kMinTextScale = 100;
    static constexpr int kMaxTextScale = 200;
    static constexpr int kLongestLastBoss = 255;  // UTF-16 units read back
    static constexpr int kMinAlertSeconds = 10;
    static constexpr int kMaxAlertSeconds = 600;
    static constexpr std::size_t kMostWatchedBosses = 50;

    // Sets the defaults and the file path; no file access.
    explicit Settings(std::wstring iniPath);

    // A missing or unreadable file leaves the defaults. Load gives a hotkey without Ctrl, Shift or Alt its
    // default key and modifiers.
    bool Load();
    // Writes a whole new file beside the old one and swaps it in, so that a crash leaves one or the other. False
    // when that failed (or there is no path): the old file stays as it was, and the values in memory. Never
    // writes a text holding a control character, such as a line break, and leaves the file's value.
    bool Save();
    // The tracker origin of `iniPath` over the one loaded, when that file names a valid one: the player names the
    // tracker beside the program, and a settings file kept elsewhere cannot unset it by leaving it out.
    void PreferTrackerOriginOf(const std::wstring& iniPath);
    // Where the next Save writes; the values stay.
    void SetPath(std::wstring iniPath) { path_ = std::move(iniPath); }
    // Whether a settings file can be saved at `iniPath`: its folder takes a new file, and the file, if there is
    // one, opens for writing. Leaves nothing behind.
    static bool Writable(const std::wstring& iniPath);
    void SetOpacity(int32_t percent);
    void SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom);

    const std::wstring& path() const { return path_; }
    // The tracker origin from the optional [Server] BaseUrl key; empty when absent or not a valid origin.
    // Never written by Save: it is the user's to set.
    const std::string& trackerOrigin() const { return trackerOrigin_; }
    // Whether the window rectangle came from the file (physical pixels) rather than the defaults (96 dpi).
    bool windowRectSaved() const { return windowRectSaved_; }

    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
    int32_t Opacity;
    int32_t TextScale;
    bool ClickThroughMode;
    int32_t ClickThrough;
    uint32_t ClickThroughMods;
    int32_t Visibility;
    uint32_t VisibilityMods;
    int32_t BossMenu;
    uint32_t BossMenuMods;
    std::string LastBoss;
    bool AlertDying;
    int32_t AlertDyingSeconds;
    bool AlertRespawn;
    int32_t AlertRespawnSeconds;
    bool AlertSound;
    std::vector<std::string> WatchedBosses;  // UTF-8 boss ids whose alerts come besides the chosen boss's

private:
    // Every key Brisquel owns, into `file`; false at the first that could not be written.
    bool WriteKeys(const std::wstring& file) const;
    // A combination without Ctrl, Shift or Alt would take a plain key from every program.
    void RestoreModifierlessHotkeys();

    std::wstring path_;
    std::string trackerOrigin_;
    bool windowRectSaved_ = false;
};

// One key of the file: where it lives, the field it fills, its default and the range a read is
// clamped to. Signed fields are written as "%d", modifier sets as "%u", flags as 1 or 0; the
// boss id only when not empty, and never cleared by reading an empty one.
struct SettingKey {
    using Field = std::variant<int32_t Settings::*, uint32_t Settings::*, bool Settings::*, std::string Settings::*>;

    const wchar_t* section;
    const wchar_t* name;
    Field field;
    int32_t defaultValue;  // not used by the string key, whose default is empty
    int32_t lowest;
    int32_t highest;

    int32_t clamp(int32_t value) const;
};

// Every key, in the order the file is written.
const std::vector<SettingKey>& settingKeys();

// Where each hotkey's key and modifier set live: click-through, visibility, boss menu.
struct HotkeyFields {
    int32_t Settings::*key;
    uint32_t Settings::*modifiers;
};
extern const HotkeyFields kHotkeyFields[3];
