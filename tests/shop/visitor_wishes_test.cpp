// What visitors want: the buyer's shelf item within its budget, the seller's
// item within its rank, the request row, the vending shelves' own sales, and
// how many visitors a phase plans. Over a small item table made in the test.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "economy_fixture.h"
#include "shop/negotiation.h"
#include "shop/storage.h"
#include "shop/visitor_wishes.h"

namespace {

const char ITEMS[] =
    ":Swords#Weapons\n"
    "0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#t\n"
    "0001 Short Sword+short swords#120#6#0#0#0#Wepn Metl#mi(1)#a2#t\n"
    "0003 Practice Sword+practice swords#100#3#0#0#0#Wepn Plan#mi(1)#a2#t\n"
    ":Materials\n"
    "3000 Unknown Material#-1#0#0#0#0#Metl###t\n"
    "3001 Copper Ore+copper ore#40#0#0#0#0#Metl#fa(2)#a1#t\n"
    "3002 Silver Ore+silver ore#90#0#0#0#0#Metl#fa(42)#a1#t\n"
    "3003 Gold Ore+gold ore#300#0#0#0#0#Metl Gold#fa(3)(45)#a1#t\n"
    ":Herbs\n"
    "3100 Unknown Herb#-1#0#0#0#0#Plan###t\n"
    "3101 Moon Herb+moon herbs#60#0#0#0#0#Plan###t\n"
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#90#30#0#0#0#Food Swtt Sobr###t\n"
    "4008 Festival Cake+festival cakes#300#40#0#0#0#Food Swtt###t\n"
    ":Venders\n"
    "5200 Unknown Vender#-1#0#0#0#0#Furn###t\n"
    "5201 Bread Vender+bread venders#50#0#0#0#0#Furn Plan###t\n";

constexpr int32_t SHORT_SWORD = 1, PRACTICE = 3, COPPER = 3001, SILVER = 3002, GOLD_ORE = 3003, MOON_HERB = 3101;
constexpr int32_t BREAD = 4001, TART = 4002, CAKE = 4008, VENDER = 5201;
constexpr int32_t FOOD = 40;
constexpr int32_t CUSTOMER = 12;

class VisitorTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        game().money = 50000;
        game().merchantLevel = 30;
        for (int32_t type : {CUSTOMER, 2, SELLER_TYPE_FIVEFOLD}) {
            CustomerType& t = gCustomerTypes[type];
            t.present = 1;
            t.budgetMin = t.budgetMax = 1000;
        }
        // A customer who likes food.
        gCustomerTypes[CUSTOMER].likedCount = 1;
        gCustomerTypes[CUSTOMER].likedCategories[0] = FOOD;
        plan(CUSTOMER, 7);
    }
    // The visit at the cursor is this customer's.
    static void plan(int32_t type, int32_t index) {
        gDayPlan.visitPlan[0] = VisitPlan{type, index, VISIT_BUY, 0, 0, 0};
        gDayPlan.visitOrder[0] = 0;
        gDayPlan.visitPlanCount = 1;
        gCounter.visitCursor = 0;
    }
    static void budget(int32_t type, int32_t gold) { gCustomerTypes[type].budgetMin = gCustomerTypes[type].budgetMax = gold; }
    static void shelve(int32_t shelf, int32_t place, int32_t key) { game().shelves[shelf][place] = key; }
    static void emptyShelves() {
        for (auto& shelf : game().shelves) {
            for (int32_t& key : shelf) key = ITEM_KEY_NONE;
        }
    }
};

}  // namespace

// --- buyers -------------------------------------------------------------------

struct BudgetCase {
    const char* what;
    int32_t budget;
    int32_t id, shelf, place;
    bool taken;
};

