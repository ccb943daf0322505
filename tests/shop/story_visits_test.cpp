// The story visits: the ordered story check between the first visits of a
// phase, the ingredient quest's reward and its multipliers, the reward at
// the counter (state 30), and the two visitors' scene on the morning of
// day 8 from its start to the flag's end.
#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

#include "adventurers/adventurers.h"
#include "economy_fixture.h"
#include "engine/fades.h"
#include "engine/loaders.h"
#include "engine/story_flags.h"
#include "shop/floor_customers.h"
#include "shop/story_visits.h"

namespace {

const char ITEMS[] =
    ":Food\n"
    "3100 Unknown Food#-1#0#0#0#0#Food###t\n"
    "3101 Charred Lizard+charred lizards#90#0#0#0#0#Food###t\n"
    "3106 Slime Liver+slime livers#120#0#0#0#0#Food###t\n"
    "3110 Bat Wings+bat wings#300#0#0#0#0#Food###t\n";
constexpr int32_t INGREDIENT_SUM = 90 + 120 + 300;

class StoryVisitTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        resetLoaderState();
        resetFades();
        gEventReady = 0;
        gEventNumber = EventNumber{-1, -1};
        setLineup({});
    }
    void TearDown() override {
        endEvent();
        resetLoaderState();
        resetFades();
        resetFloorCustomersState();
        EconomyTest::TearDown();
    }
    static void setLineup(const std::vector<int32_t>& types) {
        int32_t n = 0;
        for (int32_t t : types) gDayPlan.dayLineup[n++] = t;
        gDayPlan.dayLineup[n] = DAY_LINEUP_END;
    }
    // The event loads and ends at once, as a scene the player skips.
    static void endEvent() {
        if (gEventReady == 0) return;
        waitForLoaderThread();
        pollLoaderThread();
        gEventReady = 0;
    }
    static void setFlags(std::initializer_list<int32_t> flags, uint8_t value = 1) {
        for (int32_t f : flags) game().storyFlags[f] = value;
    }
    static bool flag(int32_t f) { return game().storyFlags[f] != 0; }
    static void store(int32_t id, int32_t copies) {
        for (int32_t i = 0; i < copies; i++) {
            game().storage[game().storageCount++] = makeItemKey(id, 0, 0);
        }
    }
};

class QuestTest : public StoryVisitTest {};

}  // namespace

// ---- the story check -----------------------------------------------------------

TEST_F(StoryVisitTest, OnlyTheFirstCheckThatHoldsStartsItsEvent) {
    struct Case {
        const char* what;
        std::vector<int32_t> lineup;
        std::vector<int32_t> flags;
        int32_t pointsIndex, points;
        int32_t major, minor;          // -1: no event
        std::vector<int32_t> setAfter, clearAfter;
    };
    const Case CASES[] = {
        {"type 3 before type 8", {8, 3}, {69, 151}, 0, 0, 3, 4, {70}, {152}},
        {"type 3's second row needs the points", {3}, {69, 70}, 1, 2, -1, -1, {}, {71}},
        {"type 3's second row", {3}, {69, 70}, 1, 3, 3, 5, {71, 5}, {}},
        {"type 8 when type 3 has nothing", {3, 8}, {151}, 0, 0, 7, 4, {152}, {}},
        {"type 5's first row without the points holds the second back", {5}, {118, 320, 322}, 3, 2, -1, -1, {}, {119, 323}},
        {"type 5's second row", {5}, {119, 320, 322}, 3, 0, 17, 42, {323}, {}},
        {"a type not in the lineup", {2}, {151}, 0, 0, -1, -1, {}, {152}},
        {"the giver's later events: the first clear row above its threshold", {19}, {435}, 22, 7, 17, 40, {436}, {437}},
        {"the giver at the threshold is not above it", {19}, {}, 22, 2, -1, -1, {}, {435}},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        clearEconomy();
        loadItems(ITEMS);
        setLineup(c.lineup);
        for (int32_t f : c.flags) setFlags({f});
        game().customerRelations[c.pointsIndex].points = (int16_t)c.points;
        gEventNumber = EventNumber{-1, -1};
        checkStoryVisits();
        if (c.major < 0) {
            EXPECT_EQ(gEventReady, 0);
        } else {
            EXPECT_EQ(gEventNumber.major, c.major);
            EXPECT_EQ(gEventNumber.minor, c.minor);
        }
        for (int32_t f : c.setAfter) EXPECT_TRUE(flag(f)) << "flag " << f;
        for (int32_t f : c.clearAfter) EXPECT_FALSE(flag(f)) << "flag " << f;
        endEvent();
    }
}

