// Market trends, news and booms over a small item table and trend rows made
// in the test; the thirty-day record runs the news table through its loader.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "adventurers/adventurers_state.h"
#include "economy_fixture.h"
#include "engine/frame_loop.h"
#include "engine/stage_index.h"
#include "platform/window.h"
#include "shop/negotiation.h"
#include "shop/trend_definitions.h"
#include "shop/trends.h"

namespace {

// Ids up to 10 sit at rows other than their id, so a lookup that took the id
// for a row would name the wrong item.
const char ITEMS[] =
    ":Swords#Weapons\n"
    "0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#t\n"
    "0003 Practice Sword+practice swords#100#3#0#0#0#Wepn Plan##a2#t\n"
    "0005 Knight Sword+knight swords#680#18#2#0#0#Wepn Metl Sobr##a2#t\n"
    ":Helms#Armour\n"
    "1600 Unknown Helm#-1#0#0#0#0#Armr##a1#t\n"
    "1601 Iron Helm+iron helms#150#0#4#0#0#Armr Metl##a1#t\n"
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#90#30#0#0#0#Food Swtt Sobr###t\n";

constexpr int32_t SWORDS = 0;   // category indexes: id / 100
constexpr int32_t FOOD = 40;
constexpr int32_t PRACTICE = 3, KNIGHT = 5, HELM = 1601, BREAD = 4001, TART = 4002;

TrendDefinition trendRow(int32_t effect, int32_t mask, int32_t category, int32_t item, const char* text,
                         const char* target = "") {
    TrendDefinition row{};
    snprintf(row.text, sizeof row.text, "%s", text);
    snprintf(row.targetName, sizeof row.targetName, "%s", target);
    row.effect = effect;
    row.duration = 3;
    row.categoryMask = mask;
    row.category = category;
    row.item = item;
    row.boundLow = row.boundHigh = -1;
    row.seasonFirst = 0;
    row.seasonLast = 999;
    return row;
}

TrendDefinition newsRow(const char* text) { return trendRow(0, 0, TREND_NEWS_ONLY, -1, text); }

class TrendTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        game().date = 5;
    }
    static void setRow(int32_t row, const TrendDefinition& d) {
        gTrendDefinitions[row] = d;
        if (gTrendDefinitionCount < row) gTrendDefinitionCount = row;
    }
    static void setSlot(int32_t slot, int32_t definition, int32_t effect, int32_t item = -1, int32_t days = 5) {
        TrendSlot& s = game().trendSlots[slot];
        s.definition = definition;
        s.effect = static_cast<int8_t>(effect);
        s.item = item;
        s.daysLeft = static_cast<int8_t>(days);
    }
    static std::vector<std::string> news() {
        std::vector<std::string> texts;
        for (int32_t i = 0; i < game().newsCount; i++) texts.emplace_back(game().newsTexts[i]);
        return texts;
    }
    static void sell(int32_t id, int32_t times) {
        int32_t n = 0;
        for (RecentSale& sale : game().recentSales) {
            if (sale.item == 0 && n < times) {
                sale = RecentSale{static_cast<uint16_t>(id), 3};
                n++;
            }
        }
    }
};

}  // namespace

// --- the answer for one item ----------------------------------------------

struct SlotSpec {
    int32_t definition;
    int32_t effect;
    int32_t item;
};
struct TrendCase {
    const char* what;
    std::vector<SlotSpec> slots;
    int32_t id;
    int32_t want;
};