TEST_F(VisitorTest, BuyerNeedsABudgetAboveThePrice) {
    const BudgetCase CASES[] = {
        {"budget equal to the price", 90, TART, 4, 8, false},
        {"budget above the price", 91, TART, 4, 8, true},
        {"showcase place raises the budget", 80, TART, 0, 2, true},        // 96 > 90
        {"not a showcase place of shelf 0", 80, TART, 0, 5, false},
        {"same place number on another shelf", 80, TART, 1, 2, false},
        {"raised budget equal to the price", 75, TART, 0, 11, false},      // 90 is not above 90
        {"raised budget, truncated", 76, TART, 0, 11, true},               // 91.2 becomes 91
    };
    for (const BudgetCase& c : CASES) {
        emptyShelves();
        shelve(c.shelf, c.place, itemKey(c.id, 1));
        budget(CUSTOMER, c.budget);
        gCounter.itemKey = ITEM_KEY_NONE;
        seedRandom(4);
        EXPECT_EQ(chooseBuyerItem(), c.taken ? 1 : 0) << c.what;
        if (!c.taken) continue;
        EXPECT_EQ(gCounter.itemKey, itemKey(c.id, 1)) << c.what;
        EXPECT_EQ(gCounter.showcaseItem, isShowcasePlace(c.shelf, c.place) ? 1 : 0) << c.what;
        EXPECT_EQ(gCounter.mode, COUNTER_BUYER) << c.what;
        EXPECT_EQ(gCounter.customerType, CUSTOMER) << c.what;
        EXPECT_EQ(gCounter.customerIndex, 7) << c.what;
    }
}

TEST_F(VisitorTest, ShowcasePlacesAreSevenPlacesOfShelfZero) {
    std::set<int32_t> places;
    for (int32_t shelf = 0; shelf < SHELF_ROWS; shelf++) {
        for (int32_t place = 0; place < SHELF_CELLS; place++) {
            if (isShowcasePlace(shelf, place)) places.insert(shelf * 100 + place);
        }
    }
    EXPECT_EQ(places, (std::set<int32_t>{1, 2, 3, 4, 11, 12, 13}));
}

TEST_F(VisitorTest, BuyerTakesOnlyWhatItLikes) {
    shelve(0, 3, itemKey(SHORT_SWORD));
    shelve(2, 9, itemKey(BREAD));
    for (uint32_t seed = 1; seed <= 10; seed++) {
        seedRandom(seed);
        ASSERT_EQ(chooseBuyerItem(), 1) << "seed " << seed;
        EXPECT_EQ(gCounter.itemKey, itemKey(BREAD)) << "seed " << seed;
    }
    gCustomerTypes[CUSTOMER].likedFlags = ITEM_FLAG_METAL;   // the sword's flag
    std::set<int32_t> taken;
    for (uint32_t seed = 1; seed <= 60; seed++) {
        seedRandom(seed);
        ASSERT_EQ(chooseBuyerItem(), 1);
        taken.insert(gCounter.itemKey);
    }
    EXPECT_EQ(taken, (std::set<int32_t>{itemKey(SHORT_SWORD), itemKey(BREAD)}));
}

TEST_F(VisitorTest, BuyerSkipsVendingMachinesAndTheQuestsIngredients) {
    gCustomerTypes[CUSTOMER].likedFlags = ITEM_FLAG_FURNITURE | ITEM_FLAG_PLAIN;
    gCustomerTypes[CUSTOMER].likedCount = 0;
    shelve(0, 0, itemKey(VENDER));
    shelve(6, 6, itemKey(MOON_HERB));
    gCounter.questDay = 1;
    seedRandom(1);
    EXPECT_EQ(chooseBuyerItem(), 0);
    gCounter.questDay = 0;
    seedRandom(1);
    EXPECT_EQ(chooseBuyerItem(), 1);
    EXPECT_EQ(gCounter.itemKey, itemKey(MOON_HERB));
}

