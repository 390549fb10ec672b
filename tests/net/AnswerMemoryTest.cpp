#include <gtest/gtest.h>

#include <tuple>

#include "net/AnswerMemory.h"
#include "net/CacheFreshness.h"

// Each step: an answer taken (a 200) or a failure forgotten, then what the next request of each path sends.
TEST(AnswerMemory, AsksWithWhatTheLast200SaidAndKnowsARepeat) {
    const std::string tag = "\"v1\"", date = "Tue, 08 Dec 2026 18:00:00 GMT";
    struct Step {
        const char* name;
        char action;  // 't' takes `validators` and `body` for `path`, 'f' forgets `path`
        std::string path;
        Validators validators;
        std::string body;
        bool repeated;
        std::string sentA, sentB;  // the conditional headers of /a and /b afterwards
    };
    const std::string both = "If-None-Match: " + tag + "\r\nIf-Modified-Since: " + date + "\r\n";
    const std::string longest = "If-None-Match: " + std::string(kLongestValidator, 'e') + "\r\n";
    const Step steps[] = {
        {"a first answer is no repeat", 't', "/a", {tag, date}, "x", false, both, ""},
        {"kept per path", 't', "/b", {"", date}, "y", false, both, "If-Modified-Since: " + date + "\r\n"},
        {"the same bytes again", 't', "/a", {tag, date}, "x", true, both, "If-Modified-Since: " + date + "\r\n"},
        {"other bytes of the same length", 't', "/a", {tag, ""}, "z", false, "If-None-Match: " + tag + "\r\n",
         "If-Modified-Since: " + date + "\r\n"},
        {"a failure forgets its path alone", 'f', "/b", {}, "", false, "If-None-Match: " + tag + "\r\n", ""},
        {"too long or holding a control character: not kept", 't', "/a",
         {std::string(kLongestValidator + 1, 'e'), "a\r\nX-Evil: 1"}, "w", false, "", ""},
        {"the longest kept", 't', "/a", {std::string(kLongestValidator, 'e'), "\xc3\xa9"}, "w", true, longest, ""},
        {"an empty body", 't', "/b", {}, "", false, longest, ""},
        {"never repeats", 't', "/b", {}, "", false, longest, ""},
    };
    AnswerMemory memory;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        bool repeated = false;
        if (step.action == 't') repeated = memory.takeAnswer(step.path, step.validators, step.body);
        if (step.action == 'f') memory.forget(step.path);
        EXPECT_EQ(repeated, step.repeated);
        EXPECT_EQ(memory.conditionalHeaders("/a"), step.sentA);
        EXPECT_EQ(memory.conditionalHeaders("/b"), step.sentB);
    }
}

TEST(CacheFreshness, MaxAgeLessAgeAndZeroForAnythingUnclear) {
    const std::tuple<const char*, const char*, const char*, uint32_t> cases[] = {
        {"max-age alone", "max-age=2", "", 2},
        {"less the age, among other directives, any case", "public, MAX-AGE = 5 ,must-revalidate", "2", 3},
        {"quoted; a list of ages counts by its first", "max-age=\"4\"", "1, 3", 3},
        {"as old as it may be, or older", "max-age=2", "7", 0},
        {"an age that is no number is ignored", "max-age=2", "-1", 2},
        {"no-cache and no-store win wherever they stand", "max-age=9, no-cache=\"Set-Cookie\"", "", 0},
        {"", "no-store,max-age=9", "", 0},
        {"max-age twice", "max-age=2, max-age=3", "", 0},
        {"no number, a sign, a fraction, nothing", "max-age=two", "", 0},
        {"", "max-age=+2", "", 0},
        {"", "max-age=2.5", "", 0},
        {"", "max-age", "", 0},
        {"nothing said", "", "1", 0},
        {"s-maxage is for shared caches only", "s-maxage=9", "", 0},
        {"huge seconds saturate", "max-age=99999999999999999999999", "99999999999999999999", 0},
        {"", "max-age=99999999999999999999999", "1", 2147483646},
    };
    for (const auto& [name, cacheControl, age, expected] : cases) {
        SCOPED_TRACE(std::string(name) + " [" + cacheControl + "] age [" + age + "]");
        EXPECT_EQ(FreshSeconds(cacheControl, age), expected);
    }
}
