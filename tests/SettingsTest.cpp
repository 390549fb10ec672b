#include "Settings.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "WideText.h"
#include "support/TempDir.h"

namespace {

std::wstring iniIn(const TempDir& dir) { return (dir.path() / L"Brisquel.ini").wstring(); }

// The file as the user would see it in an editor (UTF-16 with a BOM, or plain ANSI text).
std::wstring readFileText(const std::wstring& path) {
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
    }
    return Utf8ToWide(bytes);
}

void writeFileText(const std::wstring& path, const std::string& text) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << text;
}

}  // namespace

TEST(Settings, MissingFileKeepsDefaultsAndFirstSaveWritesEveryKeyInOrder) {
    TempDir dir;
    Settings settings(iniIn(dir));
    EXPECT_TRUE(settings.Load());
    EXPECT_EQ(settings.Left, 100);
    EXPECT_EQ(settings.Bottom, 800);
    EXPECT_EQ(settings.Opacity, 75);
    EXPECT_EQ(settings.TextScale, 100);
    EXPECT_EQ(settings.BossMenu, 0x41);
    EXPECT_EQ(settings.ClickThroughMods, 6u);
    EXPECT_FALSE(std::filesystem::exists(settings.path()));

    EXPECT_TRUE(settings.Save());
    const std::wstring text = readFileText(settings.path());
    const wchar_t* expectedInOrder[] = {
        L"[Window]",          L"Left=100",         L"Top=100",         L"Right=550",
        L"Bottom=800",        L"Opacity=75",       L"TextScale=100",   L"ClickThroughMode=0",
        L"[Hotkeys]",         L"ClickThrough=66",  L"ClickThroughMods=6", L"Visibility=66",
        L"VisibilityMods=2",  L"BossMenu=65",      L"BossMenuMods=2",
    };
    size_t from = 0;
    for (const wchar_t* line : expectedInOrder) {
        SCOPED_TRACE(WideToUtf8(line));
        const size_t at = text.find(line, from);
        ASSERT_NE(at, std::wstring::npos);
        from = at + wcslen(line);
    }
    EXPECT_EQ(text.find(L"[Selection]"), std::wstring::npos);
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
        {"low clamps", "[Window]\r\nOpacity=5\r\nTextScale=50\r\n", 100, 10, 100, false, 65},
        {"high clamps", "[Window]\r\nOpacity=150\r\nTextScale=300\r\n", 100, 100, 200, false, 65},
        {"in range", "[Window]\r\nOpacity=40\r\nTextScale=150\r\n", 100, 40, 150, false, 65},
        {"non-zero mode is on", "[Window]\r\nClickThroughMode=7\r\n", 100, 75, 100, true, 65},
        {"garbage reads as zero", "[Window]\r\nLeft=abc\r\nOpacity=xyz\r\n[Hotkeys]\r\nBossMenu=zz\r\n", 0, 10, 100,
         false, 0},
        {"negative coordinates survive", "[Window]\r\nLeft=-1500\r\n", -1500, 75, 100, false, 65},
        {"missing keys take defaults", "[Other]\r\nx=1\r\n", 100, 75, 100, false, 65},
        {"not an ini at all", "\x01\x02 binary \xff\xfe junk", 100, 75, 100, false, 65},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        writeFileText(iniIn(dir), c.body);
        Settings settings(iniIn(dir));
        EXPECT_TRUE(settings.Load());
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
    EXPECT_EQ(loaded.Left, -1800);
    EXPECT_EQ(loaded.Top, -50);
    EXPECT_EQ(loaded.Right, -1200);
    EXPECT_EQ(loaded.Bottom, 700);
    EXPECT_EQ(loaded.Opacity, 10);
    EXPECT_EQ(loaded.TextScale, 180);
    EXPECT_TRUE(loaded.ClickThroughMode);
    EXPECT_EQ(loaded.ClickThrough, 0x70);
    EXPECT_EQ(loaded.ClickThroughMods, 0x4003u);
    EXPECT_EQ(loaded.Visibility, 0x71);
    EXPECT_EQ(loaded.VisibilityMods, 1u);
    EXPECT_EQ(loaded.BossMenu, 0x72);
    EXPECT_EQ(loaded.BossMenuMods, 8u);
    EXPECT_EQ(loaded.LastBoss, saved.LastBoss);
    EXPECT_NE(readFileText(loaded.path()).find(L"ClickThroughMode=1"), std::wstring::npos);
}

TEST(Settings, LastBossIsCutAt255AndNeverErasedBySave) {
    TempDir dir;
    const std::string longId(300, 'x');
    writeFileText(iniIn(dir), "[Selection]\r\nLastBoss=" + longId + "\r\n");
    Settings settings(iniIn(dir));
    settings.Load();
    EXPECT_EQ(settings.LastBoss, std::string(255, 'x'));

    Settings neverChose(iniIn(dir));
    neverChose.Save();
    EXPECT_NE(readFileText(iniIn(dir)).find(L"LastBoss=" + std::wstring(300, L'x')), std::wstring::npos);
}

TEST(Settings, SaveKeepsTheServerKeyItNeverWrites) {
    TempDir dir;
    writeFileText(iniIn(dir), "[Server]\r\nBaseUrl=http://127.0.0.1:8765/\r\n[Window]\r\nOpacity=40\r\n");
    Settings settings(iniIn(dir));
    settings.Load();
    EXPECT_EQ(settings.trackerOrigin(), "http://127.0.0.1:8765");
    settings.Opacity = 55;
    settings.Save();
    const std::wstring text = readFileText(iniIn(dir));
    EXPECT_NE(text.find(L"BaseUrl=http://127.0.0.1:8765/"), std::wstring::npos);
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
    {
        // Another program holding the file open without sharing makes every write fail.
        HANDLE locked = CreateFileW(iniIn(dir).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(locked, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(settings.Save());
        CloseHandle(locked);
    }
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
        const bool defaults = loaded.TextScale == 100 && loaded.LastBoss.empty();
        if (directory == nonAscii.path()) {
            EXPECT_TRUE(roundTripped);
        } else {
            // Where the platform's profile functions stop at MAX_PATH, nothing half-read may surface.
            EXPECT_TRUE(roundTripped || defaults);
        }
    }
}
