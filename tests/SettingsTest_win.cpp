#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <type_traits>
#include <variant>

#include "Settings.h"
#include "SettingsKeeper_win.h"
#include "SingleInstance_win.h"
#include "base/WideText.h"
#include "support/TempDir.h"

using namespace std::string_literals;

namespace {

std::wstring iniIn(const TempDir& dir) {
    return (dir.path() / L"Brisquel.ini").wstring();
}

std::string readBytes(const std::filesystem::path& path) {
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

void writeBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

std::string utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

// Every field but the boss id, in the file's order.
std::vector<int64_t> numbers(const Settings& settings) {
    std::vector<int64_t> values;
    for (const SettingKey& key : settingKeys()) {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::string Settings::*>)
                    values.push_back(settings.*member);
            },
            key.field);
    }
    return values;
}

std::string unixPath(const std::filesystem::path& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    static const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* name = unixName(path.c_str());
    const std::string text = name ? name : "";
    HeapFree(GetProcessHeap(), 0, name);
    return text;
}

// Files and folders no one can write, not even root (these tests' user), while it lives: chattr's immutable
// attribute. Wine starts a Unix program without waiting for it, so the command leaves a mark when done.
class Unwritable {
public:
    explicit Unwritable(const std::vector<std::filesystem::path>& paths) {
        for (const auto& path : paths) paths_ += " '" + unixPath(path) + "'";
        chattr('+');
    }
    ~Unwritable() { chattr('-'); }

private:
    void chattr(char change) const {
        if (paths_.empty()) return;
        const std::filesystem::path done = scratch_.path() / L"done";
        std::wstring start = Utf8ToWide("start.exe /unix /bin/sh -c \"chattr "s + change + "i" + paths_ + "; touch '" +
                                        unixPath(done) + "'\"");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, start.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                           &process)) {
            WaitForSingleObject(process.hProcess, INFINITE);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        for (int i = 0; i < 500 && !std::filesystem::exists(done); ++i) Sleep(20);
        std::filesystem::remove(done);
    }

    std::string paths_;  // quoted for the shell
    TempDir scratch_;
};

const std::vector<int64_t> kDefaults = {100, 100, 550, 800, 75, 100, 0, 0x42, 6, 0x42, 2, 0x41, 2, 0, 60, 0, 60, 1};
const std::string kDragonBoss = "boss-\xC3\xBC\xE7\x8E\x8B\xF0\x9F\x90\x89";

}  // namespace

// A file saved by an earlier release loads to the same settings, with the alerts off, and saves back to the
// same bytes followed by the alerts' section.
TEST(Settings, ReadsAndRewritesAFileFromAnEarlierReleaseUnchanged) {
    const std::filesystem::path saved = std::filesystem::path("tests") / "data" / "saved-settings.ini";
    const std::string original = readBytes(saved);
    ASSERT_FALSE(original.empty());
    TempDir dir;
    writeBytes(iniIn(dir), original);
    Settings settings(iniIn(dir));
    settings.Load();
    EXPECT_EQ(numbers(settings), std::vector<int64_t>({-1800, -50, -1200, 700, 40, 180, 1, 0x70, 0x4003, 0x71, 1, 0x72,
                                                       12, 0, 60, 0, 60, 1}));
    EXPECT_EQ(settings.LastBoss, kDragonBoss);

    settings.Save();
    const std::string rewritten =
        original + utf16(L"[Alerts]\r\nDying=0\r\nDyingSeconds=60\r\nRespawn=0\r\nRespawnSeconds=60\r\nSound=1\r\n");
    EXPECT_EQ(readBytes(iniIn(dir)), rewritten);
    TempDir fresh;
    settings.SetPath(iniIn(fresh));
    settings.Save();
    EXPECT_EQ(readBytes(iniIn(fresh)), rewritten);
}