TEST_F(TrendTest, TrendForItemCombinesMatchingSlots) {
    setRow(1, trendRow(1, ITEM_FLAG_WEAPON, -1, -1, "weapons up"));
    setRow(2, trendRow(-1, ITEM_FLAG_METAL, -1, -1, "metal down"));
    setRow(3, trendRow(1, 0, SWORDS, -1, "swords up"));
    setRow(4, trendRow(-2, ITEM_FLAG_PLAIN, -1, -1, "plain crash"));
    setRow(5, trendRow(1, 0, -1, TART, "tarts up"));
    setRow(6, trendRow(0, 0, FOOD, -1, "food talk"));
    setRow(7, trendRow(-1, ITEM_FLAG_FOOD, -1, -1, "food down"));
    setRow(TREND_BOOM_ROW, trendRow(1, TREND_SPECIAL_MASK, -1, -1, "<I> boom"));
    const TrendCase CASES[] = {
        {"one demand trend", {{1, 1, -1}}, KNIGHT, 1},
        {"+1 with -1", {{1, 1, -1}, {2, -1, -1}}, KNIGHT, 0},
        {"two +1 stay 1", {{1, 1, -1}, {3, 1, -1}}, KNIGHT, 1},
        {"any -2 crashes", {{1, 1, -1}, {3, 1, -1}, {4, -2, -1}}, PRACTICE, -2},
        {"-2 first", {{4, -2, -1}, {1, 1, -1}}, PRACTICE, -2},
        {"effect-100 slot ignored", {{6, TREND_NO_PRICE_EFFECT, -1}, {7, -1, -1}}, BREAD, -1},
        {"effect-100 alone", {{6, TREND_NO_PRICE_EFFECT, -1}}, BREAD, 0},
        {"category of another item", {{3, 1, -1}}, HELM, 0},
        {"definition's item", {{5, 1, -1}}, TART, 1},
        {"definition's item only", {{5, 1, -1}}, BREAD, 0},
        {"boom item", {{TREND_BOOM_ROW, 1, BREAD}}, BREAD, 1},
        {"boom reaches no other item", {{TREND_BOOM_ROW, 1, BREAD}}, KNIGHT, 0},
        {"bound item beside its category", {{3, 1, TART}}, TART, 1},
        {"empty and inactive slots", {{0, -2, -1}, {-1, -2, -1}}, PRACTICE, 0},
    };
    for (const TrendCase& c : CASES) {
        for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) setSlot(s, 0, 0);
        for (size_t s = 0; s < c.slots.size(); s++) setSlot(static_cast<int32_t>(s), c.slots[s].definition, c.slots[s].effect, c.slots[s].item);
        EXPECT_EQ(getTrendForItem(itemKey(c.id, 3)), c.want) << c.what;
    }
}

TEST_F(TrendTest, TrendsAreOffWhileTheTutorialShopIsOpen) {
    setRow(1, trendRow(1, ITEM_FLAG_WEAPON, -1, -1, "weapons up"));
    setSlot(0, 1, 1);
    int32_t savedCode = gStages[0].stageCode;
    gStages[0].stageCode = 0;
    struct Case { int32_t mode, floorState, flag, want; };
    const Case CASES[] = {
        {GAME_MODE_FIELD, 4, 1, 0},   // the shop floor, open, in the story tutorial
        {GAME_MODE_FIELD, 4, 0, 1},
        {GAME_MODE_FIELD, 1, 1, 1},
        {GAME_MODE_EVENT_SCENE, 4, 1, 1},
    };
    for (const Case& c : CASES) {
        gGameMode = c.mode;
        gStageIndex = 0;
        gShopFloor.shopFloorState = c.floorState;
        game().storyFlags[FLAG_STORY_TUTORIAL] = static_cast<uint8_t>(c.flag);
        EXPECT_EQ(getTrendForItem(itemKey(KNIGHT)), c.want) << "mode " << c.mode << " floor " << c.floorState << " flag " << c.flag;
    }
    gStages[0].stageCode = savedCode;
}

// --- refill -----------------------------------------------------------------

struct RefillCase {
    const char* what;
    TrendDefinition running;
    TrendDefinition candidate;
    bool accepted;
};

