#include "Settings.h"

#include <algorithm>
#include <climits>
#include <type_traits>
#include <utility>

#include "HotkeyText.h"

namespace {

constexpr int32_t kAny = INT32_MIN;
constexpr int32_t kAll = INT32_MAX;

const SettingKey& keyOf(const SettingKey::Field& field) {
    const auto& keys = settingKeys();
    return *std::find_if(keys.begin(), keys.end(), [&](const SettingKey& key) { return key.field == field; });
}

}  // namespace

const HotkeyFields kHotkeyFields[3] = {
    {&Settings::ClickThrough, &Settings::ClickThroughMods},
    {&Settings::Visibility, &Settings::VisibilityMods},
    {&Settings::BossMenu, &Settings::BossMenuMods},
};

int32_t SettingKey::clamp(int32_t value) const {
    return std::clamp(value, lowest, highest);
}

const std::vector<SettingKey>& settingKeys() {
    static const std::vector<SettingKey> keys = {
        {L"Window", L"Left", &Settings::Left, 100, kAny, kAll},
        {L"Window", L"Top", &Settings::Top, 100, kAny, kAll},
        {L"Window", L"Right", &Settings::Right, 550, kAny, kAll},
        {L"Window", L"Bottom", &Settings::Bottom, 800, kAny, kAll},
        {L"Window", L"Opacity", &Settings::Opacity, 75, Settings::kMinOpacity, Settings::kMaxOpacity},
        {L"Window", L"TextScale", &Settings::TextScale, 100, Settings::kMinTextScale, Settings::kMaxTextScale},
        {L"Window", L"ClickThroughMode", &Settings::ClickThroughMode, 0, kAny, kAll},
        {L"Hotkeys", L"ClickThrough", &Settings::ClickThrough, 0x42, kAny, kAll},
        {L"Hotkeys", L"ClickThroughMods", &Settings::ClickThroughMods, 6, kAny, kAll},
        {L"Hotkeys", L"Visibility", &Settings::Visibility, 0x42, kAny, kAll},
        {L"Hotkeys", L"VisibilityMods", &Settings::VisibilityMods, 2, kAny, kAll},
        {L"Hotkeys", L"BossMenu", &Settings::BossMenu, 0x41, kAny, kAll},
        {L"Hotkeys", L"BossMenuMods", &Settings::BossMenuMods, 2, kAny, kAll},
        {L"Selection", L"LastBoss", &Settings::LastBoss, 0, 0, Settings::kLongestLastBoss},
        {L"Alerts", L"Dying", &Settings::AlertDying, 0, kAny, kAll},
        {L"Alerts", L"DyingSeconds", &Settings::AlertDyingSeconds, 60, Settings::kMinAlertSeconds,
         Settings::kMaxAlertSeconds},
        {L"Alerts", L"Respawn", &Settings::AlertRespawn, 0, kAny, kAll},
        {L"Alerts", L"RespawnSeconds", &Settings::AlertRespawnSeconds, 60, Settings::kMinAlertSeconds,
         Settings::kMaxAlertSeconds},
        {L"Alerts", L"Sound", &Settings::AlertSound, 1, kAny, kAll},
        {L"Alerts", L"SoundFile", &Settings::AlertSoundFile, 0, 0, Settings::kLongestSoundFile},
    };
    return keys;
}

Settings::Settings(std::wstring iniPath) : path_(std::move(iniPath)) {
    for (const SettingKey& key : settingKeys()) {
        std::visit(
            [&](auto member) {
                using Value = std::decay_t<decltype(this->*member)>;
                if constexpr (std::is_same_v<Value, std::string>) {
                    (this->*member).clear();
                } else {
                    this->*member = static_cast<Value>(key.defaultValue);
                }
            },
            key.field);
    }
}

void Settings::SetOpacity(int32_t percent) {
    Opacity = keyOf(&Settings::Opacity).clamp(percent);
}

void Settings::SetWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    Left = left;
    Top = top;
    Right = right;
    Bottom = bottom;
}

void Settings::RestoreModifierlessHotkeys() {
    for (const HotkeyFields& hotkey : kHotkeyFields) {
        if ((this->*hotkey.modifiers & (kModAlt | kModControl | kModShift)) != 0) continue;
        this->*hotkey.key = keyOf(hotkey.key).defaultValue;
        this->*hotkey.modifiers = static_cast<uint32_t>(keyOf(hotkey.modifiers).defaultValue);
    }
}