TEST(Settings, LoadClampsAndToleratesGarbageInAnyEncoding) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int64_t> expected;
        std::string lastBoss;
    };
    // The defaults with the named keys changed.
    const auto with = [](std::initializer_list<std::pair<std::wstring, int64_t>> changes) {
        std::vector<int64_t> values = kDefaults;
        for (const auto& [name, value] : changes) {
            size_t index = 0;
            for (const SettingKey& key : settingKeys()) {
                if (key.name == name) break;
                index += !std::holds_alternative<std::string Settings::*>(key.field);
            }
            values.at(index) = value;
        }
        return values;
    };
    const std::string body = "[Window]\r\nLeft=-1500\r\n[Selection]\r\nLastBoss=" + kDragonBoss + "\r\n";
    const Case cases[] = {
        {"low and huge clamp", "[Window]\nOpacity=5\nTextScale=99999999999999\n",
         with({{L"Opacity", 10}, {L"TextScale", 200}}), ""},
        {"non-zero mode is on", "[Window]\nClickThroughMode=7\n", with({{L"ClickThroughMode", 1}}), ""},
        {"alert switches; seconds at the top kept, past it clamped",
         "[Alerts]\nDying=3\nDyingSeconds=600\nRespawn=1\nRespawnSeconds=601\nSound=0\n",
         with({{L"Dying", 1}, {L"DyingSeconds", 600}, {L"Respawn", 1}, {L"RespawnSeconds", 600}, {L"Sound", 0}}), ""},
        // An empty value keeps its default.
        {"garbage reads as zero", "[Window]\nLeft=abc\nOpacity=xyz\n[Hotkeys]\nClickThrough=zz\nClickThroughMods=\n",
         with({{L"Left", 0}, {L"Opacity", 10}, {L"ClickThrough", 0}}), ""},
        {"negatives", "[Window]\nLeft=-1500\nOpacity=-5\n[Hotkeys]\nClickThroughMods=-2\n",
         with({{L"Left", -1500}, {L"Opacity", 10}, {L"ClickThroughMods", static_cast<uint32_t>(-2)}}), ""},
        // Bits 1, 2 and 4 are Alt, Ctrl and Shift; 8 is the Windows key, which is not enough on its own.
        {"a hotkey without Ctrl, Shift or Alt is its default",
         "[Hotkeys]\nClickThrough=67\nClickThroughMods=x\nVisibility=68\nVisibilityMods=8\n"
         "BossMenu=69\nBossMenuMods=1\n",
         with({{L"BossMenu", 69}, {L"BossMenuMods", 1}}), ""},
        {"keys outside their section are not read", "Opacity=40\n[Other]\nLeft=5\n[window ]\n", kDefaults, ""},
        {"not an ini at all", "\x01\x02 binary \xff\xfe junk\0[Window\n=\n"s, kDefaults, ""},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + body, with({{L"Left", -1500}}), kDragonBoss},
        {"UTF-16 with a byte-order mark", "\xFF\xFE" + utf16(Utf8ToWide(body)), with({{L"Left", -1500}}), kDragonBoss},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(iniIn(dir), c.bytes);
        Settings settings(iniIn(dir));
        settings.Load();
        EXPECT_EQ(numbers(settings), c.expected);
        EXPECT_EQ(settings.LastBoss, c.lastBoss);
        EXPECT_EQ(readBytes(iniIn(dir)), c.bytes) << "reading never writes";
    }
}

// Save writes only the keys it owns: the server key and a boss id it never chose (empty), or chose with a line
// break that would start a section of its own or another control character, stay as the user left them.
TEST(Settings, SaveKeepsTheKeysItDoesNotOwn) {
    const std::string server = "[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n";
    for (const std::string& chosen : {""s, "a\r\n[Server]\r\nBaseUrl=http://127.0.0.1:1/"s, "a\x01"s}) {
        SCOPED_TRACE(chosen);
        TempDir dir;
        writeBytes(iniIn(dir), server + "[Selection]\r\nLastBoss=" + std::string(300, 'x') + "\r\n");
        Settings settings(iniIn(dir));
        settings.Load();
        EXPECT_EQ(settings.trackerOrigin(), "http://127.0.0.1:8765");
        EXPECT_EQ(settings.LastBoss, std::string(255, 'x'));
        settings.Opacity = 55;
        settings.LastBoss = chosen;
        settings.Save();
        // The file had no byte-order mark, so it stays in the ANSI code page.
        const std::string text = readBytes(iniIn(dir));
        for (const std::string& kept : {server, "LastBoss=" + std::string(300, 'x'), "Opacity=55"s})
            EXPECT_NE(text.find(kept), std::string::npos) << kept;
        EXPECT_EQ(text.find("127.0.0.1:1/"), std::string::npos);
    }
}

