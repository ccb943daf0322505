// The numbers behind a counter visit: offers and asks from a fixed seed
// (worked out by hand in single and double precision), the judged bands,
// the deal bonus, relationships, budgets, the day score, the logs and the
// adventurer customers who equip what they buy.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shop/purchase_equipment.h"
#include "economy_fixture.h"
#include "shop/negotiation.h"
#include "shop/trends.h"

namespace {

const char ITEMS[] =
    ":Swords#Weapons\n"
    "0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#t\n"
    "0001 Short Sword+short swords#120#6#0#0#0#Wepn Metl##a2#t\n"
    "0002 Broad Sword+broad swords#200#9#0#0#0#Wepn Metl##a2#t\n"
    "0004 Knight Sword+knight swords#680#18#2#0#0#Wepn Metl##a2#t\n"
    ":Helms#Armour\n"
    "1600 Unknown Helm#-1#0#0#0#0#Armr##a1#t\n"
    "1601 Iron Helm+iron helms#150#0#4#0#1#Armr Metl##a1#t\n"
    "1602 Cloth Cap+cloth caps#40#0#0#0#2#Armr Plan##a1#t\n"
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n";

constexpr int32_t SHORT_SWORD = 1, BROAD_SWORD = 2, KNIGHT_SWORD = 4, HELM = 1601, CAP = 1602, BREAD = 4001;
constexpr int32_t CUSTOMER = 12;   // an ordinary customer type
constexpr int32_t ADVENTURER = 2;  // customer type 2 is adventurer 0

class NegotiationTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        for (int32_t type : {CUSTOMER, SELLER_TYPE_FIVEFOLD, ADVENTURER}) {
            CustomerType& t = gCustomerTypes[type];
            t.present = 1;
            t.firstOffer = 60;
            t.firstOfferSpread = 5;
            t.rise1 = 15;
            t.rise2 = 10;
            t.concession = 20;
        }
        gCounter.customerType = CUSTOMER;
        gCounter.customerIndex = 7;
    }
    // A trend of this effect on the Swords category in slot 0.
    static void swordsTrend(int32_t effect) {
        TrendDefinition& row = gTrendDefinitions[1];
        row = TrendDefinition{};
        row.effect = effect;
        row.category = 0;
        row.item = -1;
        gTrendDefinitionCount = 1;
        game().trendSlots[0] = TrendSlot{-1, 1, static_cast<int8_t>(effect), 3, {}};
    }
};

// Reference, limit, target, offer and the price after each call, as the
// single- and double-precision rules give them for the seed.
struct Round {
    int32_t reference, limit, target, offer, price;
};
struct OfferCase {
    const char* what;
    bool seller;
    int32_t customerType;
    uint32_t seed;
    int32_t base, price, trend;
    bool scriptedDay;
    std::vector<Round> rounds;
};

}  // namespace

