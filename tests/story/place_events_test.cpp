// The town places' event rules: the "data/event.txt" reader (good rows, rows
// that break the format, the tables' limits, garbage) and the search with
// and without committing, with the once-per-phase done flags.
#include <gtest/gtest.h>

#include <string>

#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "story/place_events.h"

namespace {

// Shift-JIS words of the file.
#define PLAZA "\x8d\x4c\x8f\xea"
#define MARKET "\x8e\x73\x8f\xea"
#define CHURCH "\x8b\xb3\x89\xef"
#define TAVERN "\x8e\xf0\x8f\xea"
#define MORNING "\x92\xa9"
#define NOON "\x92\x8b"
#define EVENING "\x97\x5b"
#define NIGHT "\x96\xe9"

void parse(const std::string& text) { parsePlaceEventRules(text.data(), (int32_t)text.size()); }

// Rules in a table before its end row.
int32_t ruleCount(int32_t table) {
    int32_t n = 0;
    while (n < PLACE_EVENT_ROW_MAX && gPlaceEventRules[table][n].major != -1) ++n;
    return n;
}

class PlaceEventRules : public ::testing::Test {
protected:
    void SetUp() override {
        resetSaveState();
        GameState& g = game();
        g.date = 0;
        g.dayPhase = 0;
        g.loopCount = 0;
        g.money = 0;
        g.playMode = PLAY_MODE_STORY;
    }
    void TearDown() override {
        parse("");
        resetSaveState();
    }
    static GameState& game() { return runningGameState(); }
};

}   // namespace

TEST_F(PlaceEventRules, ReadsEveryFieldOfAGoodRow) {
    parse("/ a comment\r\n"
          "5-12:a3:10:-::" MORNING NIGHT ":2:1-7,10-999:\r\n");
    // Before any section line a rule belongs to the plaza, after its built-in row.
    ASSERT_EQ(ruleCount(PLACE_TABLE_PLAZA), 2);
    const PlaceEventRule& builtIn = gPlaceEventRules[PLACE_TABLE_PLAZA][0];
    EXPECT_EQ(builtIn.major, 11);
    EXPECT_EQ(builtIn.minor, 1);
    EXPECT_EQ(builtIn.ownFlag, 0xa3);
    EXPECT_EQ(builtIn.minMoney, 100000);
    const PlaceEventRule& r = gPlaceEventRules[PLACE_TABLE_PLAZA][1];
    EXPECT_EQ(r.major, 5);
    EXPECT_EQ(r.minor, 12);
    EXPECT_EQ(r.ownFlag, 0xa3);
    EXPECT_EQ(r.requiredFlags[0], 0x10);
    EXPECT_EQ(r.requiredFlags[1], -1) << "'-' is no condition";
    EXPECT_EQ(r.requiredFlags[2], 0) << "an empty field is flag 0";
    EXPECT_EQ(r.phaseMin, 0);
    EXPECT_EQ(r.phaseMax, 3) << "morning written with night: every phase";
    EXPECT_EQ(r.minLoop, 2);
    EXPECT_EQ(r.minMoney, 0);
    EXPECT_EQ(r.windows[0].start, 1);
    EXPECT_EQ(r.windows[0].end, 7);
    EXPECT_EQ(r.windows[1].start, 10);
    EXPECT_EQ(r.windows[1].end, 999);
    EXPECT_EQ(r.windows[2].start, -1);
    for (int32_t t = PLACE_TABLE_MARKET; t <= PLACE_TABLE_TAVERN; ++t) EXPECT_EQ(ruleCount(t), 0) << t;
}

TEST_F(PlaceEventRules, SectionLinesChooseTheTable) {
    parse(TAVERN " and the rest of the line\n"
          "1-4:20:-:-:-:" EVENING ":0:1-999:\n" MARKET "\n"
          "1-1:21:-:-:-:" MORNING ":0:1-999:\n"
          "1-2:22:-:-:-:" MORNING ":0:1-999:\n" CHURCH "\n"
          "1-5:23:-:-:-:" MORNING ":0:1-999:\n" PLAZA "\n"
          "1-3:24:-:-:-:" MORNING ":0:1-999:\n");
    EXPECT_EQ(ruleCount(PLACE_TABLE_PLAZA), 2);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][1].minor, 3);
    ASSERT_EQ(ruleCount(PLACE_TABLE_MARKET), 2);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_MARKET][0].minor, 1);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_MARKET][1].minor, 2);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_CHURCH][0].minor, 5);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_TAVERN][0].minor, 4);
}