TEST(Settings, WorksInNonAsciiDirectoriesAndFailsSoftInOverlongOnes) {
    TempDir nonAscii(L"-\u00fcber-\u738b");
    TempDir longBase;
    std::filesystem::path deep = longBase.path();
    while (deep.wstring().size() < 300) deep /= std::wstring(40, L'd');
    std::filesystem::create_directories(deep);

    for (const std::filesystem::path& directory : {nonAscii.path(), deep}) {
        SCOPED_TRACE(WideToUtf8(directory.wstring()));
        const std::wstring path = (directory / L"Brisquel.ini").wstring();
        Settings saved(path);
        saved.TextScale = 140;
        saved.LastBoss = "\xE7\x8E\x8B";
        saved.Save();
        Settings loaded(path);
        loaded.Load();
        const bool roundTripped = loaded.TextScale == 140 && loaded.LastBoss == "\xE7\x8E\x8B";
        // Where the profile functions stop at MAX_PATH, nothing half-read may surface.
        const bool defaults = numbers(loaded) == kDefaults && loaded.LastBoss.empty();
        EXPECT_TRUE(directory == deep ? roundTripped || defaults : roundTripped);
    }
}

// A read-only install or a folder turning read-only while running: the player's settings and tracker address are
// read, and changes go to AppData, or with AppData unwritable too stay in memory; the notice says which.
TEST(SettingsKeeper, KeepsTheSettingsWhereTheyCanBeWrittenAndSaysWhere) {
    enum Place { Beside, AppData, Memory };
    struct Case {
        const char* name;
        bool besideLocked, appDataLocked, besideLockedWhileRunning;
        Place expected;
    };
    const Case cases[] = {
        {"the program's folder can be written", false, false, false, Beside},
        {"a read-only install with the player's file", true, false, false, AppData},
        {"the program's folder turns read-only while running", false, false, true, AppData},
        {"neither place can be written", true, true, false, Memory},
    };
    const std::string players = "[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n[Window]\r\nOpacity=40\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir install, appData;
        const SettingsPlaces places{iniIn(install), (appData.path() / L"Brisquel").wstring()};
        const std::wstring appDataFile = places.appDataFolder + L"\\Brisquel.ini";
        writeBytes(places.besideProgram, players);
        using Paths = std::vector<std::filesystem::path>;
        const Paths beside{install.path(), places.besideProgram};
        Paths lockAtStart = c.besideLocked ? beside : Paths{};
        if (c.appDataLocked) lockAtStart.push_back(appData.path());
        const Unwritable lockedAtStart(lockAtStart);
        SettingsKeeper keeper(ResolveSettingsPath(places));
        const Unwritable lockedLater(c.besideLockedWhileRunning ? beside : Paths{});
        EXPECT_EQ(keeper->trackerOrigin(), "http://127.0.0.1:8765");
        EXPECT_EQ(keeper->Opacity, 40);
        keeper.Change([](Settings& settings) { settings.TextScale = 170; });
        keeper.SaveNow();
        EXPECT_EQ(keeper->TextScale, 170);

        const std::wstring notice = keeper.TakeNotice();
        if (c.expected != Memory) {
            Settings saved(c.expected == Beside ? places.besideProgram : appDataFile);
            saved.Load();
            EXPECT_EQ(numbers(saved), numbers(keeper.values()));
            EXPECT_EQ(saved.trackerOrigin(), "http://127.0.0.1:8765");
        }
        if (c.expected != Beside) {
            EXPECT_EQ(readBytes(places.besideProgram), players);
        }
        EXPECT_EQ(std::filesystem::exists(appDataFile), c.expected == AppData);
        EXPECT_EQ(notice.empty(), c.expected == Beside);
        const std::wstring told[] = {L"", places.appDataFolder + L" instead", L"cannot be saved"};
        EXPECT_NE(notice.find(told[c.expected]), std::wstring::npos) << WideToUtf8(notice);
        EXPECT_TRUE(keeper.TakeNotice().empty()) << "told once";
    }
}

// A second start meets the first however the path's letters are cased, beyond ASCII too.
TEST(SingleInstance, KeyFoldsCaseByTheSystemsRules) {
    EXPECT_EQ(SingleInstance::KeyOf(L"C:\\\u00dcn\u00efcode\\Brisquel.ini"),
              SingleInstance::KeyOf(L"c:/\u00fcn\u00cfCODE/brisquel.ini"));
    EXPECT_NE(SingleInstance::KeyOf(L"C:\\\u00c4\\Brisquel.ini"), SingleInstance::KeyOf(L"C:\\\u00c5\\Brisquel.ini"));
}