TEST_F(StoryVisitTest, AnEventThatCannotStartChangesNoFlag) {
    setLineup({3});
    setFlags({69});
    gEventReady = 1;   // a scene runs already
    checkStoryVisits();
    EXPECT_FALSE(flag(70));
    gEventReady = 0;
    checkStoryVisits();
    EXPECT_TRUE(flag(70));
}

// ---- the quest -------------------------------------------------------------------

TEST_F(QuestTest, RewardsThreeTwoOneAndAHalfOrOneTimesBySpeed) {
    struct Case {
        const char* what;
        bool given;
        int32_t daysAgo;
        int32_t minor;
        int32_t price;        // -1: no reward
    };
    const Case CASES[] = {
        {"ready at the first visit", false, 0, 7, INGREDIENT_SUM * 3},
        {"ready the next day", true, 1, 3, INGREDIENT_SUM * 2},
        {"ready in three days", true, 3, 3, (int32_t)(1.5f * INGREDIENT_SUM)},
        {"ready later", true, 9, 4, INGREDIENT_SUM},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        clearEconomy();
        loadItems(ITEMS);
        setLineup({4});
        game().date = 20;
        if (c.given) {
            setFlags({FLAG_QUEST_GIVEN});
            game().storyFlags[FLAG_QUEST_GIVEN_DATE] = (uint8_t)(20 - c.daysAgo);
        }
        store(3101, 2);
        store(3106, 1);
        store(3110, 1);
        gCounter.questDay = 1;
        checkStoryVisits();
        EXPECT_EQ(gEventNumber.major, 5);
        EXPECT_EQ(gEventNumber.minor, c.minor);
        EXPECT_EQ(gCounter.state, COUNTER_QUEST_REWARD);
        EXPECT_EQ(gCounter.counterPrice, c.price);
        EXPECT_EQ(gCounter.visitsDone, 1);
        EXPECT_EQ(gCounter.questDay, 0);
        EXPECT_TRUE(flag(FLAG_QUEST_PAID));
        EXPECT_EQ(game().storageCount, 1) << "one copy of each is taken";
        EXPECT_EQ(itemKeyId(game().storage[0]), 3101);
        EXPECT_EQ(game().dayLogCounts[0], 3) << "each logged as sold";
        endEvent();
    }
}

TEST_F(QuestTest, GivenWithoutTheIngredientsAndAskedAgainWhileMissing) {
    setLineup({4});
    game().date = 300;
    store(3101, 1);
    checkStoryVisits();
    EXPECT_EQ(gEventNumber.minor, 1) << "the quest is given";
    EXPECT_TRUE(flag(FLAG_QUEST_GIVEN));
    EXPECT_EQ(game().storyFlags[FLAG_QUEST_GIVEN_DATE], 300 & 0xFF);
    EXPECT_EQ(gCounter.state, COUNTER_FREE);
    endEvent();
    checkStoryVisits();
    EXPECT_EQ(gEventNumber.minor, 2) << "still missing";
    EXPECT_EQ(gCounter.state, COUNTER_FREE);
    EXPECT_FALSE(flag(FLAG_QUEST_PAID));
    endEvent();
    gEventNumber = EventNumber{-1, -1};
    // The follow-up waits for the payment and the giver's points.
    setFlags({FLAG_QUEST_PAID});
    game().customerRelations[2].points = 3;
    checkStoryVisits();
    EXPECT_EQ(gEventNumber.minor, 5);
    EXPECT_TRUE(flag(132));
    EXPECT_TRUE(flag(6));
}

TEST_F(QuestTest, TakesOneShelfCopyOfEachIngredientWhenStorageHasNone) {
    setLineup({4});
    for (int32_t x = 0; x < 3; x++) {
        game().shelves[2][x] = makeItemKey(3101, 0, 0);
        game().shelves[3][x] = makeItemKey(3106, 0, 0);
        game().shelves[4][x] = makeItemKey(3110, 0, 0);
    }
    checkStoryVisits();
    ASSERT_EQ(gCounter.state, COUNTER_QUEST_REWARD);
    int32_t left = 0;
    for (auto& row : game().shelves)
        for (int32_t key : row) left += key != ITEM_KEY_NONE;
    EXPECT_EQ(left, 6) << "two of each of the three stay";
    EXPECT_EQ(game().dayLogCounts[0], 3);
}