TEST_F(NegotiationTest, OffersAndAsksFromAFixedSeed) {
    const OfferCase CASES[] = {
        {"buyer", false, CUSTOMER, 1, 1234, 2000, 0, false,
         {{1234, 2469, 1257, 789, 2000}, {1234, 2469, 1257, 1020, 2000}, {1234, 2469, 1257, 1356, 2000}}},
        {"buyer in demand", false, CUSTOMER, 7, 1234, 3000, 1, false,
         {{2469, 6250, 2522, 1407, 3000}, {2469, 6250, 2522, 1801, 3000}, {2469, 6250, 2522, 2303, 3000}}},
        {"buyer out of favour", false, CUSTOMER, 7, 1234, 3000, -1, false,
         {{555, 1405, 566, 316, 3000}, {555, 1405, 566, 660, 3000}}},
        {"buyer after a crash", false, CUSTOMER, 7, 1234, 3000, -2, false,
         {{432, 1093, 441, 246, 3000}, {432, 1093, 441, 587, 3000}}},
        // The target's factor is summed in single precision: 34048 in double.
        {"buyer, single-precision target", false, CUSTOMER, 292, 31415, 40000, 0, false,
         {{31415, 63781, 34047, 20105, 40000}}},
        {"buyer on the scripted day", false, CUSTOMER, 1, 1234, 2000, 0, true,
         {{1234, 2469, 1257, 789, 2000}, {1234, 2469, 1257, 1851, 2000}}},
        {"seller", true, CUSTOMER, 3, 800, 300, 0, false,
         {{800, 160, 542, 864, 300}, {800, 160, 542, 690, 300}, {800, 160, 542, 488, 300}}},
        {"seller of type 18", true, SELLER_TYPE_FIVEFOLD, 3, 700, 700, 0, false,
         {{3500, 700, 2374, 3780, 3500}, {3500, 700, 2374, 3390, 3500}}},
    };
    for (const OfferCase& c : CASES) {
        game().trendSlots[0] = TrendSlot{-1, 0, 0, 0, {}};
        if (c.trend != 0) swordsTrend(c.trend);
        game().storyFlags[FLAG_SCRIPTED_DAY] = c.scriptedDay;
        gCounter.customerType = c.customerType;
        gCounter.itemKey = itemKey(SHORT_SWORD);
        gCounter.basePrice = c.base;
        gCounter.counterPrice = c.price;
        gCounter.round = 0;
        seedRandom(c.seed);
        for (size_t r = 0; r < c.rounds.size(); r++) {
            if (c.seller) updateSellerAsk();
            else updateBuyerOffer();
            const Round& want = c.rounds[r];
            std::string at = std::string(c.what) + ", call " + std::to_string(r + 1);
            EXPECT_EQ(gCounter.reference, want.reference) << at;
            EXPECT_EQ(gCounter.limit, want.limit) << at;
            EXPECT_EQ(gCounter.target, want.target) << at;
            EXPECT_EQ(gCounter.offer, want.offer) << at;
            EXPECT_EQ(gCounter.counterPrice, want.price) << at;
            EXPECT_EQ(gCounter.round, static_cast<int32_t>(r + 1)) << at;
        }
    }
}

struct AnswerCase {
    bool seller;
    int32_t price, offer, limit;
    CounterAnswer want;
};

TEST(NegotiationAnswer, WalkOutRules) {
    const AnswerCase CASES[] = {
        {false, 1000, 1000, 2500, ANSWER_DEAL},         // the offer covers the price
        {false, 900, 1000, 2500, ANSWER_DEAL},
        {false, 1001, 1000, 2500, ANSWER_COUNTER_OFFER},
        {false, 2499, 1000, 2500, ANSWER_COUNTER_OFFER},
        {false, 2500, 1000, 2500, ANSWER_WALK_OUT},     // at the limit
        {true, 864, 864, 160, ANSWER_DEAL},             // the price covers the ask
        {true, 900, 864, 160, ANSWER_DEAL},
        {true, 161, 864, 160, ANSWER_COUNTER_OFFER},
        {true, 160, 864, 160, ANSWER_WALK_OUT},         // at the seller's limit
        {true, 1, 864, 160, ANSWER_WALK_OUT},
    };
    for (const AnswerCase& c : CASES)
        EXPECT_EQ(answerCounterPrice(c.seller, c.price, c.offer, c.limit), c.want)
            << (c.seller ? "seller" : "buyer") << " price " << c.price;
}

// --- judgement and bonus ------------------------------------------------------

struct BandCase {
    int32_t target;
    int32_t perfectLow, perfectHigh, nearLow, nearHigh;
};

TEST_F(NegotiationTest, JudgePerfectAndNearBands) {
    const BandCase CASES[] = {
        {100, 100, 100, 95, 104},   // 105 is not near: 1.05f is slightly below 1.05
        {110, 109, 110, 104, 115},
        {150, 149, 150, 142, 157},
        {1000, 995, 1004, 950, 1049},
        {12345, 12283, 12406, 11727, 12962},
    };
    for (const BandCase& c : CASES) {
        gCounter.target = c.target;
        for (int32_t price = c.nearLow - 3; price <= c.nearHigh + 3; price++) {
            gCounter.counterPrice = price;
            int32_t want = price >= c.perfectLow && price <= c.perfectHigh ? JUDGED_PERFECT
                           : price >= c.nearLow && price <= c.nearHigh     ? JUDGED_NEAR
                                                                           : JUDGED_PLAIN;
            EXPECT_EQ(judgePrice(), want) << "target " << c.target << " price " << price;
        }
    }
}