TEST_F(VisitorTest, BuyerRefusesMostMaterials) {
    gCustomerTypes[CUSTOMER].likedFlags = ITEM_FLAG_METAL;
    gCustomerTypes[CUSTOMER].likedCount = 0;
    shelve(3, 3, itemKey(COPPER));
    int32_t taken = 0;
    for (uint32_t seed = 1; seed <= 400; seed++) {
        seedRandom(seed);
        taken += chooseBuyerItem();
    }
    // One time in ten.
    EXPECT_GT(taken, 20);
    EXPECT_LT(taken, 70);
}

struct TrendDayCase {
    const char* what;
    int32_t item, category, mask;
    int32_t want;
};

TEST_F(VisitorTest, BuyerOnATrendDayWantsTheTrend) {
    const TrendDayCase CASES[] = {
        {"the trend's item before its category", SHORT_SWORD, FOOD, 0, SHORT_SWORD},
        {"the trend's category", -1, MOON_HERB / 100, 0, MOON_HERB},
        {"the trend's mask", -1, FOOD, ITEM_FLAG_SWEET, TART},
    };
    gCounter.trendDay = 1;
    for (const TrendDayCase& c : CASES) {
        emptyShelves();
        shelve(1, 1, itemKey(SHORT_SWORD));
        shelve(2, 2, itemKey(MOON_HERB));
        shelve(3, 3, itemKey(TART));
        shelve(4, 4, itemKey(BREAD));   // liked, but not the trend
        gCounter.trendItem = c.item;
        gCounter.trendCategory = c.category;
        gCounter.trendCategoryMask = c.mask;
        for (uint32_t seed = 1; seed <= 5; seed++) {
            seedRandom(seed);
            ASSERT_EQ(chooseBuyerItem(), 1) << c.what;
            EXPECT_EQ(gCounter.itemKey, itemKey(c.want)) << c.what << ", seed " << seed;
        }
    }
}

TEST_F(VisitorTest, AnAdventurerSometimesComesForEquipmentFirst) {
    plan(2, 20);   // adventurer 0, who fights with swords
    gCustomerTypes[2].likedCount = 1;
    gCustomerTypes[2].likedCategories[0] = FOOD;
    game().adventurers[0].equipment[0] = itemKey(PRACTICE) | ITEM_KEY_POSSESSED;
    shelve(5, 5, itemKey(SHORT_SWORD));
    shelve(6, 6, itemKey(BREAD));
    for (bool equipment : {true, false}) {
        seedWhere([&] { return (randomInt() % 5 == 0) == equipment; });
        ASSERT_EQ(chooseBuyerItem(), 1);
        EXPECT_EQ(gCounter.itemKey, itemKey(equipment ? SHORT_SWORD : BREAD)) << "equipment " << equipment;
    }
    // With nothing to wear on the shelves the liked pass follows.
    shelve(5, 5, ITEM_KEY_NONE);
    seedWhere([] { return randomInt() % 5 == 0; });
    ASSERT_EQ(chooseBuyerItem(), 1);
    EXPECT_EQ(gCounter.itemKey, itemKey(BREAD));
}

TEST_F(VisitorTest, StoryDaysBringTheirOwnItems) {
    game().storyFlags[FLAG_STORY_TUTORIAL] = 1;
    ASSERT_EQ(chooseBuyerItem(), 1);
    EXPECT_EQ(gCounter.itemKey, itemKey(PRACTICE));
    EXPECT_EQ(gCounter.customerType, CUSTOMER);
    game().storyFlags[FLAG_STORY_TUTORIAL] = 0;
    game().storyFlags[FLAG_SCRIPTED_DAY] = 1;
    struct Case { int32_t place; int32_t showcase; };
    for (Case c : {Case{12, 1}, Case{14, 0}, Case{-1, 0}}) {
        emptyShelves();
        if (c.place >= 0) shelve(0, c.place, itemKey(CAKE, 2));
        gCounter.showcaseItem = 7;
        uint32_t before = gRandomState;
        ASSERT_EQ(chooseBuyerItem(), 1) << "place " << c.place;
        EXPECT_EQ(gCounter.itemKey, itemKey(CAKE)) << "place " << c.place;
        EXPECT_EQ(gCounter.showcaseItem, c.showcase) << "place " << c.place;
        EXPECT_EQ(gRandomState, before);
    }
}