TEST_F(TrendTest, RefillKeepsOneTrendPerClassAndOneWithoutEffect) {
    const RefillCase CASES[] = {
        {"same category", trendRow(1, 0, SWORDS, -1, "a"), trendRow(-1, 0, SWORDS, -1, "b"), false},
        {"same mask", trendRow(1, ITEM_FLAG_WEAPON, -1, -1, "a"), trendRow(-1, ITEM_FLAG_WEAPON, -1, -1, "b"), false},
        {"mask beside category", trendRow(1, ITEM_FLAG_WEAPON, -1, -1, "a"), trendRow(-1, 0, SWORDS, -1, "b"), true},
        {"other category", trendRow(1, 0, FOOD, -1, "a"), trendRow(-1, 0, SWORDS, -1, "b"), true},
        {"two without effect", trendRow(0, ITEM_FLAG_FURNITURE, -1, -1, "a"), trendRow(0, 0, SWORDS, -1, "b"), false},
        {"no effect beside an effect", trendRow(0, 0, SWORDS, -1, "a"), trendRow(1, 0, SWORDS, -1, "b"), true},
        {"boom row", trendRow(1, 0, FOOD, -1, "a"), trendRow(1, TREND_SPECIAL_MASK, -1, -1, "b"), false},
        {"no target", trendRow(1, 0, FOOD, -1, "a"), trendRow(1, 0, -1, -1, "b"), false},
    };
    for (const RefillCase& c : CASES) {
        TrendDefinition running = c.running;
        running.seasonFirst = running.seasonLast = 500;   // never picked
        setRow(1, running);
        setRow(2, c.candidate);
        for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) setSlot(s, 0, 0);
        setSlot(0, 1, running.effect == 0 ? TREND_NO_PRICE_EFFECT : running.effect, -1, 9);
        game().newsCount = 0;
        seedRandom(77);
        advanceMarketDay();
        EXPECT_EQ(game().trendSlots[1].definition, c.accepted ? 2 : 0) << c.what;
        EXPECT_EQ(news(), c.accepted ? std::vector<std::string>{"b"} : std::vector<std::string>{}) << c.what;
    }
}

TEST_F(TrendTest, RefillGivesUpAfterAHundredRefusals) {
    setRow(1, trendRow(1, 0, SWORDS, -1, "a"));
    setSlot(0, 1, 1, -1, 9);
    // The first pick and one more after each of the hundred refusals.
    seedRandom(5);
    for (int32_t i = 0; i < 101; i++) randomInt();
    uint32_t after101 = gRandomState;
    seedRandom(5);
    advanceMarketDay();
    EXPECT_EQ(game().trendSlots[1].definition, 0);
    EXPECT_TRUE(news().empty());
    EXPECT_EQ(gRandomState, after101);
}

TEST_F(TrendTest, DayNineTakesTheFirstDefinitionWithoutADraw) {
    TrendDefinition first = trendRow(1, 0, FOOD, -1, "First news.");
    first.seasonFirst = first.seasonLast = 300;   // out of season: day 9 takes it anyway
    first.duration = 2;
    setRow(1, first);
    setRow(2, trendRow(1, 0, SWORDS, -1, "Second news."));
    game().date = 9;
    seedRandom(3);
    advanceMarketDay();
    EXPECT_EQ(gRandomState, 3u);   // nothing was drawn
    EXPECT_EQ(game().trendSlots[0].definition, 1);
    EXPECT_EQ(game().trendSlots[0].daysLeft, 2);   // 2 + 1 days, one gone today
    EXPECT_EQ(news(), std::vector<std::string>{"First news."});
}

TEST_F(TrendTest, ANewTrendLastsAtLeastTwoDaysAndExpiresWithItsText) {
    TrendDefinition quick = trendRow(0, 0, SWORDS, -1, "Swords are talked about.", "Swords");
    quick.duration = 0;
    setRow(1, quick);
    seedRandom(11);
    advanceMarketDay();
    const TrendSlot& slot = game().trendSlots[0];
    EXPECT_EQ(slot.definition, 1);
    EXPECT_EQ(slot.effect, TREND_NO_PRICE_EFFECT);   // no price effect: only announced
    EXPECT_EQ(slot.daysLeft, 1);
    EXPECT_EQ(news(), std::vector<std::string>{"Swords are talked about."});
    quick.seasonFirst = quick.seasonLast = 500;   // no second pick of the same row
    setRow(1, quick);
    advanceMarketDay();
    EXPECT_EQ(slot.definition, 0);
    EXPECT_EQ(news(), std::vector<std::string>{"The Swords boom has ended."});
}

TEST_F(TrendTest, DurationTakesTheRandomExtraDays) {
    TrendDefinition row = trendRow(1, 0, SWORDS, -1, "x");
    row.duration = 4;
    row.durationRandom = 3;
    setRow(1, row);
    int32_t extra = 0;
    seedWhere([&] {
        randomInt();   // the pick among one row
        extra = randomInt() % 3;
        return extra == 2;
    });
    advanceMarketDay();
    EXPECT_EQ(game().trendSlots[0].daysLeft, 4 + 2 + 1 - 1);
}