struct BonusCase {
    const char* what;
    int32_t round, comboBefore, price;   // target 1000
    std::vector<int32_t> kinds, values;
    int32_t combo;
};

TEST_F(NegotiationTest, DealBonusRows) {
    const BonusCase CASES[] = {
        {"perfect on a counter-offer", 2, 3, 1000, {BONUS_PERFECT, BONUS_TOTAL}, {30, 30}, 0},
        {"near on a counter-offer", 3, 0, 1049, {BONUS_NEAR, BONUS_TOTAL}, {15, 15}, 0},
        {"plain on a counter-offer", 2, 1, 1200, {BONUS_TOTAL}, {10}, 0},
        {"plain first offer", 1, 0, 1200, {BONUS_COMBO, BONUS_TOTAL}, {2, 12}, 1},
        {"perfect third first offer", 1, 2, 1004, {BONUS_PERFECT, BONUS_COMBO, BONUS_TOTAL}, {30, 8, 38}, 3},
        {"near seventh first offer", 1, 6, 950, {BONUS_NEAR, BONUS_COMBO, BONUS_TOTAL}, {15, 128, 143}, 7},
        {"perfect after many", 1, 20, 1000, {BONUS_PERFECT, BONUS_COMBO, BONUS_TOTAL}, {30, 128, 158}, 21},
    };
    for (const BonusCase& c : CASES) {
        gCounter.target = 1000;
        gCounter.counterPrice = c.price;
        gCounter.round = c.round;
        gCounter.combo = c.comboBefore;
        gCounter.bonusAnim[2] = 9;
        awardDealBonus();
        std::vector<int32_t> kinds(gCounter.bonusKinds, gCounter.bonusKinds + gCounter.bonusRowCount);
        std::vector<int32_t> values(gCounter.bonusValues, gCounter.bonusValues + gCounter.bonusRowCount);
        EXPECT_EQ(kinds, c.kinds) << c.what;
        EXPECT_EQ(values, c.values) << c.what;
        EXPECT_EQ(gCounter.combo, c.combo) << c.what;
        EXPECT_EQ(gCounter.bonusTimer, 1) << c.what;
        EXPECT_EQ(gCounter.bonusAnim[2], 0) << c.what;
    }
}

TEST_F(NegotiationTest, ComboDoublesUpTo128) {
    gCounter.target = 1000;
    gCounter.counterPrice = 1300;
    gCounter.round = 1;
    const int32_t WANT[] = {2, 4, 8, 16, 32, 64, 128, 128, 128};
    for (int32_t deal = 0; deal < 9; deal++) {
        awardDealBonus();
        ASSERT_EQ(gCounter.bonusRowCount, 2);
        EXPECT_EQ(gCounter.bonusValues[0], WANT[deal]) << "deal " << deal + 1;
        EXPECT_EQ(gCounter.bonusValues[1], 10 + WANT[deal]) << "deal " << deal + 1;
    }
    gCounter.round = 2;   // a deal after a counter-offer ends the run
    awardDealBonus();
    EXPECT_EQ(gCounter.combo, 0);
    EXPECT_EQ(gCounter.bonusRowCount, 1);
}

// --- relationship and budget --------------------------------------------------

struct AttitudeCase {
    int32_t level;
    bool tutorial;
    int32_t want;
};

TEST_F(NegotiationTest, AttitudeByLevel) {
    const AttitudeCase CASES[] = {
        {0, false, 2}, {1, false, 3}, {4, false, 3}, {5, false, 4}, {8, false, 4},
        {0, true, 3}, {8, true, 3},
    };
    for (const AttitudeCase& c : CASES) {
        game().customerRelations[7].level = static_cast<int16_t>(c.level);
        game().storyFlags[FLAG_STORY_TUTORIAL] = c.tutorial;
        EXPECT_EQ(getCustomerAttitude(), c.want) << "level " << c.level << " tutorial " << c.tutorial;
    }
}