TEST_F(VisitorTest, AnUnusedPlanRowBringsNobody) {
    shelve(2, 9, itemKey(BREAD));
    plan(-1, 7);
    EXPECT_EQ(chooseBuyerItem(), 0);
    EXPECT_EQ(chooseSellerItem(), 0);
}

// --- sellers ------------------------------------------------------------------

struct RankCase {
    int32_t sellerRank, points, merchantLevel;
    bool brings;
};

TEST_F(VisitorTest, SellerRankDecidesWhatASellerBrings) {
    const RankCase CASES[] = {
        {1, 0, 0, true},     // open to everyone
        {2, 20, 5, true},    // rank 3
        {2, 19, 5, false},
        {2, 20, 2, false},   // the merchant level caps the rank
        {3, 90, 10, true},
        {3, 90, 9, false},
        {4, 160, 30, true},
        {4, 150, 30, false},
        {5, 210, 22, true},
        {5, 210, 21, false},
    };
    for (const RankCase& c : CASES) {
        std::string table = ":Rings\n2200 Unknown Ring#-1#0#0#0#0#Assr###t\n2201 Ring#500#0#0#0#0#Assr#mi(" +
                            std::to_string(c.sellerRank) + ")##t\n";
        loadItems(table);
        plan(CUSTOMER, 7);
        game().customerRelations[7].points = static_cast<int16_t>(c.points);
        game().merchantLevel = c.merchantLevel;
        gCounter.sellersToday = 0;
        gCounter.itemKey = ITEM_KEY_NONE;
        seedRandom(9);
        std::string at = "rank " + std::to_string(c.sellerRank) + ", " + std::to_string(c.points) + " points, level " +
                         std::to_string(c.merchantLevel);
        EXPECT_EQ(chooseSellerItem(), c.brings ? 1 : 0) << at;
        EXPECT_EQ(gCounter.itemKey, c.brings ? itemKey(2201) : ITEM_KEY_NONE) << at;
        EXPECT_EQ(gCounter.sellersToday, c.brings ? 1 : 0) << at;
        EXPECT_EQ(gDayPlan.visitPlan[0].customerType, c.brings ? -1 : CUSTOMER) << at;
    }
}

TEST_F(VisitorTest, SellerWithNothingToBringIsNoSeller) {
    loadItems(":Food\n4000 Unknown Food#-1#0#0#0#0#Food###t\n4001 Bread#10#20#0#0#0#Food###t\n");   // no seller ranks
    seedRandom(2);
    EXPECT_EQ(chooseSellerItem(), 0);
    EXPECT_EQ(gRandomState, 2u);   // no draw over no candidates
    EXPECT_EQ(gCounter.sellersToday, 0);
    EXPECT_EQ(gDayPlan.visitPlan[0].customerType, CUSTOMER);
}

struct TurnAwayCase {
    const char* what;
    int32_t money, sellersToday, stored, tutorial;
    int32_t want;
};

TEST_F(VisitorTest, SellersAreTurnedAway) {
    const TurnAwayCase CASES[] = {
        {"a poor shop", 1000, 0, 0, 0, 0},
        {"just enough money", 1001, 0, 0, 0, 1},
        {"three sellers came", 50000, 3, 0, 0, 0},
        {"two sellers came", 50000, 2, 0, 0, 1},
        {"a full storage", 50000, 0, STORAGE_TRADE_LIMIT, 0, 0},
        {"nearly full", 50000, 0, STORAGE_TRADE_LIMIT - 1, 0, 1},
        {"the story tutorial lets everyone in", 10, 3, STORAGE_TRADE_LIMIT, 1, 1},
    };
    for (const TurnAwayCase& c : CASES) {
        plan(CUSTOMER, 7);
        game().money = c.money;
        gCounter.sellersToday = c.sellersToday;
        for (int32_t i = 0; i < STORAGE_ENTRY_COUNT; i++) game().storage[i] = i < c.stored ? itemKey(BREAD) : ITEM_KEY_NONE;
        game().storageCount = c.stored;
        game().storyFlags[FLAG_STORY_TUTORIAL] = static_cast<uint8_t>(c.tutorial);
        seedRandom(3);
        EXPECT_EQ(chooseSellerItem(), c.want) << c.what;
        if (c.want) {
            EXPECT_EQ(gDayPlan.visitPlan[0].customerType, c.tutorial ? CUSTOMER : -1) << c.what;
        }
    }
}