TEST_F(TrendTest, BoundItemIsDrawnFromThePriceRangeAndNamed) {
    TrendDefinition row = trendRow(1, 0, SWORDS, -1, "Guards want <I>; <I> sell out!");
    row.boundLow = 600;
    row.boundHigh = 700;
    setRow(1, row);
    seedRandom(8);
    advanceMarketDay();
    EXPECT_EQ(game().trendSlots[0].item, KNIGHT);
    EXPECT_EQ(news(), std::vector<std::string>{"Guards want knight swords; knight swords sell out!"});
}

TEST_F(TrendTest, BoundItemMeetsTheMask) {
    TrendDefinition row = trendRow(-1, ITEM_FLAG_SWEET, -1, -1, "Nobody eats <I>.");
    row.boundLow = 0;
    row.boundHigh = 1000;
    setRow(1, row);
    seedRandom(8);
    advanceMarketDay();
    EXPECT_EQ(game().trendSlots[0].item, TART);
    EXPECT_EQ(news(), std::vector<std::string>{"Nobody eats royal tarts."});
}

struct BoundsCase {
    const char* what;
    TrendDefinition row;
    int32_t low, high;
    bool admitted;
};

TEST(TrendBounds, RowsWhoseRangeAdmitsNoItemAreRefused) {
    std::string items = ITEMS;
    parseItemTable(items.data(), static_cast<int32_t>(items.size()));
    const BoundsCase CASES[] = {
        {"no range", trendRow(1, 0, SWORDS, -1, "t"), -1, -1, true},
        {"category in range", trendRow(1, 0, SWORDS, -1, "t"), 100, 100, true},
        {"category out of range", trendRow(1, 0, SWORDS, -1, "t"), 101, 679, false},
        {"mask in range", trendRow(1, ITEM_FLAG_METAL, -1, -1, "t"), 150, 150, true},
        {"mask out of range", trendRow(1, ITEM_FLAG_FOOD, -1, -1, "t"), 91, 5000, false},
        {"placeholder rows are no items", trendRow(1, 0, SWORDS, -1, "t"), 0, 99, false},
        {"an item target binds nothing", trendRow(1, 0, -1, TART, "t"), 0, 1000, false},
        {"special mask", trendRow(1, TREND_SPECIAL_MASK, -1, -1, "t"), 0, 1000, false},
    };
    for (const BoundsCase& c : CASES) {
        TrendDefinition row = c.row;
        row.boundLow = c.low;
        row.boundHigh = c.high;
        EXPECT_EQ(trendBoundsAdmitItem(row), c.admitted) << c.what;
    }
    parseItemTable("", 0);
}

// --- booms ------------------------------------------------------------------

class TrendBoomTest : public TrendTest {
protected:
    void SetUp() override {
        TrendTest::SetUp();
        // Nothing in season on day 5 and no town news before day 10: the
        // day's only draws are the boom's.
        for (int32_t r = 1; r < TREND_BOOM_ROW; r++) setRow(r, newsRow("news"));
        TrendDefinition boom = trendRow(1, TREND_SPECIAL_MASK, -1, -1, "<I> are all the rage!", "Spcl");
        boom.seasonFirst = boom.seasonLast = 200;
        setRow(TREND_BOOM_ROW, boom);
        TrendDefinition big = trendRow(2, TREND_SPECIAL_MASK, -1, -1, "A huge boom: <I>!", "Spcl");
        big.seasonFirst = big.seasonLast = 200;
        setRow(TREND_BIG_BOOM_ROW, big);
        game().merchantLevel = 9;
    }
};

struct ChanceCase {
    int32_t repeats;
    int32_t draw;   // the boom draw, mod 100
    bool boom;
};

TEST_F(TrendBoomTest, ChanceByRepeats) {
    const ChanceCase CASES[] = {
        {3, 0, false},
        {4, 9, true}, {4, 10, false},
        {5, 24, true}, {5, 25, false},
        {6, 49, true}, {6, 50, false},
        {7, 79, true}, {7, 80, false},
        {8, 99, true}, {12, 99, true},
    };
    for (const ChanceCase& c : CASES) {
        for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) setSlot(s, 0, 0);
        for (RecentSale& sale : game().recentSales) sale = RecentSale{0, 0};
        sell(BREAD, c.repeats);
        sell(TART, 2);
        seedWhere([&] { return randomInt() % 100 == c.draw; });
        advanceMarketDay();
        int32_t definition = game().trendSlots[0].definition;
        EXPECT_EQ(definition == TREND_BOOM_ROW || definition == TREND_BIG_BOOM_ROW, c.boom)
            << c.repeats << " repeats, draw " << c.draw;
    }
}