struct LevelCase {
    int32_t points, level;
    bool extra;
    int32_t wantLevel, raised;
};

TEST_F(NegotiationTest, LevelFollowsPointsButOnlyRises) {
    const LevelCase CASES[] = {
        {35, 1, false, 3, 1},
        {35, 3, false, 3, 0},
        {35, 5, false, 5, 0},    // fewer points never lower it
        {120, 2, false, 8, 1},   // at most 8
        {120, 8, false, 8, 0},
        {35, 1, true, 1, 0},     // the extra candidates of a type never rise
        {9, 0, false, 0, 0},
    };
    for (const LevelCase& c : CASES) {
        game().customerRelations[7] = CustomerRelation{static_cast<int16_t>(c.points), static_cast<int16_t>(c.level)};
        gDayPlan.dayCandidates[7].isExtra = c.extra;
        EXPECT_EQ(raiseCustomerLevel(), c.raised) << c.points << " points, level " << c.level;
        EXPECT_EQ(game().customerRelations[7].level, c.wantLevel) << c.points << " points, level " << c.level;
    }
}

struct BudgetCase {
    int32_t points, want;
};

TEST_F(NegotiationTest, BudgetByPoints) {
    gCustomerTypes[CUSTOMER].budgetMin = 300;
    gCustomerTypes[CUSTOMER].budgetMax = 1333;
    const BudgetCase CASES[] = {
        {0, 300}, {9, 300}, {10, 403}, {55, 816}, {99, 1229}, {100, 1333}, {250, 1333},
    };
    for (const BudgetCase& c : CASES) {
        game().customerRelations[40].points = static_cast<int16_t>(c.points);
        EXPECT_EQ(computeCustomerBudget(CUSTOMER, 40), c.want) << c.points << " points";
    }
}

// --- day score, records, logs, shelves ----------------------------------------

struct ScoreCase {
    int32_t price, base, direction, change;
};

TEST_F(NegotiationTest, DayScoreBySquareRootAndPercentage) {
    const ScoreCase CASES[] = {
        {1500, 1000, PRICE_SOLD, 50 + 22},
        {900, 1000, PRICE_SOLD, -10 - 10},    // -9 percent in double precision
        {1100, 1000, PRICE_BOUGHT, -(10 + 10)},
        {100, 37, PRICE_SOLD, 170 + 7},
        {1234, 1234, PRICE_SOLD, 0},
        {1000, 0, PRICE_SOLD, 0 + 31},        // no base price: no percentage
        // The quotient is single precision, "- 1" and "x 100" double; done
        // all in single precision each would round up to the next percent.
        {38, 25, PRICE_SOLD, 51 + 3},         // all-float: 52 + 3
        {232, 100, PRICE_SOLD, 131 + 11},     // all-float: 132 + 11
        {791, 700, PRICE_BOUGHT, -(12 + 9)},  // all-float: -(13 + 9)
        {1, 5, PRICE_SOLD, -79 - 2},          // all-float: -80 - 2
    };
    for (const ScoreCase& c : CASES) {
        game().dayScore = 500;
        gCounter.counterPrice = c.price;
        gCounter.basePrice = c.base;
        updatePriceReputation(c.direction);
        EXPECT_EQ(game().dayScore, 500 + c.change) << c.price << " for " << c.base;
    }
}

TEST_F(NegotiationTest, PriceExtremesPerItemRow) {
    gCounter.itemKey = itemKey(BROAD_SWORD, 4);
    const PriceRecord& record = game().priceRecords[2];   // the broad sword's row
    const int32_t PRICES[] = {300, 250, 410, 260};
    const int32_t HIGHEST[] = {300, 300, 410, 410};
    const int32_t LOWEST[] = {300, 250, 250, 250};
    for (int32_t i = 0; i < 4; i++) {
        gCounter.counterPrice = PRICES[i];
        recordPriceExtremes();
        EXPECT_EQ(record.highest, HIGHEST[i]) << "price " << PRICES[i];
        EXPECT_EQ(record.lowest, LOWEST[i]) << "price " << PRICES[i];
    }
}

