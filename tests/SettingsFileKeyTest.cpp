#include <gtest/gtest.h>

#include "SettingsFileKey.h"

// One overlay runs per key: a second start from the same folder must meet the first whatever its separators,
// and a copy in another folder must not. Case is folded before, by the system's rules.
TEST(SettingsFileKey, NamesOneFileHoweverItsPathIsSpelled) {
    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        bool same;
    };
    const Case cases[] = {
        {L"C:\\Games\\Brisquel\\Brisquel.ini", L"C:\\Games\\Brisquel\\Brisquel.ini", true},
        {L"C:\\Games\\Brisquel\\Brisquel.ini", L"c:\\GAMES\\brisquel\\BRISQUEL.INI", false},
        {L"C:\\Games\\Brisquel\\Brisquel.ini", L"C:/Games/Brisquel/Brisquel.ini", true},
        {L"C:\\Games\\Brisquel\\Brisquel.ini", L"C:\\Games\\Brisquel2\\Brisquel.ini", false},
        {L"C:\\Games\\Brisquel\\Brisquel.ini", L"D:\\Games\\Brisquel\\Brisquel.ini", false},
        {L"C:\\Spiele\\\u00c4\\Brisquel.ini", L"C:\\Spiele\\\u00c5\\Brisquel.ini", false},
        {L"", L"C:\\Brisquel.ini", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.b);
        EXPECT_EQ(SettingsFileKey(c.a) == SettingsFileKey(c.b), c.same);
    }
}