struct BigBoomCase {
    int32_t repeats;
    int32_t bigDraw;   // mod 100
    int32_t row;
};

TEST_F(TrendBoomTest, BigBoomChanceAndDurationsByRepeats) {
    const BigBoomCase CASES[] = {
        {4, 9, TREND_BIG_BOOM_ROW}, {4, 10, TREND_BOOM_ROW},
        {5, 29, TREND_BIG_BOOM_ROW}, {5, 30, TREND_BOOM_ROW},
        {6, 49, TREND_BIG_BOOM_ROW}, {6, 50, TREND_BOOM_ROW},
        {7, 69, TREND_BIG_BOOM_ROW}, {7, 70, TREND_BOOM_ROW},
        {8, 89, TREND_BIG_BOOM_ROW}, {9, 90, TREND_BOOM_ROW},
    };
    for (const BigBoomCase& c : CASES) {
        for (int32_t days = 0; days < 4; days++) {
            for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) setSlot(s, 0, 0);
            for (RecentSale& sale : game().recentSales) sale = RecentSale{0, 0};
            sell(BREAD, c.repeats);
            bool big = c.row == TREND_BIG_BOOM_ROW;
            seedWhere([&] {
                return randomInt() % 100 == 0 && randomInt() % 100 == c.bigDraw && randomInt() % (big ? 4 : 3) == days % (big ? 4 : 3);
            });
            advanceMarketDay();
            const TrendSlot& slot = game().trendSlots[0];
            ASSERT_EQ(slot.definition, c.row) << c.repeats << " repeats, big draw " << c.bigDraw;
            // 2..5 days for the big boom, 4..6 for the ordinary one, one gone today.
            int32_t want = (big ? 2 + days % 4 : 4 + days % 3) - 1;
            EXPECT_EQ(slot.daysLeft, want) << c.repeats << " repeats, big draw " << c.bigDraw;
            EXPECT_EQ(slot.item, BREAD);
            EXPECT_EQ(slot.effect, big ? 2 : 1);
        }
    }
}

TEST_F(TrendBoomTest, EightRepeatsBoomForCertainFromMerchantLevelNine) {
    for (int32_t level : {8, 9}) {
        for (uint32_t seed = 1; seed <= 20; seed++) {
            for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) setSlot(s, 0, 0);
            for (RecentSale& sale : game().recentSales) sale = RecentSale{0, 0};
            sell(BREAD, 8);
            game().merchantLevel = level;
            seedRandom(seed);
            advanceMarketDay();
            EXPECT_EQ(game().trendSlots[0].definition != 0, level == 9) << "level " << level << " seed " << seed;
        }
    }
}

TEST_F(TrendBoomTest, BoomNamesItsItemByIdAndTakesItsSales) {
    setSlot(0, 1, 1, -1, 9);   // the first empty slot is slot 1
    sell(PRACTICE, 8);
    sell(TART, 3);
    seedRandom(1);
    advanceMarketDay();
    const TrendSlot& slot = game().trendSlots[1];
    ASSERT_NE(slot.definition, 0);
    EXPECT_EQ(slot.item, PRACTICE);
    // Item 3 sits at row 1; row 3 is the unknown helm.
    std::string text = slot.definition == TREND_BOOM_ROW ? "practice swords are all the rage!" : "A huge boom: practice swords!";
    EXPECT_EQ(news(), std::vector<std::string>{text});
    int32_t practice = 0, tart = 0;
    for (const RecentSale& sale : game().recentSales) {
        practice += sale.item == PRACTICE;
        tart += sale.item == TART;
    }
    EXPECT_EQ(practice, 0);
    EXPECT_EQ(tart, 3);
    EXPECT_EQ(getTrendForItem(itemKey(PRACTICE)), 1);
    EXPECT_EQ(getTrendForItem(itemKey(KNIGHT)), 0);
}

