#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "AlertSettings.h"
#include "SaveSchedule.h"
#include "SettingsFileKey.h"
#include "WatchList.h"

// One overlay runs per key: a second start from the same folder must meet the first whatever its separators,
// and a copy in another folder must not. Case is folded before, by the system's rules.
TEST(SettingsFileKey, NamesOneFileHoweverItsPathIsSpelled) {
    struct Case {
        const wchar_t *a, *b;
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

// A save comes half a second after the last change, or two seconds into a stream of changes, and never for
// nothing. A failed one is tried again after 1, 2, 4, 8 and 16 seconds, however the player goes on changing
// things, before its place is given up.
TEST(SaveSchedule, SavesOnceTheChangesPauseOrHaveWaitedLongEnough) {
    struct Case {
        const char* name;
        std::vector<uint64_t> changes;  // at these times, saving whenever due on the way
        uint64_t at;
        bool due;
        uint64_t waits;
        bool savedAtLast = false;
        std::vector<uint64_t> failures = {};  // then saves that failed at these times
        uint64_t changedAfter = 0;            // then a change at this time, if any
        bool givesUp = false;                 // whether the last failure gives the place up
    };
    const Case cases[] = {
        {"nothing changed", {}, 10000, false, 0},
        {"just changed", {1000}, 1000, false, 500},
        {"quiet for half a second", {1000}, 1500, true, 0},
        {"a drag's steps keep it waiting", {1000, 1100, 1200, 1300}, 1700, false, 100},
        {"the drag ends", {1000, 1100, 1200, 1300}, 1800, true, 0},
        {"a long drag is written after two seconds", {1000, 1400, 1800, 2200, 2600, 2900}, 3000, true, 0},
        {"after that write, the wait starts again", {1000, 1400, 1800, 2200, 2600, 3000, 3100}, 3300, false, 300},
        {"saved, and quiet since", {1000, 2000}, 5000, false, 0, true},
        {"a failed save waits a second, however changed", {1000}, 2200, false, 300, false, {1500}, 1700},
        {"each retry waits twice as long", {1000}, 8000, false, 500, false, {1500, 2500, 4500}},
        {"the sixth failure gives up", {1000}, 40000, true, 0, false, {1500, 2500, 4500, 8500, 16500, 32500}, 0, true},
        {"then retries start again", {1000}, 33000, false, 600, false, {1500, 2500, 4500, 8500, 16500, 32500, 32600}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SaveSchedule schedule;
        for (uint64_t at : c.changes) {
            if (schedule.due(at)) schedule.saved();
            schedule.changed(at);
        }
        if (c.savedAtLast) schedule.saved();
        bool retrying = true;
        for (uint64_t at : c.failures) retrying = schedule.failed(at);
        if (c.changedAfter) schedule.changed(c.changedAfter);
        EXPECT_EQ(retrying, !c.givesUp);
        EXPECT_EQ(schedule.due(c.at), c.due);
        EXPECT_EQ(schedule.msUntilDue(c.at), c.waits);
    }
}

// Each switch on alone, so that no two can be crossed, and the two spans told apart.
TEST(AlertSettings, EachRuleComesFromItsOwnSetting) {
    for (int on = 0; on < 3; ++on) {
        SCOPED_TRACE(on);
        Settings settings(L"unused.ini");
        settings.AlertDying = on == 0;
        settings.AlertRespawn = on == 1;
        settings.AlertSound = on == 2;
        settings.AlertDyingSeconds = 30 + on;
        settings.AlertRespawnSeconds = 600 - on;
        const AlertRules rules = AlertRulesOf(settings);
        EXPECT_EQ(std::make_tuple(rules.dying, rules.respawn, rules.sound, rules.dyingSeconds, rules.respawnSeconds),
                  std::make_tuple(on == 0, on == 1, on == 2, 30 + on, 600 - on));
    }
}

// Any id comes back whole; what cannot be read is skipped without losing the rest.
TEST(WatchList, KeepsEveryIdWholeAndSkipsWhatItCannotRead) {
    const std::string longest(255, 'x');
    const std::vector<std::string> ids = {"wyrm-1", "A.b_c~", "a,b", " c ", "50%", "\xC3\xBC\xE7\x8E\x8B", longest};
    const std::string encoded = "wyrm-1,A.b_c~,a%2Cb,%20c%20,50%25,%C3%BC%E7%8E%8B," + longest;
    EXPECT_EQ(EncodeWatchList(ids), encoded);
    EXPECT_EQ(EncodeWatchList({"a\nb", "", longest + "x"}), "") << "never writes what it would not read";
    std::vector<std::string> many;
    for (int i = 0; i < 51; ++i) many.push_back(std::to_string(i));
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {encoded, ids},
        {"", {}},
        {"a%2cb,%ZZ,a%2,%,,b,a,b", {"a,b", "b", "a"}},
        {"%0A,x%00y,%7F,%C2%85,%C3,%C0%AF,%ED%A0%80,%F4%90%80%80,%FF," + longest + "x,ok", {"ok"}},
        {EncodeWatchList(many), {many.begin(), many.begin() + 50}},
    };
    for (const auto& [value, decoded] : cases) EXPECT_EQ(DecodeWatchList(value), decoded) << value;
    many.pop_back();
    EXPECT_FALSE(ToggledWatch(many, "new")) << "a 51st is refused";
    EXPECT_EQ(ToggledWatch({"a", "b"}, "a"), (std::vector<std::string>{"b"}));
}
