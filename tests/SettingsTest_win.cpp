#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>
#include <type_traits>
#include <variant>

#include "Settings.h"
#include "SettingsKeeper_win.h"
#include "SingleInstance_win.h"
#include "base/ScopedHandles_win.h"
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

// The numeric fields that differ from their defaults, as "Key=value ..." in the file's order.
std::string changes(const Settings& settings) {
    std::string text;
    for (const SettingKey& key : settingKeys()) {
        std::visit(
            [&](auto member) {
                if constexpr (!std::is_same_v<decltype(member), std::string Settings::*>) {
                    const auto value = static_cast<int64_t>(settings.*member);
                    if (value != key.defaultValue)
                        text += (text.empty() ? "" : " ") + WideToUtf8(key.name) + "=" + std::to_string(value);
                }
            },
            key.field);
    }
    return text;
}

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
    EXPECT_EQ(changes(settings),
              "Left=-1800 Top=-50 Right=-1200 Bottom=700 Opacity=40 TextScale=180 ClickThroughMode=1 ClickThrough=112 "
              "ClickThroughMods=16387 Visibility=113 VisibilityMods=1 BossMenu=114 BossMenuMods=12");
    EXPECT_EQ(settings.LastBoss, kDragonBoss);

    settings.Save();
    const std::string rewritten =
        original +
        utf16(L"[Alerts]\r\nDying=0\r\nDyingSeconds=60\r\nRespawn=0\r\nRespawnSeconds=60\r\nSound=1\r\nWatch=\r\n");
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
        std::string expected;  // changes from the defaults
        std::string lastBoss;
    };
    const std::string body = "[Window]\r\nLeft=-1500\r\n[Selection]\r\nLastBoss=" + kDragonBoss + "\r\n";
    const Case cases[] = {
        {"low and huge clamp", "[Window]\nOpacity=5\nTextScale=99999999999999\n", "Opacity=10 TextScale=200", ""},
        {"non-zero mode is on", "[Window]\nClickThroughMode=7\n", "ClickThroughMode=1", ""},
        {"alert switches; seconds at the top kept, past it clamped",
         "[Alerts]\nDying=3\nDyingSeconds=600\nRespawn=1\nRespawnSeconds=601\nSound=0\n",
         "Dying=1 DyingSeconds=600 Respawn=1 RespawnSeconds=600 Sound=0", ""},
        // An empty value keeps its default.
        {"garbage reads as zero", "[Window]\nLeft=abc\nOpacity=xyz\n[Hotkeys]\nClickThrough=zz\nClickThroughMods=\n",
         "Left=0 Opacity=10 ClickThrough=0", ""},
        {"negatives", "[Window]\nLeft=-1500\nOpacity=-5\n[Hotkeys]\nClickThroughMods=-2\n",
         "Left=-1500 Opacity=10 ClickThroughMods=4294967294", ""},
        // Bits 1, 2 and 4 are Alt, Ctrl and Shift; 8 is the Windows key, which is not enough on its own.
        {"a hotkey without Ctrl, Shift or Alt is its default",
         "[Hotkeys]\nClickThrough=67\nClickThroughMods=x\nVisibility=68\nVisibilityMods=8\n"
         "BossMenu=69\nBossMenuMods=1\n",
         "BossMenu=69 BossMenuMods=1", ""},
        {"keys outside their section are not read", "Opacity=40\n[Other]\nLeft=5\n[window ]\n", "", ""},
        {"an unreadable watch list disturbs nothing", "[Alerts]\nWatch=%ZZ,%C3,\xff\nSound=0\n", "Sound=0", ""},
        {"not an ini at all", "\x01\x02 binary \xff\xfe junk\0[Window\n=\n"s, "", ""},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + body, "Left=-1500", kDragonBoss},
        {"UTF-16 with a byte-order mark", "\xFF\xFE" + utf16(Utf8ToWide(body)), "Left=-1500", kDragonBoss},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeBytes(iniIn(dir), c.bytes);
        Settings settings(iniIn(dir));
        settings.Load();
        EXPECT_EQ(changes(settings), c.expected);
        EXPECT_EQ(settings.LastBoss, c.lastBoss);
        EXPECT_EQ(readBytes(iniIn(dir)), c.bytes) << "reading never writes";
    }
}