struct PhaseCase {
    const char* field;
    int32_t min, max;
};
const PhaseCase PHASE_CASES[] = {
    {MORNING, 0, 0},
    {NOON EVENING, 1, 2},
    {NIGHT MORNING, 3, 3},          // night before morning: the night only
    {EVENING NOON NIGHT, 2, 3},     // the first written, the highest written
    {"", 0, 0},                     // no word: the morning
    {"x " NOON "?", 1, 1},          // other characters skipped
    {"\x82\xa0" NIGHT, 3, 3},       // another double-byte character whole
};

TEST_F(PlaceEventRules, PhaseWordsGiveTheFirstAndTheHighestPhase) {
    for (const PhaseCase& c : PHASE_CASES) {
        parse(std::string("2-1:30:-:-:-:") + c.field + ":0:1-999:\n");
        ASSERT_EQ(ruleCount(PLACE_TABLE_PLAZA), 2) << c.field;
        EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][1].phaseMin, c.min) << c.field;
        EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][1].phaseMax, c.max) << c.field;
    }
}

// Lines that are no rule add no row: the next rule line takes it.
const char* const BROKEN_LINES[] = {
    "7\n",                                                  // no '-'
    "7-1\n",                                                // no ':'
    "7-1:40:-:-\n",                                         // ends in the flag fields
    "7-1:40:-:-:-:" MORNING "\n",                           // ends in the phase field
    "7-1:40:-:-:-:" MORNING ":3\n",                         // ends right after the loop count
    "x7-1:40:-:-:-:" MORNING ":0:1-9:\n",                  // no number at the start
    "7-1:0123456789012345678901234567890123456789012345678901:-:-:-:" MORNING ":0:1-9:\n",   // flags past 50
    "7-1:40:-:-:-:abcdefghijklmnopqrstuvwxyzabcdefghijklmn:0:1-9:\n",                     // phases past 40
};

TEST_F(PlaceEventRules, LinesThatBreakTheFormatAddNoRule) {
    for (const char* bad : BROKEN_LINES) {
        parse(std::string(bad) + "8-2:41:-:-:-:" NOON ":0:1-999:\n");
        ASSERT_EQ(ruleCount(PLACE_TABLE_PLAZA), 2) << bad;
        EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][1].major, 8) << bad;
        EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][1].ownFlag, 0x41) << bad;
    }
}

TEST_F(PlaceEventRules, AWindowListCutShortKeepsOnlyTheWholeWindows) {
    parse("3-1:42:-:-:-:" MORNING ":0:1-5,8-9,12\n"
          "3-2:43:-:-:-:" MORNING ":0:1-5,20-\n"
          "3-3:44:-:-:-:" MORNING ":0:6,8-9:\n"
          "3-4:45:-:-:-:" MORNING ":0:\n");
    ASSERT_EQ(ruleCount(PLACE_TABLE_PLAZA), 5);
    const PlaceEventRule* r = &gPlaceEventRules[PLACE_TABLE_PLAZA][1];
    EXPECT_EQ(r[0].windows[0].start, 1);
    EXPECT_EQ(r[0].windows[1].end, 9);
    EXPECT_EQ(r[0].windows[2].start, -1) << "the pair cut by the line's end";
    EXPECT_EQ(r[1].windows[0].end, 5);
    EXPECT_EQ(r[1].windows[1].start, -1);
    EXPECT_EQ(r[2].windows[0].start, -1) << "a pair without its '-'";
    EXPECT_EQ(r[2].windows[1].start, 8);
    EXPECT_EQ(r[3].windows[0].start, -1) << "no window: the rule never fires";
}

TEST_F(PlaceEventRules, TablesHoldTheirRowsAndWindowsUpToTheirLimits) {
    std::string text;
    for (int32_t i = 0; i < 120; ++i) text += "4-" + std::to_string(i) + ":50:-:-:-:" MORNING ":0:1-2:\n";
    text += MARKET "\n";
    for (int32_t i = 0; i < 120; ++i) text += "5-" + std::to_string(i) + ":51:-:-:-:" MORNING ":0:1-2:\n";
    text += CHURCH "\n6-1:52:-:-:-:" MORNING ":0:";
    for (int32_t w = 1; w <= 25; ++w) text += std::to_string(w) + "-" + std::to_string(w) + (w < 25 ? "," : ":\n");
    parse(text);
    // The plaza's built-in row and 98 rules, the market's 99, each with its end row.
    EXPECT_EQ(ruleCount(PLACE_TABLE_PLAZA), PLACE_EVENT_ROW_MAX - 1);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][98].minor, 97);
    EXPECT_EQ(ruleCount(PLACE_TABLE_MARKET), PLACE_EVENT_ROW_MAX - 1);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_MARKET][98].minor, 98);
    const PlaceEventRule& church = gPlaceEventRules[PLACE_TABLE_CHURCH][0];
    EXPECT_EQ(church.windows[PLACE_EVENT_WINDOW_MAX - 1].start, 20);
    EXPECT_EQ(ruleCount(PLACE_TABLE_CHURCH), 1) << "the windows past 20 are passed over";
}