TEST_F(VisitorTest, FivefoldSellerBringsMaterialsOfItsGrade) {
    struct Case { int32_t points; std::set<int32_t> ids; };
    const Case CASES[] = {
        {0, {COPPER}},               // grade 2
        {10, {GOLD_ORE}},            // grade 3
        {25, {SILVER, GOLD_ORE}},    // grade 4
    };
    for (const Case& c : CASES) {
        game().customerRelations[30].points = static_cast<int16_t>(c.points);
        std::set<int32_t> ids;
        for (uint32_t seed = 1; seed <= 60; seed++) {
            seedRandom(seed);
            bool materials = randomInt() % 2 == 0;   // one time in two
            plan(SELLER_TYPE_FIVEFOLD, 30);
            gCounter.sellersToday = 0;
            seedRandom(seed);
            ASSERT_EQ(chooseSellerItem(), 1);
            if (materials) ids.insert(itemKeyId(gCounter.itemKey));
        }
        EXPECT_EQ(ids, c.ids) << c.points << " points";
    }
}

struct DecorationCase {
    const char* what;
    int32_t floor, wall, storedWall, level;
    int32_t modulus, draw;   // the second draw, after the one that picks decorations
    int32_t id;
};

TEST_F(VisitorTest, FivefoldSellerBringsRareDecorationsByTheShopsOwn) {
    loadItems(
        ":Flooring\n5000 Unknown Floor#-1#0#0#0#0#Furn###t\n"
        "5002 Oak Floor#1500#0#0#0#0#Furn#re(2)##t\n5013 Pastel Floor#2500#0#0#0#0#Furn#re(2)##t\n"
        ":Wallpapers\n5100 Unknown Wall#-1#0#0#0#0#Furn###t\n"
        "5111 Pastel Wall#2500#0#0#0#0#Furn#re(3)##t\n5120 Stone Wall#1200#0#0#0#0#Furn#re(3)##t\n"
        "5150 Cheap Wall#900#0#0#0#0#Furn#re(3)##t\n"
        ":Rugs\n5400 Unknown Rug#-1#0#0#0#0#Furn###t\n5404 Royal Carpet#3500#0#0#0#0#Furn#re(4)##t\n");
    const DecorationCase CASES[] = {
        {"pastel floor and wall: rug", 12, 10, 0, 0, 6, 0, 5404},
        {"pastel floor and wall: floor", 12, 10, 0, 0, 6, 1, 5013},
        {"pastel floor and wall: wall", 12, 10, 0, 0, 6, 2, 5111},
        {"pastel floor and wall: another", 12, 10, 0, 0, 6, 5, 5002},
        {"pastel wall: floor", 3, 10, 0, 0, 4, 0, 5013},
        {"pastel wall: wall", 3, 10, 0, 0, 4, 1, 5111},
        {"pastel wall: another", 3, 10, 0, 0, 4, 3, 5002},
        {"a stored pastel wall", 0, 0, 1, 0, 4, 0, 5013},
        {"plain shop: wall", 0, 0, 0, 0, 2, 1, 5111},
        {"plain shop: another at level 3", 0, 0, 0, 3, 2, 0, 5120},
        {"plain shop: nothing at level 10", 0, 0, 0, 10, 2, 0, 5002},   // no rank-4 decoration but the carpet: row 1
    };
    for (const DecorationCase& c : CASES) {
        plan(SELLER_TYPE_FIVEFOLD, 30);
        gCounter.sellersToday = 0;
        game().shopFloor = c.floor;
        game().shopWall = c.wall;
        game().storage[0] = c.storedWall ? itemKey(5111) : ITEM_KEY_NONE;
        game().merchantLevel = c.level;
        seedWhere([&] { return randomInt() % 2 == 1 && randomInt() % c.modulus == c.draw; });
        ASSERT_EQ(chooseSellerItem(), 1) << c.what;
        EXPECT_EQ(gCounter.itemKey, itemKey(c.id)) << c.what;
    }
}

