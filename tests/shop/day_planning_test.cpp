// Planning a day phase: how many buyers come by the shelves and the shop's
// size, the trend day's flood, the group types' shared points, the
// orders due, and the story's rules for who may come. Over a small item
// table and a dozen plain customer types made in the test.
#include <gtest/gtest.h>

#include <set>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "economy_fixture.h"
#include "engine/loaders.h"
#include "engine/story_flags.h"
#include "shop/visitor_wishes.h"

namespace {

const char ITEMS[] =
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#90#30#0#0#0#Food Swtt Sobr###t\n";

constexpr int32_t BREAD = 4001;
constexpr int32_t FOOD = 40;
constexpr int32_t PLAIN_FIRST = 21;   // types 21..32: no story rules apply
constexpr int32_t PLAIN_COUNT = 12;

class ShopDayPlanTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        gShopAtmosphere = ShopAtmosphere{};
        for (int32_t t = PLAIN_FIRST; t < PLAIN_FIRST + PLAIN_COUNT; t++) present(t);
    }
    void TearDown() override {
        closeLoaderThread();
        resetLoaderState();
        EconomyTest::TearDown();
    }
    static void present(int32_t type) {
        CustomerType& t = gCustomerTypes[type];
        t.present = 1;
        t.activeTimes = ACTIVE_MORNING | ACTIVE_NOON | ACTIVE_EVENING | ACTIVE_NIGHT;
        t.attrA = t.attrB = 0;
        t.likedCount = 1;
        t.likedCategories[0] = FOOD;
        t.budgetMin = t.budgetMax = 1000;
    }
    static void fillPlaces(int32_t count) {
        for (int32_t i = 0; i < count; i++) game().shelves[1 + i / SHELF_CELLS][i % SHELF_CELLS] = itemKey(BREAD);
    }
    static int32_t planned(int32_t kind) {
        int32_t n = 0;
        for (int32_t r = 0; r < gDayPlan.visitPlanCount; r++) n += gDayPlan.visitPlan[r].kind == kind;
        return n;
    }
    // The distinct buyer counts over twenty seeds.
    static std::set<int32_t> buyerCounts() {
        std::set<int32_t> counts;
        for (uint32_t seed = 1; seed <= 20; seed++) {
            seedRandom(seed);
            beginShopDay();
            counts.insert(planned(VISIT_BUY));
        }
        return counts;
    }
};

}  // namespace

TEST_F(ShopDayPlanTest, AnEmptySmallShopPlansOneOrTwoBuyers) {
    EXPECT_EQ(buyerCounts(), (std::set<int32_t>{1, 2}));
    EXPECT_EQ(planned(VISIT_SELL), 0) << "sellers are not yet allowed";
    EXPECT_EQ(gCounter.mode, -1);
    EXPECT_EQ(gCounter.shopOpening, 1);
    EXPECT_EQ(gPortraitState, PORTRAIT_LOADING) << "the shopkeeper's pictures start loading";
}

TEST_F(ShopDayPlanTest, TheLargestShopWithFortyPlacesPlansFive) {
    game().shopSize = 3;
    fillPlaces(40);
    EXPECT_EQ(buyerCounts(), (std::set<int32_t>{5}));   // trunc(14 or 15 x 0.4286f) = 6, capped
}

TEST_F(ShopDayPlanTest, ThePlanIsVisitedInAShuffledOrderOfItsRows) {
    game().shopSize = 3;
    fillPlaces(40);
    seedRandom(3);
    beginShopDay();
    std::set<int32_t> rows(gDayPlan.visitOrder, gDayPlan.visitOrder + gDayPlan.visitPlanCount);
    EXPECT_EQ(rows.size(), static_cast<size_t>(gDayPlan.visitPlanCount));
    for (int32_t row : rows) EXPECT_LT(row, gDayPlan.visitPlanCount);
    // Every planned buyer walks the shop floor too.
    int32_t lineup = 0;
    while (lineup < DAY_LINEUP_SIZE && gDayPlan.dayLineup[lineup] != DAY_LINEUP_END) lineup++;
    EXPECT_GE(lineup, gDayPlan.visitPlanCount);
    EXPECT_LE(lineup, DAY_LINEUP_MAX);
}