TEST_F(QuestTest, TheDaysSinceTheQuestAreCountedModulo256) {
    struct Case {
        int32_t date;
        int32_t given;   // the stored low byte
        int32_t want;
    };
    const Case CASES[] = {{300, 300 & 0xFF, 2}, {257, 254, 3}, {260, 255, 4}, {1, 0, 2}};
    for (const Case& c : CASES) {
        clearEconomy();
        loadItems(ITEMS);
        store(3101, 1);
        store(3106, 1);
        store(3110, 1);
        game().date = c.date;
        game().storyFlags[FLAG_QUEST_GIVEN_DATE] = (uint8_t)c.given;
        EXPECT_EQ(checkQuestIngredients(), c.want) << c.date;
    }
}

TEST_F(QuestTest, TheCounterPaysTheRewardOnceTheLetterboxIsIn) {
    gCounter.state = COUNTER_QUEST_REWARD;
    gCounter.counterPrice = 1530;
    gCounter.letterbox = 30;
    game().money = 100;
    updateQuestReward();
    updateQuestReward();
    EXPECT_EQ(gCounter.letterbox, COUNTER_SLIDE_IN);
    EXPECT_EQ(game().money, 100);
    updateQuestReward();
    EXPECT_EQ(game().money, 1630);
    EXPECT_STREQ(gCounter.itemText, "Charred Lizard, Bat Wings<BR>Slime Liver");
    EXPECT_STREQ(gCounter.priceText, "1530 gold");
    EXPECT_EQ(gCounter.panelWanted[SLOT_SHOPKEEPER], 1);
    for (int32_t i = 0; i < 5; i++) updateQuestReward();
    EXPECT_EQ(game().money, 1630) << "paid once";
    gCounter.speechDone = 1;
    press(COUNTER_CONFIRM);
    updateQuestReward();
    press(0);
    EXPECT_EQ(gCounter.state, COUNTER_FREE);
    EXPECT_EQ(gCounter.panelWanted[SLOT_SHOPKEEPER], 0);
}

// ---- the visit of day 8 ------------------------------------------------------------

TEST_F(StoryVisitTest, TheVisitPlaysBothEventsAndAlwaysClearsItsFlag) {
    struct Case {
        const char* what;
        bool fadeOverridden;   // someone starts a fade-in over the visit's fade-out
    };
    for (Case c : {Case{"as written", false}, Case{"a fade started over it", true}}) {
        SCOPED_TRACE(c.what);
        resetFloorCustomersState();
        resetFades();
        game().date = 8;
        gFieldTicks = 0;
        gParty.positions[0] = Vector3{-30.0f, 0.0f, 30.0f};   // far from the door
        startStoryVisit();
        setFlags({FLAG_STORY_VISIT});
        std::vector<std::pair<int32_t, int32_t>> events;
        int32_t startedAt = -1, endedAt = -1;
        for (int32_t t = 0; t < 2000 && flag(FLAG_STORY_VISIT); t++) {
            gFieldTicks++;
            stepStoryVisit();
            animateStoryVisitors();
            stepTransition();
            if (c.fadeOverridden && gFloorCustomers.storyVisitStep == 3) startFadeIn(0, 5);
            if (gEventReady) {
                events.push_back({gEventNumber.major, gEventNumber.minor});
                if (startedAt < 0) startedAt = gFieldTicks;
                endEvent();
            }
            if (!flag(FLAG_STORY_VISIT)) endedAt = t;
        }
        ASSERT_EQ(events.size(), 2u);
        EXPECT_EQ(events[0], std::make_pair(10, 1));
        EXPECT_EQ(events[1], std::make_pair(10, 2));
        EXPECT_EQ(startedAt, STORY_VISIT_CLOCK_BASE) << "the visitor never came near: the latest time";
        EXPECT_FALSE(flag(FLAG_STORY_VISIT));
        EXPECT_FALSE(flag(FLAG_STORY_VISIT_HOLD));
        EXPECT_GT(endedAt, 0);
        EXPECT_EQ(gFieldTicks, 192);
    }
}

TEST_F(StoryVisitTest, TheVisitorWalksInAndTheEventComesWhenItMeetsTheHeroine) {
    resetFloorCustomersState();
    gFieldTicks = 0;
    startStoryVisit();
    setFlags({FLAG_STORY_VISIT});
    // She waits right where the visitor comes in.
    const CustomerSlot& v = gFloorCustomers.visitor;
    gParty.positions[0] = Vector3{v.x + 1.0f, 0.0f, v.z};
    int32_t started = -1;
    for (int32_t t = 0; t < 400 && started < 0; t++) {
        gFieldTicks++;
        stepStoryVisit();
        if (gEventReady) started = gFieldTicks;
    }
    EXPECT_EQ(started, 3) << "met at once: the event follows two ticks later";
    EXPECT_EQ(gFloorCustomers.storyVisitBase, 3);
    EXPECT_TRUE(flag(FLAG_STORY_VISIT_HOLD));
}