TEST_F(VisitorTest, FivefoldSellerFallsBackToTheFirstRow) {
    loadItems(":Swords#Weapons\n0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#t\n0001 Short Sword#120#6#0#0#0#Wepn##a2#t\n");
    for (uint32_t seed = 1; seed <= 8; seed++) {
        plan(SELLER_TYPE_FIVEFOLD, 30);
        gCounter.sellersToday = 0;
        seedRandom(seed);
        ASSERT_EQ(chooseSellerItem(), 1) << "seed " << seed;
        EXPECT_EQ(gCounter.itemKey, itemKey(SHORT_SWORD)) << "seed " << seed;
        EXPECT_EQ(gCounter.mode, COUNTER_SELLER);
    }
}

// --- request customers ----------------------------------------------------------

struct RequestCase {
    int32_t rowRank, points, merchantLevel;
    bool asked;
};

TEST_F(VisitorTest, RequestRowsNeedTheirRank) {
    const RequestCase CASES[] = {
        {0, 0, 0, true},
        {1, 30, 5, true}, {1, 29, 5, false}, {1, 30, 2, false},
        {2, 100, 10, true}, {2, 100, 9, false},
        {3, 170, 30, true}, {3, 160, 30, false},
        {4, 220, 30, true}, {4, 210, 30, false},
    };
    gOrderRequestCount = 1;
    for (const RequestCase& c : CASES) {
        gRequestRows[0] = RequestRow{"bread", "bread", 0, FOOD, c.rowRank};
        game().customerRelations[7].points = static_cast<int16_t>(c.points);
        game().merchantLevel = c.merchantLevel;
        seedRandom(1);
        EXPECT_EQ(pickRequestRow(CUSTOMER, 7), c.asked ? 0 : -1)
            << "rank " << c.rowRank << ", " << c.points << " points, level " << c.merchantLevel;
    }
}

TEST_F(VisitorTest, RequestRowsFollowTastesOrTheTrendDay) {
    gOrderRequestCount = 3;
    gRequestRows[0] = RequestRow{"a blade", "blades", ITEM_FLAG_WEAPON, -1, 0};
    gRequestRows[1] = RequestRow{"a snack", "snacks", 0, FOOD, 0};
    gRequestRows[2] = RequestRow{"something sweet", "sweets", ITEM_FLAG_SWEET, -1, 0};
    auto asked = [] {
        std::set<int32_t> rows;
        for (uint32_t seed = 1; seed <= 30; seed++) {
            seedRandom(seed);
            rows.insert(pickRequestRow(CUSTOMER, 7));
        }
        return rows;
    };
    EXPECT_EQ(asked(), (std::set<int32_t>{1}));
    gCustomerTypes[CUSTOMER].likedFlags = ITEM_FLAG_SWEET | ITEM_FLAG_WEAPON;
    EXPECT_EQ(asked(), (std::set<int32_t>{0, 1, 2}));
    gCounter.trendDay = 1;
    gCounter.trendCategoryMask = ITEM_FLAG_SWEET;
    EXPECT_EQ(asked(), (std::set<int32_t>{2}));
    gCounter.trendCategoryMask = 0;
    gCounter.trendCategory = FOOD;
    EXPECT_EQ(asked(), (std::set<int32_t>{1}));
}