TEST_F(TrendBoomTest, TheFirstItemReachingTheMostRepeatsBooms) {
    sell(TART, 4);
    sell(BREAD, 4);
    seedWhere([] { return randomInt() % 100 == 0; });
    advanceMarketDay();
    EXPECT_EQ(game().trendSlots[0].item, TART);
}

TEST_F(TrendBoomTest, RecentSalesLastThreeDays) {
    game().date = 12;   // sales count from day 9
    game().merchantLevel = 0;
    logSoldItem(itemKey(BREAD), 0);
    ASSERT_EQ(game().recentSales[0].item, BREAD);
    EXPECT_EQ(game().recentSales[0].days, 3);
    for (int32_t day = 0; day < 3; day++) {
        EXPECT_EQ(game().recentSales[0].item, BREAD) << "day " << day;
        advanceMarketDay();
    }
    EXPECT_EQ(game().recentSales[0].item, 0);
}

// --- expiry and news --------------------------------------------------------

struct ExpiryCase {
    const char* what;
    TrendDefinition row;
    int32_t effect;
    int32_t item;
    const char* text;
};

TEST_F(TrendTest, ExpiryTextNamesItemCategoryOrTarget) {
    const ExpiryCase CASES[] = {
        {"bound item", trendRow(1, 0, SWORDS, -1, "t", "Swords"), 1, KNIGHT, "The price of knight swords has normalized."},
        {"item id up to 10 by id", trendRow(-1, 0, SWORDS, -1, "t", "Swords"), -1, PRACTICE, "The price of practice swords has normalized."},
        {"mask", trendRow(-2, ITEM_FLAG_METAL, -1, -1, "t", "Metl"), -2, -1, "The price of metal things has normalized."},
        {"category: the target as written", trendRow(1, 0, FOOD, -1, "t", "Food"), 1, -1, "The price of Food has normalized."},
        {"unknown bound id", trendRow(1, 0, FOOD, -1, "t", "Food"), 1, 77, "The price of Food has normalized."},
        {"no price effect", trendRow(0, ITEM_FLAG_SWEET, -1, -1, "t", "Swtt"), TREND_NO_PRICE_EFFECT, -1, "The sweets boom has ended."},
        {"boom without effect", trendRow(0, TREND_SPECIAL_MASK, -1, -1, "t", "Spcl"), 0, TART, "The royal tarts boom has ended."},
        {"boom with an effect", trendRow(2, TREND_SPECIAL_MASK, -1, -1, "t", "Spcl"), 2, BREAD, "The price of bread has normalized."},
    };
    for (const ExpiryCase& c : CASES) {
        TrendDefinition row = c.row;
        row.seasonFirst = row.seasonLast = 500;
        setRow(1, row);
        for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) setSlot(s, 0, 0);
        setSlot(3, 1, c.effect, c.item, 1);
        advanceMarketDay();
        EXPECT_EQ(game().trendSlots[3].definition, 0) << c.what;
        EXPECT_EQ(news(), std::vector<std::string>{c.text}) << c.what;
    }
}

TEST_F(TrendTest, TownNewsFromDayTenAndTheTickerLayout) {
    TrendDefinition trend = trendRow(1, 0, SWORDS, -1, "Swords!", "Swords");
    trend.seasonFirst = trend.seasonLast = 500;
    setRow(1, trend);
    setRow(2, newsRow("A circus came."));
    TrendDefinition late = newsRow("Winter is near.");
    late.seasonFirst = 20;
    setRow(3, late);
    setSlot(0, 1, 1, -1, 1);
    game().date = 9;
    advanceMarketDay();
    EXPECT_EQ(news(), std::vector<std::string>{"The price of Swords has normalized."});
    game().date = 10;
    setSlot(0, 1, 1, -1, 1);
    advanceMarketDay();
    ASSERT_EQ(news(), (std::vector<std::string>{"The price of Swords has normalized.", "A circus came."}));
    EXPECT_EQ(game().newsTickerOffsets[0], 0);
    EXPECT_EQ(game().newsTickerOffsets[1], 35 + 3);
    EXPECT_EQ(game().newsTickerLength, 35 + 3 + 14 + 3);
}