TEST_F(PlaceEventRules, GarbageLeavesTheBuiltInRuleAndEndedTables) {
    std::string garbage;
    uint32_t s = 12345;
    for (int32_t i = 0; i < 4000; ++i) {
        s = s * 1103515245u + 12345u;
        char c = (char)(s >> 16);
        garbage += c == 0 ? '-' : c;
    }
    parse(garbage);
    EXPECT_EQ(gPlaceEventRules[PLACE_TABLE_PLAZA][0].major, 11);
    for (int32_t t = 0; t < PLACE_EVENT_TABLE_COUNT; ++t) EXPECT_LT(ruleCount(t), PLACE_EVENT_ROW_MAX) << t;
    // Huge numbers are held, not wrapped.
    parse("99999999999999-99999999999:ffffffffffff:-:-:-:" NIGHT ":99999999999999:1-99999999999999:\n");
    const PlaceEventRule& r = gPlaceEventRules[PLACE_TABLE_PLAZA][1];
    EXPECT_GT(r.major, 0);
    EXPECT_GT(r.ownFlag, 0);
    EXPECT_GT(r.minLoop, 0);
    EXPECT_GT(r.windows[0].end, 0);
}

// --- the search -------------------------------------------------------------------

struct FireCase {
    const char* what;
    int32_t date, phase, loop, money;
    bool fires;
};
// Rule: own flag 0x160, requires flag 0x161, mornings and noons, days 1..7 and
// from day 10, at least loop 1 and (built-in only) money.
const FireCase FIRE_CASES[] = {
    {"first day of the window", 0, 0, 1, 0, true},
    {"last day of the window", 6, 1, 1, 0, true},
    {"day 8 between the windows", 7, 0, 1, 0, false},
    {"day 9", 8, 0, 1, 0, false},
    {"day 10, open end", 9, 0, 1, 0, true},
    {"far in the open end", 500, 1, 1, 0, true},
    {"evening", 2, 2, 1, 0, false},
    {"loop too low", 2, 0, 0, 0, false},
};

TEST_F(PlaceEventRules, ARuleFiresInsideItsWindowsPhasesAndLoop) {
    parse(MARKET "\n20-1:160:161:-:-:" MORNING NOON ":1:1-7,10-999:\n");
    game().storyFlags[0x161] = 1;
    for (const FireCase& c : FIRE_CASES) {
        game().date = c.date;
        game().dayPhase = c.phase;
        game().loopCount = c.loop;
        int32_t major = -5, minor = -5;
        EXPECT_EQ(findPlaceEvent(1, &major, &minor, 0), c.fires ? 1 : 0) << c.what;
        if (c.fires) {
            EXPECT_EQ(major * 100 + minor, 2001) << c.what;
        }
    }
    game().date = 0;
    game().loopCount = 1;
    game().storyFlags[0x161] = 0;
    EXPECT_EQ(findPlaceEvent(1, nullptr, nullptr, 0), 0) << "a required flag clear";
    game().storyFlags[0x161] = 1;
    game().storyFlags[0x160] = 1;
    EXPECT_EQ(findPlaceEvent(1, nullptr, nullptr, 0), 0) << "its own flag already set";
}

TEST_F(PlaceEventRules, OnlyTheFourPlacesHaveTablesAndSurvivalHasNone) {
    parse(MARKET "\n21-1:62:-:-:-:" MORNING ":0:1-999:\n" PLAZA "\n21-2:63:-:-:-:" MORNING ":0:1-999:\n" TAVERN
                 "\n21-4:64:-:-:-:" MORNING ":0:1-999:\n" CHURCH "\n21-5:65:-:-:-:" MORNING ":0:1-999:\n");
    const int32_t PLACES[7] = {0, 1, 2, 3, 4, 5, 6};
    const int32_t WANT_MINOR[7] = {0, 1, 2, 0, 4, 5, 0};
    for (int32_t place : PLACES) {
        int32_t major = 0, minor = 0;
        int32_t fired = findPlaceEvent(place, &major, &minor, 0);
        EXPECT_EQ(fired, WANT_MINOR[place] != 0 ? 1 : 0) << place;
        if (fired) {
            EXPECT_EQ(minor, WANT_MINOR[place]) << place;
        }
    }
    game().playMode = PLAY_MODE_SURVIVAL;
    for (int32_t place : PLACES) EXPECT_EQ(findPlaceEvent(place, nullptr, nullptr, 1), 0) << place;
    EXPECT_EQ(game().dayScore, 0);
}