TEST_F(ShopDayPlanTest, ATrendDayFloodsTheShopWithBuyersOfOneGroup) {
    constexpr int32_t FLOOD = PLAIN_FIRST + 3;
    gTrendDefinitionCount = 1;
    gTrendDefinitions[1].customerType = FLOOD;
    gTrendDefinitions[1].item = BREAD;
    game().trendSlots[0] = TrendSlot{-1, 1, 0, 3, {}};
    game().storyFlags[FLAG_SELLERS] = 1;     // sellers and orders would come
    game().storyFlags[FLAG_ORDER_DAY] = 1;   // on an ordinary day
    gOrderRequestCount = 1;
    gRequestRows[0].category = FOOD;
    std::set<int32_t> counts;
    for (uint32_t seed = 1; seed <= 12; seed++) {
        game().trendDayHeld = 0;
        game().shelves[1][0] = ITEM_KEY_NONE;
        fillPlaces(16);   // more than 8 + (r mod 8) places of the trend
        seedRandom(seed);
        beginShopDay();
        ASSERT_EQ(gCounter.trendDay, 1) << "seed " << seed;
        EXPECT_EQ(game().trendDayHeld, 1);
        EXPECT_EQ(gCounter.trendCustomerType, FLOOD);
        EXPECT_EQ(planned(VISIT_SELL), 0) << "seed " << seed;
        EXPECT_EQ(planned(VISIT_ORDER_PLACE), 0) << "seed " << seed;
        for (int32_t r = 0; r < gDayPlan.visitPlanCount; r++) EXPECT_EQ(gDayPlan.visitPlan[r].customerType, FLOOD);
        counts.insert(planned(VISIT_BUY));
    }
    EXPECT_EQ(counts, (std::set<int32_t>{8, 9}));
    // Held: the next phase of the day is an ordinary one.
    seedRandom(1);
    beginShopDay();
    EXPECT_EQ(gCounter.trendDay, 0);
}

TEST_F(ShopDayPlanTest, TheGroupTypesComeAsThreeCandidatesSharingThePoints) {
    present(13);
    seedRandom(5);
    beginShopDay();
    int32_t first = -1;
    int32_t rows = 0;
    for (int32_t r = 0; r < DAY_CANDIDATE_COUNT; r++) {
        if (gDayPlan.dayCandidates[r].customerType != 13) continue;
        if (first < 0) first = r;
        EXPECT_EQ(gDayPlan.dayCandidates[r].isExtra, rows == 0 ? 0 : 1) << "row " << r;
        rows++;
    }
    ASSERT_EQ(rows, 3);
    // The points of the first row carry to the other two at the next plan;
    // its level does not: theirs never rises, so they stay as wary as new.
    game().customerRelations[first].points = 42;
    game().customerRelations[first].level = 4;
    seedRandom(5);
    beginShopDay();
    for (int32_t extra : {first + 1, first + 2}) {
        EXPECT_EQ(game().customerRelations[extra].points, 42) << "row " << extra;
        EXPECT_EQ(game().customerRelations[extra].level, 0) << "row " << extra;
    }
    EXPECT_EQ(game().customerRelations[first].level, 4);
}

TEST_F(ShopDayPlanTest, OrdersDueComeAloneAndAreClosed) {
    seedRandom(2);
    beginShopDay();   // the candidate rows, to know a customer index
    int32_t index = 4;
    int32_t type = gDayPlan.dayCandidates[index].customerType;
    game().orders[0] = OrderRecord{1, 7, 0, static_cast<int16_t>(index), static_cast<int16_t>(type), 3};
    game().orders[1] = OrderRecord{1, 8, -2, static_cast<int16_t>(index + 1), 0, 2};
    game().orders[2] = OrderRecord{1, 9, 2, static_cast<int16_t>(index + 2), 0, 2};   // not yet due
    seedRandom(2);
    beginShopDay();
    ASSERT_EQ(gDayPlan.visitPlan[0].kind, VISIT_ORDER_DUE);
    EXPECT_EQ(gDayPlan.visitPlan[0].customerType, type);
    EXPECT_EQ(gDayPlan.visitPlan[0].requestRow, 7);
    EXPECT_EQ(gDayPlan.visitPlan[0].quantity, 3);
    EXPECT_EQ(gDayPlan.visitPlan[1].kind, VISIT_ORDER_OVERDUE);
    EXPECT_EQ(gDayPlan.dayCandidates[index].availability, CANDIDATE_AWAY) << "comes only for the order";
    EXPECT_EQ(game().orders[0].active, 0);
    EXPECT_EQ(game().orders[1].active, 0);
    EXPECT_EQ(game().orders[2].active, 1);
}

struct RuleCase {
    const char* what;
    int32_t type;
    int32_t playMode;
    int32_t flags[3];   // set to 1; 0 ends
    int32_t want;       // CandidateAvailability
};