struct LogCase {
    const char* what;
    int32_t list, date, trendDay;
    bool recent;
};

TEST_F(NegotiationTest, SoldItemsFeedRecentSalesFromDayNine) {
    const LogCase CASES[] = {
        {"a sale on day 9", 0, 9, 0, true},
        {"a sale before day 9", 0, 8, 0, false},
        {"a sale on a trend day", 0, 12, 1, false},
        {"a purchase", 1, 12, 0, false},
    };
    for (const LogCase& c : CASES) {
        clearEconomy();
        game().date = c.date;
        gCounter.trendDay = c.trendDay;
        logSoldItem(itemKey(BREAD, 2), c.list);
        logSoldItem(ITEM_KEY_NONE, c.list);
        EXPECT_EQ(game().dayLogs[c.list][0], itemKey(BREAD, 2)) << c.what;
        EXPECT_EQ(game().dayLogs[c.list][1], ITEM_KEY_NONE) << c.what;
        EXPECT_EQ(game().dayLogCounts[c.list], 1) << c.what;
        EXPECT_EQ(game().recentSales[0].item, c.recent ? BREAD : 0) << c.what;
        EXPECT_EQ(game().recentSales[0].days, c.recent ? RECENT_SALE_DAYS : 0) << c.what;
    }
}

TEST_F(NegotiationTest, FullLogsDropTheNewEntry) {
    game().date = 12;
    for (int32_t& key : game().dayLogs[0]) key = itemKey(SHORT_SWORD);
    game().dayLogCounts[0] = DAY_LOG_ENTRIES;
    for (RecentSale& sale : game().recentSales) sale = RecentSale{SHORT_SWORD, 2};
    logSoldItem(itemKey(BREAD), 0);
    EXPECT_EQ(game().dayLogCounts[0], DAY_LOG_ENTRIES);
    for (const RecentSale& sale : game().recentSales) EXPECT_EQ(sale.item, SHORT_SWORD);
}

TEST_F(NegotiationTest, TakeItemFromShelvesEmptiesTheFirstExactPlace) {
    game().shelves[3][7] = itemKey(HELM, 1);
    game().shelves[5][2] = itemKey(HELM);
    game().shelves[9][0] = itemKey(HELM);
    int32_t slot = -1, shelf = -1;
    takeItemFromShelves(itemKey(HELM), slot, shelf);
    EXPECT_EQ(shelf, 5);
    EXPECT_EQ(slot, 2);
    EXPECT_EQ(game().shelves[5][2], ITEM_KEY_NONE);
    EXPECT_EQ(game().shelves[9][0], itemKey(HELM));
    EXPECT_EQ(game().shelves[3][7], itemKey(HELM, 1));
    slot = shelf = -7;
    takeItemFromShelves(itemKey(BREAD), slot, shelf);
    EXPECT_EQ(slot, -7);
    EXPECT_EQ(shelf, -7);
}

// --- adventurer customers -----------------------------------------------------

TEST(NegotiationStats, PlusLevelGoesToTheLargestValue) {
    std::string items = ITEMS;
    parseItemTable(items.data(), static_cast<int32_t>(items.size()));
    struct Case { int32_t key; int32_t want[4]; };
    const Case CASES[] = {
        {itemKey(KNIGHT_SWORD, 3), {21, 2, 0, 0}},
        {itemKey(HELM, 2), {0, 6, 0, 1}},
        {ITEM_KEY_NONE, {0, 0, 0, 0}},
    };
    for (const Case& c : CASES) {
        int32_t totals[4] = {1, 1, 1, 1};
        getItemStats(c.key, totals);
        for (int32_t i = 0; i < 4; i++) EXPECT_EQ(totals[i], c.want[i] + 1) << "key " << c.key << " stat " << i;
    }
    parseItemTable("", 0);
}

