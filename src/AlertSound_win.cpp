#include "AlertSound_win.h"

#include <windows.h>

#include <mmsystem.h>

#include <filesystem>

#include "AppResources.h"
#include "ExternalNames.h"
#include "WaveFile.h"
#include "base/ScopedHandles_win.h"
#include "base/WideText.h"
#include "ui/TestHooks_win.h"

namespace {

// Opens the file and looks at its size and first bytes, so that a wrong name falls back to the chime rather than
// to the system's default sound or to silence.
bool looksPlayable(const std::wstring& path) {
    const UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    uint8_t head[kWaveHeadBytes] = {};
    DWORD read = 0;
    return file.get() != INVALID_HANDLE_VALUE && GetFileSizeEx(file.get(), &size) &&
           ReadFile(file.get(), head, sizeof head, &read, nullptr) &&
           WaveFileLooksPlayable(head, read, static_cast<uint64_t>(size.QuadPart));
}

}  // namespace

std::wstring AlertSound::PlayableFile() {
    if (settings_.AlertSoundFile.empty()) return {};
    const std::filesystem::path named(Utf8ToWide(settings_.AlertSoundFile));
    const std::wstring path = (std::filesystem::path(settings_.path()).parent_path() / named).wstring();
    if (looksPlayable(path)) return path;
    if (!refusalTold_) {
        refusalTold_ = true;
        tray_.Notify(L"Sound file not usable: " + named.filename().wstring() + L". Playing the chime.");
    }
    return {};
}

void AlertSound::Play() {
    const std::wstring file = PlayableFile();
    if (file.empty()) {
        PlaySoundW(MAKEINTRESOURCEW(IDR_CHIME), GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC | SND_NODEFAULT);
    } else {
        PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
    }
    CountInTestHook(ExternalNames::HOOK_COUNT_ALERTS, ExternalNames::HOOK_SOUNDS_PLAYED, ExternalNames::HOOK_LAST_SOUND,
                    file.empty() ? L"chime" : file);
}