TEST_F(VisitorTest, RequestVisitsOnlyWhileRequestsAreAllowed) {
    gOrderRequestCount = 1;
    gRequestRows[0] = RequestRow{"a snack", "snacks", 0, FOOD, 0};
    seedRandom(1);
    EXPECT_EQ(chooseRequestVisit(), 0);
    game().storyFlags[FLAG_REQUESTS] = 1;
    EXPECT_EQ(chooseRequestVisit(), 1);
    EXPECT_EQ(gCounter.mode, COUNTER_REQUEST);
    EXPECT_EQ(gCounter.requestRow, 0);
    EXPECT_EQ(gCounter.customerIndex, 7);
    gRequestRows[0].category = 0;   // nothing the customer likes
    EXPECT_EQ(chooseRequestVisit(), 0);
}

// --- vending shelves -------------------------------------------------------------

class VendingTest : public VisitorTest {
protected:
    void SetUp() override {
        VisitorTest::SetUp();
        restock();
    }
    // Four vending shelves with bread at the ten positions; no money, no
    // sales, no candidates.
    static void restock() {
        GameState& g = game();
        g.money = 0;
        g.date = 12;
        for (int32_t shelf : {0, 1, 2, 3}) {
            g.vendingModes[shelf] = 1;
            for (int32_t p = 0; p < VENDING_POSITIONS; p++) g.vendingStock[shelf][p] = itemKey(BREAD);
        }
        for (int32_t& key : g.dayLogs[0]) key = ITEM_KEY_NONE;
        g.dayLogCounts[0] = 0;
        for (RecentSale& sale : g.recentSales) sale = RecentSale{0, 0};
        for (DayCandidate& c : gDayPlan.dayCandidates) c = DayCandidate{-1, CANDIDATE_AWAY, 0, 0};
    }
    // `eager` available candidates with a high score, `calm` with a low one.
    static void candidates(int32_t eager, int32_t calm) {
        for (int32_t i = 0; i < eager + calm; i++)
            gDayPlan.dayCandidates[i] = DayCandidate{CUSTOMER, CANDIDATE_EAGER, i < eager ? 65 : 64, 0};
    }
    static int32_t breadSold() {
        int32_t left = 0;
        for (const auto& stock : game().vendingStock) {
            for (int32_t key : stock) left += key == itemKey(BREAD);
        }
        return 4 * VENDING_POSITIONS - left;
    }
};

struct VendingCase {
    int32_t eager, shelves, sales;
};

TEST_F(VendingTest, HalfTheEagerCustomersTryAShelfEach) {
    const VendingCase CASES[] = {
        {0, 4, 1},   // no eager customer: exactly one shelf is tried
        {3, 4, 1},
        {4, 4, 2},
        {6, 4, 3},
        {20, 4, 4},
        {20, 2, 2},  // only the layout's shelves
    };
    for (const VendingCase& c : CASES) {
        restock();
        candidates(c.eager, 3);
        seedRandom(21);
        runVendingSales(c.shelves);
        std::string at = std::to_string(c.eager) + " eager, " + std::to_string(c.shelves) + " shelves";
        EXPECT_EQ(breadSold(), c.sales) << at;
        EXPECT_EQ(game().money, 10 * c.sales) << at;
        EXPECT_EQ(game().dayLogCounts[0], c.sales) << at;
        EXPECT_EQ(game().recentSales[0].item, BREAD) << at;
    }
}

TEST_F(VendingTest, OnlyVendingShelvesAreTried) {
    for (uint32_t seed = 1; seed <= 10; seed++) {
        restock();
        game().vendingModes[0] = game().vendingModes[2] = 0;
        candidates(0, 1);
        seedRandom(seed);
        runVendingSales(4);
        EXPECT_EQ(breadSold(), 1) << "seed " << seed;
        EXPECT_EQ(game().vendingStock[0][0], itemKey(BREAD)) << "seed " << seed;
        EXPECT_EQ(game().vendingStock[2][0], itemKey(BREAD)) << "seed " << seed;
    }
    for (DayCandidate& c : gDayPlan.dayCandidates) c.availability = CANDIDATE_AWAY;   // nobody comes
    runVendingSales(4);
    EXPECT_EQ(breadSold(), 1);
}