TEST_F(ShopDayPlanTest, StoryRulesDecideWhoMayCome) {
    const RuleCase CASES[] = {
        {"type 2 before its flag", 2, PLAY_MODE_STORY, {0}, CANDIDATE_AWAY},
        {"type 2 met", 2, PLAY_MODE_STORY, {59, 0}, CANDIDATE_EAGER},
        {"type 2 sent for", 2, PLAY_MODE_STORY, {152, 0}, CANDIDATE_CERTAIN},
        {"type 7 after its first event", 7, PLAY_MODE_STORY, {123, 124, 0}, CANDIDATE_EAGER},
        {"type 7 called", 7, PLAY_MODE_STORY, {123, 0}, CANDIDATE_CERTAIN},
        {"type 9 gone", 9, PLAY_MODE_STORY, {166, 171, 0}, CANDIDATE_AWAY},
        {"type 18 allowed", 18, PLAY_MODE_STORY, {163, 0}, CANDIDATE_EAGER},
        {"townsfolk kept away", 22, PLAY_MODE_STORY, {FLAG_NO_TOWNSFOLK, 0}, CANDIDATE_AWAY},
        {"survival: type 3 by its summary", 3, PLAY_MODE_SURVIVAL, {FLAG_RUN_SUMMARY_FIRST + 1, 0}, CANDIDATE_EAGER},
        {"survival: type 3 without", 3, PLAY_MODE_SURVIVAL, {69, 0}, CANDIDATE_AWAY},
        {"survival: type 18 needs a level", 18, PLAY_MODE_SURVIVAL, {FLAG_RUN_SUMMARY_FIRST + 9, 0}, CANDIDATE_AWAY},
    };
    for (const RuleCase& c : CASES) {
        memset(game().storyFlags, 0, sizeof game().storyFlags);
        game().playMode = c.playMode;
        for (int32_t f : c.flags) {
            if (f == 0) break;
            game().storyFlags[f] = 1;
        }
        present(c.type);
        seedRandom(1);
        beginShopDay();
        int32_t found = -1;
        for (const DayCandidate& d : gDayPlan.dayCandidates) {
            if (d.customerType == c.type) {
                found = d.availability;
                break;
            }
        }
        EXPECT_EQ(found, c.want) << c.what;
        gCustomerTypes[c.type].present = c.type >= PLAIN_FIRST && c.type < PLAIN_FIRST + PLAIN_COUNT;
    }
}

TEST_F(ShopDayPlanTest, AStoryTutorialPlansThreeLessonsInOrder) {
    game().storyFlags[FLAG_STORY_TUTORIAL] = 1;
    seedRandom(1);
    beginShopDay();
    EXPECT_EQ(gCounter.tutorialMode, 1);
    ASSERT_EQ(gDayPlan.visitPlanCount, 3);
    for (int32_t r = 0; r < 3; r++) {
        EXPECT_EQ(gDayPlan.visitPlan[r].customerType, 1);
        EXPECT_EQ(gDayPlan.visitOrder[r], r);
    }
    // The scripted day wins over the tutorial and sends one visitor.
    game().storyFlags[FLAG_SCRIPTED_DAY] = 1;
    beginShopDay();
    EXPECT_EQ(game().storyFlags[FLAG_STORY_TUTORIAL], 0);
    ASSERT_EQ(gDayPlan.visitPlanCount, 1);
    EXPECT_EQ(gDayPlan.visitPlan[0].customerType, 13);
    EXPECT_EQ(gDayPlan.dayLineup[0], 13);
    EXPECT_EQ(gDayPlan.dayLineup[1], DAY_LINEUP_END);
}

TEST_F(ShopDayPlanTest, InterestCountsLikedItemsAndTriplesTheShowcase) {
    const CustomerType& t = gCustomerTypes[PLAIN_FIRST];
    game().shelves[1][5] = itemKey(BREAD);
    EXPECT_EQ(rateCustomerInterest(t), 4);                 // the liked category
    game().shelves[0][SHOWCASE_PLACES[0]] = itemKey(BREAD);
    EXPECT_EQ(rateCustomerInterest(t), 4 + 12);
    gCustomerTypes[PLAIN_FIRST].likedFlags = gItemDefinitions[findItemDef(BREAD)].categoryFlags;
    EXPECT_EQ(rateCustomerInterest(t), 6 + 18);            // and its flags
    game().shopSize = 2;
    EXPECT_EQ(rateCustomerInterest(t), 16 + 6);
}

// The size factors are 6/7, 2/3 and 3/7: a liked sum that is a multiple of 7
// scales to a whole number and is not cut one short.
TEST_F(ShopDayPlanTest, TheSizeFactorsScaleSevensExactly) {
    const CustomerType& t = gCustomerTypes[PLAIN_FIRST];
    for (int32_t i = 0; i < 7; i++) game().shelves[1][i] = itemKey(BREAD);   // 7 x 4 = 28
    const struct {
        int32_t size, want;
    } CASES[] = {{0, 28}, {1, 24 + 3}, {2, 18 + 6}, {3, 12 + 10}};
    for (const auto& c : CASES) {
        game().shopSize = c.size;
        EXPECT_EQ(rateCustomerInterest(t), c.want) << "shop size " << c.size;
    }
    EXPECT_EQ(SHOP_SIZE_FACTORS[1], 0.857142866f);
    EXPECT_EQ(SHOP_SIZE_FACTORS[2], 0.666666687f);
    EXPECT_EQ(SHOP_SIZE_FACTORS[3], 0.428571433f);
}
