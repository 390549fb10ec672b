#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <iterator>

#include "Settings.h"
#include "WideText.h"
#include "support/TempDir.h"

namespace {

std::wstring iniIn(const TempDir& dir) {
    return (dir.path() / L"Brisquel.ini").wstring();
}

// The file as an editor shows it: UTF-16 with a byte-order mark, or plain text.
std::wstring readFileText(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.rfind("\xFF\xFE", 0) == 0) {
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    }
    return Utf8ToWide(bytes);
}

void writeFileText(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
}

}  // namespace

TEST(Settings, MissingFileKeepsDefaultsAndFirstSaveWritesEveryKeyInOrder) {
    TempDir dir;
    Settings settings(iniIn(dir));
    settings.Load();
    EXPECT_EQ(std::vector<int>({settings.Left, settings.Top, settings.Right, settings.Bottom, settings.Opacity,
                                settings.TextScale, settings.BossMenu}),
              std::vector<int>({100, 100, 550, 800, 75, 100, 0x41}));
    EXPECT_FALSE(std::filesystem::exists(settings.path()));

    settings.Save();
    const std::wstring text = readFileText(settings.path());
    EXPECT_EQ(text,
              L"[Window]\r\nLeft=100\r\nTop=100\r\nRight=550\r\nBottom=800\r\nOpacity=75\r\nTextScale=100\r\n"
              L"ClickThroughMode=0\r\n[Hotkeys]\r\nClickThrough=66\r\nClickThroughMods=6\r\nVisibility=66\r\n"
              L"VisibilityMods=2\r\nBossMenu=65\r\nBossMenuMods=2\r\n");
}

TEST(Settings, LoadClampsAndToleratesGarbage) {
    struct Case {
        const char* name;
        const char* body;
        int32_t left, opacity, textScale;
        bool clickThrough;
        int32_t bossMenu;
    };
    const Case cases[] = {
        {"low clamps", "[Window]\nOpacity=5\nTextScale=50\n", 100, 10, 100, false, 65},
        {"high clamps", "[Window]\nOpacity=150\nTextScale=300\n", 100, 100, 200, false, 65},
        {"non-zero mode is on", "[Window]\nClickThroughMode=7\n", 100, 75, 100, true, 65},
        {"garbage reads as zero", "[Window]\nLeft=abc\nOpacity=xyz\n[Hotkeys]\nBossMenu=zz\n", 0, 10, 100, false, 0},
        {"negative coordinates survive", "[Window]\nLeft=-1500\n", -1500, 75, 100, false, 65},
        {"not an ini at all", "\x01\x02 binary \xff\xfe junk", 100, 75, 100, false, 65},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFileText(iniIn(dir), c.body);
        Settings settings(iniIn(dir));
        settings.Load();
        EXPECT_EQ(settings.Left, c.left);
        EXPECT_EQ(settings.Opacity, c.opacity);
        EXPECT_EQ(settings.TextScale, c.textScale);
        EXPECT_EQ(settings.ClickThroughMode, c.clickThrough);
        EXPECT_EQ(settings.BossMenu, c.bossMenu);
    }
}

TEST(Settings, RoundTripsEveryFieldAndNonAsciiLastBoss) {
    TempDir dir;
    Settings saved(iniIn(dir));
    saved.SetWindowRect(-1800, -50, -1200, 700);
    saved.SetOpacity(5);
    saved.TextScale = 180;
    saved.ClickThroughMode = true;
    saved.ClickThrough = 0x70;
    saved.ClickThroughMods = 0x4003;
    saved.Visibility = 0x71;
    saved.VisibilityMods = 1;
    saved.BossMenu = 0x72;
    saved.BossMenuMods = 8;
    saved.LastBoss = "boss-\xC3\xBC\xE7\x8E\x8B\xF0\x9F\x90\x89";
    saved.Save();

    Settings loaded(iniIn(dir));
    loaded.Load();
    EXPECT_EQ(
        std::vector<int64_t>({loaded.Left, loaded.Top, loaded.Right, loaded.Bottom, loaded.Opacity, loaded.TextScale,
                              loaded.ClickThroughMode, loaded.ClickThrough, loaded.ClickThroughMods, loaded.Visibility,
                              loaded.VisibilityMods, loaded.BossMenu, loaded.BossMenuMods}),
        std::vector<int64_t>({-1800, -50, -1200, 700, 10, 180, 1, 0x70, 0x4003, 0x71, 1, 0x72, 8}));
    EXPECT_EQ(loaded.LastBoss, saved.LastBoss);
}

TEST(Settings, LastBossIsCutAt255AndNeverErasedBySave) {
    TempDir dir;
    writeFileText(iniIn(dir), "[Selection]\r\nLastBoss=" + std::string(300, 'x') + "\r\n");
    Settings settings(iniIn(dir));
    settings.Load();
    EXPECT_EQ(settings.LastBoss, std::string(255, 'x'));

    Settings neverChose(iniIn(dir));
    neverChose.Save();
    EXPECT_NE(readFileText(iniIn(dir)).find(L"LastBoss=" + std::wstring(300, L'x')), std::wstring::npos);
}

TEST(Settings, ReadsTheServerKeyAndSaveNeverTouchesIt) {
    TempDir dir;
    writeFileText(iniIn(dir), "[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n[Window]\r\nOpacity=40\r\n");
    Settings settings(iniIn(dir));
    settings.Load();
    EXPECT_EQ(settings.trackerOrigin(), "http://127.0.0.1:8765");
    settings.Opacity = 55;
    settings.Save();
    const std::wstring text = readFileText(iniIn(dir));
    EXPECT_NE(text.find(L"[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n"), std::wstring::npos);
    EXPECT_NE(text.find(L"Opacity=55"), std::wstring::npos);

    writeFileText(iniIn(dir), "[Server]\r\nBaseUrl=https://tracker.example.org/api?x=1\r\n");
    Settings rejected(iniIn(dir));
    rejected.Load();
    EXPECT_EQ(rejected.trackerOrigin(), "");
}

TEST(Settings, UnwritableFileFailsSilentlyAndKeepsValuesInMemory) {
    TempDir dir;
    writeFileText(iniIn(dir), "[Window]\r\nOpacity=40\r\n");
    Settings settings(iniIn(dir));
    settings.Load();
    settings.TextScale = 170;
    // Another program holding the file open without sharing makes every write fail.
    HANDLE locked = CreateFileW(iniIn(dir).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(settings.Save());
    CloseHandle(locked);
    EXPECT_EQ(settings.TextScale, 170);
    EXPECT_EQ(settings.Opacity, 40);
    EXPECT_EQ(readFileText(iniIn(dir)), L"[Window]\r\nOpacity=40\r\n");
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
        EXPECT_TRUE(saved.Save());
        Settings loaded(path);
        EXPECT_TRUE(loaded.Load());
        const bool roundTripped = loaded.TextScale == 140 && loaded.LastBoss == "\xE7\x8E\x8B";
        // Where the profile functions stop at MAX_PATH, nothing half-read may surface.
        const bool defaults = loaded.TextScale == 100 && loaded.LastBoss.empty();
        EXPECT_TRUE(directory == deep ? roundTripped || defaults : roundTripped);
    }
}