TEST_F(VendingTest, SalesStayBelowHalfTheBudget) {
    struct Case { int32_t budget, sales; };
    for (Case c : {Case{20, 0}, Case{21, 0}, Case{22, 4}}) {   // bread costs 10: the limit must be above it
        restock();
        candidates(20, 0);
        budget(CUSTOMER, c.budget);
        seedRandom(5);
        runVendingSales(4);
        EXPECT_EQ(breadSold(), c.sales) << "budget " << c.budget;
    }
}

TEST_F(VendingTest, ATryLooksAtThreeOfTenPositions) {
    candidates(20, 0);
    for (int32_t shelf : {1, 2, 3}) game().vendingModes[shelf] = 0;
    for (int32_t p = 0; p < VENDING_POSITIONS; p++) game().vendingStock[0][p] = ITEM_KEY_NONE;
    game().vendingStock[0][15] = itemKey(BREAD);   // beyond the ten positions
    int32_t sold = 0;
    for (uint32_t seed = 1; seed <= 300; seed++) {
        game().vendingStock[0][9] = itemKey(BREAD);
        seedRandom(seed);
        runVendingSales(4);
        sold += game().vendingStock[0][9] == ITEM_KEY_NONE;
    }
    EXPECT_EQ(game().vendingStock[0][15], itemKey(BREAD));
    // Three positions of ten.
    EXPECT_GT(sold, 60);
    EXPECT_LT(sold, 120);
}

// --- how many visit ---------------------------------------------------------------

TEST_F(VisitorTest, VisitorCountOfAnEmptyShopIsOneOrTwo) {
    emptyShelves();
    game().shopSize = 0;
    std::set<int32_t> counts;
    for (uint32_t seed = 1; seed <= 20; seed++) {
        seedRandom(seed);
        counts.insert(countPhaseVisitors(game()));
    }
    EXPECT_EQ(counts, (std::set<int32_t>{1, 2}));
}

struct CountCase {
    int32_t size, filled;
    std::set<int32_t> counts;
};

TEST_F(VisitorTest, VisitorCountGrowsWithTheShelvesAndShrinksWithTheShop) {
    const CountCase CASES[] = {
        {0, 8, {3, 4}},
        {1, 9, {3, 4}},     // (1 or 2 + 12 / 4) x 0.857f
        {2, 0, {1, 2}},     // (1 or 2 + 4 / 4) x 0.667f
        {3, 40, {5}},       // capped
        {3, 3, {1}},        // (1 or 2 + 8 / 4) x 0.4286f
    };
    for (const CountCase& c : CASES) {
        emptyShelves();
        for (int32_t i = 0; i < c.filled; i++) shelve(i / SHELF_CELLS, i % SHELF_CELLS, itemKey(BREAD));
        game().shopSize = c.size;
        std::set<int32_t> counts;
        for (uint32_t seed = 1; seed <= 20; seed++) {
            seedRandom(seed);
            counts.insert(countPhaseVisitors(game()));
        }
        EXPECT_EQ(counts, c.counts) << "size " << c.size << ", " << c.filled << " filled";
    }
}

TEST(VisitorCount, ATrendDayPlansEightOrNine) {
    std::set<int32_t> counts;
    for (uint32_t seed = 1; seed <= 20; seed++) {
        seedRandom(seed);
        counts.insert(countTrendDayVisits(20));
    }
    EXPECT_EQ(counts, (std::set<int32_t>{8, 9}));
    seedRandom(1);
    EXPECT_EQ(countTrendDayVisits(5), 5);   // no more than the lineup
}