TEST_F(PlaceEventRules, CommittingConsumesTheRuleAndThePlaceForThePhase) {
    parse(PLAZA "\n30-1:70:-:-:-:" MORNING NOON ":0:1-999:\n30-2:71:-:-:-:" MORNING NOON ":0:1-999:\n" TAVERN
                "\n30-4:72:-:-:-:" MORNING ":0:1-999:\n");
    GameState& g = game();
    int32_t major = 0, minor = 0;
    // Asking without commit changes nothing.
    ASSERT_EQ(findPlaceEvent(2, &major, &minor, 0), 1);
    ASSERT_EQ(findPlaceEvent(2, &major, &minor, 0), 1);
    EXPECT_EQ(minor, 1) << "the earlier row wins";
    EXPECT_EQ(g.storyFlags[0x70], 0);
    EXPECT_EQ(g.storyFlags[FLAG_PLACE_DONE_FIRST + (int32_t)PLACE_TABLE_PLAZA], 0);
    EXPECT_EQ(g.dayScore, 0);

    ASSERT_EQ(findPlaceEvent(2, &major, &minor, 1), 1);
    EXPECT_EQ(minor, 1);
    EXPECT_EQ(g.storyFlags[0x70], 1);
    EXPECT_EQ(g.storyFlags[FLAG_PLACE_DONE_FIRST + (int32_t)PLACE_TABLE_PLAZA], 1);
    EXPECT_EQ(g.dayScore, 100);
    // The plaza is done for this phase; the tavern is not.
    EXPECT_EQ(findPlaceEvent(2, &major, &minor, 1), 0);
    EXPECT_EQ(findPlaceEvent(4, &major, &minor, 0), 1);

    // A phase passes: the next rule of the plaza fires.
    g.dayPhase = 1;
    clearPlaceEventFlags();
    for (int32_t t = 0; t < PLACE_EVENT_TABLE_COUNT; ++t) EXPECT_EQ(g.storyFlags[FLAG_PLACE_DONE_FIRST + t], 0);
    ASSERT_EQ(findPlaceEvent(2, &major, &minor, 1), 1);
    EXPECT_EQ(minor, 2);
    EXPECT_EQ(g.dayScore, 200);
}

TEST_F(PlaceEventRules, TheBuiltInPlazaRuleWantsARichShopOnceInTheFirst40Days) {
    parse("");
    GameState& g = game();
    g.money = 99999;
    EXPECT_EQ(findPlaceEvent(2, nullptr, nullptr, 0), 0);
    g.money = 100000;
    g.date = 40;
    EXPECT_EQ(findPlaceEvent(2, nullptr, nullptr, 0), 0) << "day 41";
    g.date = 39;
    g.dayPhase = 2;
    EXPECT_EQ(findPlaceEvent(2, nullptr, nullptr, 0), 0) << "evening";
    g.dayPhase = 1;
    int32_t major = 0, minor = 0;
    ASSERT_EQ(findPlaceEvent(2, &major, &minor, 1), 1);
    EXPECT_EQ(major, 11);
    EXPECT_EQ(minor, 1);
    clearPlaceEventFlags();
    EXPECT_EQ(findPlaceEvent(2, nullptr, nullptr, 0), 0) << "once per game";
}

TEST_F(PlaceEventRules, FlagNumbersPastTheStoryFlagsNeverFire) {
    parse("40-1:fffff:-:-:-:" MORNING ":0:1-999:\n40-2:-:fffff:-:-:" MORNING ":0:1-999:\n"
          "40-3:-:-:-:-:" MORNING ":0:1-999:\n");
    int32_t minor = 0;
    ASSERT_EQ(findPlaceEvent(2, nullptr, &minor, 1), 1);
    EXPECT_EQ(minor, 3) << "a rule without its own flag fires, and again in a later phase";
    clearPlaceEventFlags();
    ASSERT_EQ(findPlaceEvent(2, nullptr, &minor, 1), 1);
    EXPECT_EQ(minor, 3);
}