TEST_F(TrendTest, ResetMarksEverySlotInactive) {
    setRow(1, trendRow(1, ITEM_FLAG_WEAPON, -1, -1, "weapons up"));
    setSlot(4, 1, 1, -1, 3);
    game().newsCount = 2;
    resetNewsAndEvents();
    for (const TrendSlot& slot : game().trendSlots) {
        EXPECT_EQ(slot.definition, -1);
        EXPECT_EQ(slot.effect, 0);
        EXPECT_EQ(slot.daysLeft, 0);
    }
    EXPECT_EQ(game().newsCount, 0);
    EXPECT_EQ(getTrendForItem(itemKey(KNIGHT)), 0);
    advanceMarketDay();   // inactive slots are neither refilled nor expired
    EXPECT_EQ(game().trendSlots[4].definition, -1);
}

// --- thirty days ------------------------------------------------------------

// A news table in the file's own syntax: trends of every kind, a bound item,
// town news, and the two booms at rows 36 and 37.
const char MARKET_NEWS[] =
    "TgtPsn:11\n"
    "Sesn:0-999\n"
    "Wepn,1,5-3,Knights are buying weapons.\n"
    "Swords,1,4-2,100-700,The captain praises <I>!\n"
    "Armr,-1,4-2,Armour piles up.\n"
    "Metl,-1,3-2,A new mine has opened.\n"
    "Helms,-2,3-1,A shipload of helms!\n"
    "Food,1,3-2,A poor harvest.\n"
    "Royal Tart,1,3-1,The palace orders tarts.\n"
    "Swtt,0,3-2,Sweets are the talk of the town.\n"
    "Sobr,0,4-2,A grand ball is announced.\n"
    "Plan,-1,5-2,Plain goods are out.\n"
    "Sesn:15-40\n"
    "Food,-1,3-2,Fishermen bring a huge catch.\n"
    "Sesn:10-999\n"
    "-news,0,A circus has come.\n"
    "-news,0,The bakery has an apprentice.\n"
    "-news,0,Lights over the forest.\n";

std::string marketNewsTable() {
    std::string text = MARKET_NEWS;
    for (int32_t row = 15; row < TREND_BOOM_ROW; row++) text += "-news,0,Quiet day " + std::to_string(row) + ".\n";
    text += "Sesn:0-999\nSpcl,1,5-2,<I> are all the rage!\nSpcl,2,3-2,A huge boom: <I>!\n";
    return text;
}

std::string dayRecord(int32_t date) {
    std::ostringstream line;
    line << "day " << date << " |";
    for (int32_t s = 0; s < TREND_SLOT_COUNT; s++) {
        const TrendSlot& slot = runningGameState().trendSlots[s];
        if (slot.definition == 0) continue;
        line << " " << s << ":" << slot.definition << "/" << int{slot.effect} << "/" << int{slot.daysLeft} << "/" << slot.item;
    }
    line << " | ticker " << runningGameState().newsTickerLength << " |";
    for (int32_t i = 0; i < runningGameState().newsCount; i++) line << " " << runningGameState().newsTexts[i] << " ;";
    return line.str();
}

TEST_F(TrendTest, ThirtyMarketDaysFromOneSeedMatchTheRecord) {
    std::string text = marketNewsTable();
    parseTrendTable(text.data(), static_cast<int32_t>(text.size()));
    ASSERT_EQ(gTrendDefinitionCount, TREND_BIG_BOOM_ROW);
    ASSERT_EQ(gHeadlessMessageBoxes.total, 0);
    game().merchantLevel = 12;
    seedRandom(2024);
    std::vector<std::string> days;
    for (int32_t date = 5; date < 35; date++) {
        game().date = date;
        // Bread sells at the counter every day of the second week, tarts on
        // a few days after it.
        if (date >= 10 && date < 15) {
            logSoldItem(itemKey(BREAD), 0);
            logSoldItem(itemKey(BREAD), 0);
        }
        if (date == 20 || date == 21 || date == 23) logSoldItem(itemKey(TART, 2), 0);
        advanceMarketDay();
        days.push_back(dayRecord(date));
    }
    std::ifstream file(std::string(TOLLI_SOURCE_DIR) + "/tests/shop/market_days_seed2024.txt");
    ASSERT_TRUE(file.is_open());
    std::vector<std::string> want;
    for (std::string line; std::getline(file, line);) want.push_back(line);
    ASSERT_EQ(days.size(), want.size());
    for (size_t i = 0; i < days.size(); i++) EXPECT_EQ(days[i], want[i]) << "line " << i + 1;
}