// Save writes only the keys it owns: the server key, the player's notes and a boss id it never chose (empty), or
// chose with a line break that would start a section of its own or another control character, stay as the user
// left them. A save that cannot replace the file (a reader holds it, not sharing its deletion) leaves it as it was,
// and no copy behind.
TEST(Settings, SaveKeepsTheKeysItDoesNotOwn) {
    const std::string server = "[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n; the player's note\r\n";
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
        EXPECT_TRUE(settings.Save());
        // The file had no byte-order mark, so it stays in the ANSI code page.
        const std::string text = readBytes(iniIn(dir));
        for (const std::string& kept : {server, "LastBoss=" + std::string(300, 'x'), "Opacity=55"s})
            EXPECT_NE(text.find(kept), std::string::npos) << kept;
        EXPECT_EQ(text.find("127.0.0.1:1/"), std::string::npos);

        const UniqueHandle reader(CreateFileW(iniIn(dir).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
        settings.Opacity = 66;
        EXPECT_FALSE(settings.Save());
        EXPECT_EQ(readBytes(iniIn(dir)), text);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no copy left";
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
        saved.WatchedBosses = {kDragonBoss, "a, b;c=[d]", std::string(255, 'x')};
        saved.Save();
        Settings loaded(path);
        loaded.Load();
        const bool roundTripped =
            loaded.TextScale == 140 && loaded.LastBoss == "\xE7\x8E\x8B" && loaded.WatchedBosses == saved.WatchedBosses;
        // Where the profile functions stop at MAX_PATH, nothing half-read may surface.
        const bool defaults = changes(loaded).empty() && loaded.LastBoss.empty() && loaded.WatchedBosses.empty();
        EXPECT_TRUE(directory == deep ? roundTripped || defaults : roundTripped);
    }
}

// A place that cannot be written (a folder standing where the new file would go, a file where the folder would be)
// passes the settings on: from beside the program to AppData, from there to memory; the player is told which,
// once. The tracker named beside the program stays the one used, and is not written into an older AppData file
// that lacks it. The end-to-end tests lock real folders, and a folder turning read-only while the overlay runs.
TEST(SettingsKeeper, KeepsTheSettingsWhereTheyCanBeWrittenAndSaysWhere) {
    for (const int unwritable : {0, 1, 2}) {  // how many places cannot be written
        SCOPED_TRACE(unwritable);
        TempDir dir;
        writeBytes((dir.path() / L"file").wstring(), "");
        const std::wstring blocked = (dir.path() / L"file" / L"Brisquel").wstring();
        const SettingsPlaces places{unwritable > 1 ? blocked + L".ini" : iniIn(dir),
                                    unwritable > 1 ? blocked : (dir.path() / L"AppData").wstring()};
        const std::wstring savedIn[] = {places.besideProgram, places.appDataFolder + L"\\Brisquel.ini", L""};
        if (unwritable < 2) writeBytes(places.besideProgram, "[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n");
        if (unwritable == 1) {
            std::filesystem::create_directories(places.appDataFolder);
            writeBytes(savedIn[1], "[Window]\r\nOpacity=60\r\n");
            std::filesystem::create_directories(places.besideProgram + L".saving");
        }
        SettingsKeeper keeper(ResolveSettingsPath(places));
        keeper.Change([](Settings& settings) { settings.TextScale = 170; });
        keeper.SaveNow();
        EXPECT_EQ(keeper->TextScale, 170);
        EXPECT_EQ(keeper->trackerOrigin(), unwritable < 2 ? "http://127.0.0.1:8765" : "");
        for (const std::wstring& file : savedIn) {
            Settings saved(file);
            saved.Load();
            EXPECT_EQ(saved.TextScale, file == savedIn[unwritable] && !file.empty() ? 170 : 100) << WideToUtf8(file);
        }
        EXPECT_EQ(readBytes(savedIn[1]).find("BaseUrl"), std::string::npos);
        const std::wstring notice = keeper.TakeNotice();
        const std::wstring told[] = {L"", places.appDataFolder + L" instead", L"cannot be saved"};
        EXPECT_EQ(notice.empty(), unwritable == 0);
        EXPECT_NE(notice.find(told[unwritable]), std::wstring::npos) << WideToUtf8(notice);
        EXPECT_TRUE(keeper.TakeNotice().empty()) << "told once";
    }
}

// Another program holding the file, sharing its writing but not its deletion, fails each save. The saves are
// tried again in place and land there once the file is free. When both places are one file, however spelled (the
// program kept in AppData), saves that keep failing end in memory, the player told they cannot be saved, and the
// file as it was.
TEST(SettingsKeeper, RetriesAFailedSaveInPlaceAndNeverReturnsToTheFileThatFailed) {
    for (const bool oneFile : {false, true}) {
        SCOPED_TRACE(oneFile);
        TempDir dir;
        const std::string before = "[Window]\r\nOpacity=60\r\n";
        writeBytes(iniIn(dir), before);
        const SettingsPlaces places{iniIn(dir), (dir.path() / (oneFile ? L"." : L"AppData")).wstring()};
        SettingsKeeper keeper(ResolveSettingsPath(places));
        keeper.Change([](Settings& settings) { settings.TextScale = 170; });
        {
            const UniqueHandle holder(CreateFileW(iniIn(dir).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            for (int attempt = 0; attempt < SaveSchedule::kRetries + oneFile; ++attempt) keeper.SaveNow();
        }
        keeper.SaveNow();
        EXPECT_EQ(keeper.file(), iniIn(dir));
        EXPECT_EQ(readBytes(iniIn(dir)).find("TextScale=170") != std::string::npos, !oneFile);
        EXPECT_EQ(readBytes(iniIn(dir)) == before, oneFile);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "nothing else written";
        const std::wstring notice = keeper.TakeNotice();
        EXPECT_EQ(notice.find(L"cannot be saved") != std::wstring::npos, oneFile) << WideToUtf8(notice);
        EXPECT_EQ(notice.find(L"nor in"), std::wstring::npos) << "one folder is named once";
    }
}

// A second start meets the first however the path's letters are cased, beyond ASCII too.
TEST(SingleInstance, KeyFoldsCaseByTheSystemsRules) {
    EXPECT_EQ(SingleInstance::KeyOf(L"C:\\\u00dcn\u00efcode\\Brisquel.ini"),
              SingleInstance::KeyOf(L"c:/\u00fcn\u00cfCODE/brisquel.ini"));
    EXPECT_NE(SingleInstance::KeyOf(L"C:\\\u00c4\\Brisquel.ini"), SingleInstance::KeyOf(L"C:\\\u00c5\\Brisquel.ini"));
}