TEST_F(NegotiationTest, AdventurerTakesABetterSwordIntoItsWeaponSlot) {
    AdventurerRecord& adventurer = game().adventurers[0];
    adventurer.equipment[0] = adventurer.savedEquipment[0] = itemKey(SHORT_SWORD) | ITEM_KEY_POSSESSED;
    gCounter.customerType = ADVENTURER;   // type 2 is always known to the shop
    gCounter.itemKey = itemKey(BROAD_SWORD);
    findAdventurerTargetSlot();
    EXPECT_EQ(gCounter.adventurerTargetSlot, 0);
    equipAdventurerPurchase();
    EXPECT_EQ(adventurer.equipment[0], itemKey(BROAD_SWORD) | ITEM_KEY_POSSESSED);
    EXPECT_EQ(adventurer.savedEquipment[0], itemKey(BROAD_SWORD) | ITEM_KEY_POSSESSED);

    // A worse sword, with no slot shown: nothing changes.
    gCounter.itemKey = itemKey(SHORT_SWORD);
    findAdventurerTargetSlot();
    EXPECT_EQ(gCounter.adventurerTargetSlot, -1);
    equipAdventurerPurchase();
    EXPECT_EQ(adventurer.equipment[0], itemKey(BROAD_SWORD) | ITEM_KEY_POSSESSED);

    // Other customers equip nothing.
    gCounter.customerType = CUSTOMER;
    gCounter.itemKey = itemKey(KNIGHT_SWORD);
    equipAdventurerPurchase();
    EXPECT_EQ(adventurer.equipment[0], itemKey(BROAD_SWORD) | ITEM_KEY_POSSESSED);
}

struct TargetCase {
    const char* what;
    int32_t worn;
    int32_t key;
    int32_t flag, trueCard, playMode;
    int32_t want;
};

TEST_F(NegotiationTest, TargetSlotNeedsAKnownAdventurerAndAClearGain) {
    // Customer type 7 is adventurer 5, who wears helms; only her slot 4 has
    // no starting equipment.
    constexpr int32_t AVAILABLE = FLAG_ADVENTURER_AVAILABLE + 5, BY_CARD = FLAG_ADVENTURER_CARD + 5;
    const TargetCase CASES[] = {
        {"free slot, met in the story", ITEM_KEY_NONE, itemKey(HELM), AVAILABLE, 0, PLAY_MODE_STORY, 4},
        {"free slot, joined", ITEM_KEY_NONE, itemKey(HELM), BY_CARD, 0, PLAY_MODE_STORY, 4},
        {"free slot, not known", ITEM_KEY_NONE, itemKey(HELM), -1, 0, PLAY_MODE_STORY, -1},
        {"known by her True Card", ITEM_KEY_NONE, itemKey(HELM), -1, 1, PLAY_MODE_STORY, 4},
        {"True Card in survival play", ITEM_KEY_NONE, itemKey(HELM), -1, 1, PLAY_MODE_SURVIVAL, -1},
        {"a better plus level", itemKey(HELM), itemKey(HELM, 2), AVAILABLE, 0, PLAY_MODE_STORY, 4},
        {"no better plus level", itemKey(HELM, 2), itemKey(HELM, 1), AVAILABLE, 0, PLAY_MODE_STORY, -1},
        {"a small gain is no gain", itemKey(HELM), itemKey(CAP), AVAILABLE, 0, PLAY_MODE_STORY, -1},
    };
    gCounter.customerType = 7;
    AdventurerRecord& adventurer = game().adventurers[5];
    for (const TargetCase& c : CASES) {
        memset(game().storyFlags, 0, sizeof game().storyFlags);
        if (c.flag >= 0) game().storyFlags[c.flag] = 1;
        game().trueCards[5] = static_cast<uint8_t>(c.trueCard);
        game().playMode = c.playMode;
        adventurer.equipment[4] = c.worn;
        gCounter.itemKey = c.key;
        gCounter.adventurerTargetSlot = 3;
        findAdventurerTargetSlot();
        EXPECT_EQ(gCounter.adventurerTargetSlot, c.want) << c.what;
    }
}
