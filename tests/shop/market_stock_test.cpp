// The market's stock, wares and prices over small item tables made in the
// test; the thirty-day restock record was computed from the restock rules
// outside the game.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "economy_fixture.h"
#include "engine/story_flags.h"
#include "shop/item_list.h"
#include "shop/market.h"
#include "shop/market_stock.h"
#include "shop/trends.h"

namespace {

// Rows 0..8 of stock types 0, 1, 2, 3, 4, 5, 6, 2, 4.
const char RESTOCK_ITEMS[] =
    ":Goods#Goods\n"
    "0001 A#10#0#0#0#0#Plan#wrhs(0)do(1)re(1)##t\n"
    "0002 B#10#0#0#0#0#Plan#wrhs(1)do(1)re(1)##t\n"
    "0003 C#10#0#0#0#0#Plan#wrhs(2)do(1)re(1)##t\n"
    "0004 D#10#0#0#0#0#Plan#wrhs(3)do(1)re(1)##t\n"
    "0005 E#10#0#0#0#0#Plan#wrhs(4)do(1)re(1)##t\n"
    "0006 F#10#0#0#0#0#Plan#wrhs(5)do(1)re(1)##t\n"
    "0007 G#10#0#0#0#0#Plan#wrhs(6)do(1)re(1)##t\n"
    "0008 H#10#0#0#0#0#Plan#wrhs(2)do(1)re(1)##t\n"
    "0009 I#10#0#0#0#0#Plan#wrhs(4)do(1)re(1)##t\n";

// Guild rank 0..5 on ids 1..6, market rank 5..0 on the same ids; id 7 has
// no price, id 601 is an adventurer's weapon, 1000 costs 1,000 gold.
const char WARES_ITEMS[] =
    ":Goods#Goods\n"
    "0001 A#10#0#0#0#0#Plan#wrhs(3)do(0)re(5)##t\n"
    "0002 B#10#0#0#0#0#Plan#wrhs(3)do(1)re(4)##t\n"
    "0003 C#10#0#0#0#0#Plan#wrhs(3)do(2)re(3)##t\n"
    "0004 D#10#0#0#0#0#Plan#wrhs(3)do(3)re(2)##t\n"
    "0005 E#10#0#0#0#0#Plan#wrhs(3)do(4)re(1)##t\n"
    "0006 F#10#0#0#0#0#Plan#wrhs(3)do(5)re(0)##t\n"
    "0007 G#0#0#0#0#0#Plan#wrhs(3)do(1)re(1)##t\n"
    ":Claws#Weapons\n"
    "0601 Claw#10#0#0#0#0#Wepn#wrhs(3)do(1)re(1)#a8#t\n"
    ":Clothes#Body Wear\n"
    "1000 Coat#1000#0#0#0#0#Armr#wrhs(3)do(1)re(1)#a1#t\n";

constexpr int32_t PLACE_GUILD = 0, PLACE_MARKET = 1;

class MarketStockTest : public EconomyTest {
protected:
    static std::string stockLine(int32_t day) {
        std::string line = "day " + std::to_string(day) + " |";
        for (int32_t r = 0; r < 9; r++) {
            const MarketStockEntry& e = game().marketStock[r];
            line += " " + std::to_string(e.stock) + "/" + std::to_string(e.counter);
        }
        return line;
    }
    // Every row of the buying list: id and quantity on offer.
    static std::vector<std::pair<int32_t, int32_t>> wares(int32_t place) {
        gMarketMode = place;
        openItemList(ITEM_LIST_MARKET, 1);
        std::vector<std::pair<int32_t, int32_t>> rows;
        for (int32_t p = 0; p < gItemList.pageCount; p++) {
            for (int32_t i = 0; i < gItemList.pageSize[p]; i++) {
                const ItemListEntry& e = gItemList.entries[gItemList.pageStart[p] + i];
                rows.emplace_back(itemKeyId(e.key), e.count);
            }
        }
        return rows;
    }
    void TearDown() override {
        gMarketMode = 0;
        EconomyTest::TearDown();
    }
};

}  // namespace

TEST_F(MarketStockTest, ThirtyDaysOfEveryStockTypeFollowTheRecord) {
    loadItems(RESTOCK_ITEMS);
    std::ifstream file(std::string(TOLLI_SOURCE_DIR) + "/tests/shop/market_restock_seed7.txt");
    ASSERT_TRUE(file) << "market_restock_seed7.txt is missing";
    std::vector<std::string> want;
    for (std::string line; std::getline(file, line);)
        if (!line.empty() && line[0] != '#') want.push_back(line);
    ASSERT_EQ(want.size(), 31u);

    seedRandom(7);
    for (int32_t day = 0; day <= 30; day++) {
        if (day == 3 || day == 12) {
            for (int32_t r : {3, 5, 6}) game().marketStock[r].stock = 0;
            game().marketStock[1].stock -= 2;
        }
        restockMarket(RESTOCK_DAILY);
        EXPECT_EQ(stockLine(day), want[day]);
    }
}

struct DailyCase {
    int32_t stockType, stock, counter, days, wantStock, wantCounter;
    const char* what;
};
const DailyCase DAILY_CASES[] = {
    {0, 3, 0, 1, 100, 0, "unlimited is 100 again"},
    {1, 10, 0, 5, 10, 0, "a full growing stock stays at 10"},
    {1, 3, 0, 5, 4, 0, "a growing stock gains one in five days"},
    {1, 3, 0, 4, 3, 4, "not before the fifth"},
    {5, 0, 0, 1, 1, 0, "sold out today, back after the next step"},
    {6, 0, 0, 1, 0, 1, "type 6 waits a second day"},
    {6, 0, 0, 2, 1, 0, "type 6 is back on the second"},
    {3, 0, 0, 2, 0, 2, "type 3 waits three days"},
    {3, 0, 0, 3, 1, 0, "type 3 is back on the third"},
    {9, 0, 0, 3, 1, 0, "an unknown type restocks as type 3"},
    {3, 1, 0, 10, 1, 0, "a piece on offer does not count days"},
    {5, 0, 7, 1, 1, 0, "a counter past its mark restocks at once"},
};

TEST_F(MarketStockTest, DailyStepsOfTheSinglePieceAndGrowingTypes) {
    loadItems(RESTOCK_ITEMS);
    for (const DailyCase& c : DAILY_CASES) {
        game().marketStock[0].stock = 100;   // the stock is set up
        gItemDefinitions[1].stockType = static_cast<int8_t>(c.stockType);
        game().marketStock[1] = MarketStockEntry{static_cast<int16_t>(c.stock), static_cast<int16_t>(c.counter)};
        for (int32_t d = 0; d < c.days; d++) restockMarket(RESTOCK_DAILY);
        EXPECT_EQ(game().marketStock[1].stock, c.wantStock) << c.what;
        EXPECT_EQ(game().marketStock[1].counter, c.wantCounter) << c.what;
    }
}

TEST_F(MarketStockTest, ALoadedGameIsRenewedOnlyWhenARareItemIsHeldTwice) {
    loadItems(RESTOCK_ITEMS);
    seedRandom(3);
    restockMarket(RESTOCK_DAILY);
    for (MarketStockEntry& e : game().marketStock) e.counter = 2;
    game().marketStock[3].stock = 0;   // a single piece sold
    game().trendDayHeld = 1;

    restockMarket(RESTOCK_LOADED);
    EXPECT_EQ(game().marketStock[3].stock, 0) << "a load is no daily step";
    EXPECT_EQ(game().marketStock[3].counter, 2);
    EXPECT_EQ(game().trendDayHeld, 1) << "only other modes clear the held trend day";

    game().marketStock[4].stock = 2;   // an older game's rare item
    restockMarket(RESTOCK_LOADED);
    EXPECT_EQ(game().marketStock[4].stock, 0) << "renewed to the initial stock";
    EXPECT_EQ(game().marketStock[3].stock, 1);
    EXPECT_EQ(game().marketStock[3].counter, 2) << "counters are left alone";
    EXPECT_EQ(game().trendDayHeld, 1);

    restockMarket(RESTOCK_DAILY);
    EXPECT_EQ(game().trendDayHeld, 0);
}

struct PriceCase {
    int32_t price, trend, buy, sell;
};
// Computed in single precision step by step; the rows marked differ from the
// same arithmetic in double.
const PriceCase PRICE_CASES[] = {
    {1000, 1, 840, 360},  {1000, 0, 700, 300},  {1000, -1, 560, 240}, {1000, -2, 490, 210},  // double 489
    {90, 1, 75, 32},      {90, 0, 63, 27},      {90, -1, 50, 21},     {90, -2, 44, 18},      // double 62 at 0
    {175, 1, 147, 63},    {175, 0, 122, 52},    {175, -1, 98, 42},    {175, -2, 85, 36},     // double 146 at 1
    {180, 1, 151, 64},    {180, 0, 126, 54},    {180, -1, 100, 43},   {180, -2, 88, 37},     // double 125 at 0
    {7, 1, 5, 2},         {7, 0, 4, 2},         {7, -1, 3, 1},        {7, -2, 3, 1},
    {0, 1, 0, 0},         {0, -2, 0, 0},
};

TEST_F(MarketStockTest, PricesFollowTheTrendInSinglePrecision) {
    for (const PriceCase& c : PRICE_CASES) {
        EXPECT_EQ(marketUnitPrice(c.price, 0.7f, c.trend), c.buy) << "buy " << c.price << " trend " << c.trend;
        EXPECT_EQ(marketUnitPrice(c.price, 0.3f, c.trend), c.sell) << "sell " << c.price << " trend " << c.trend;
    }
    loadItems(WARES_ITEMS);
    int32_t coat = makeItemKey(1000, 0, 0);
    EXPECT_EQ(marketBuyPrice(coat), 700);
    EXPECT_EQ(marketSellPrice(coat), 300);
    setTrend(1000, 1);
    EXPECT_EQ(marketBuyPrice(coat), 840);
    EXPECT_EQ(marketSellPrice(coat), 360);
    setTrend(1000, -2);
    EXPECT_EQ(marketBuyPrice(coat), 490);
    EXPECT_EQ(marketSellPrice(coat), 210);
}

struct RankCase {
    int32_t place, level;
    std::vector<std::pair<int32_t, int32_t>> want;   // id, quantity (stock 7, or 100)
};

// A rank r item is first offered at MARKET_RANK_LEVELS[r - 1] and is
// unlimited from STOCK_RANK_LEVELS[r]; rank 5 stays limited, rank 0 is never
// offered. Guild ranks 1..5 are ids 2..6; market ranks 1..5 are ids 5..1.
TEST_F(MarketStockTest, EachRankIsOfferedAndUnlimitedFromItsLevel) {
    const RankCase cases[] = {
        {PLACE_GUILD, 0, {{2, 7}, {1000, 7}}},
        {PLACE_GUILD, 2, {{2, 7}, {1000, 7}}},
        {PLACE_GUILD, 3, {{2, 100}, {3, 7}, {1000, 100}}},
        {PLACE_GUILD, 9, {{2, 100}, {3, 7}, {1000, 100}}},
        {PLACE_GUILD, 10, {{2, 100}, {3, 100}, {4, 7}, {1000, 100}}},
        {PLACE_GUILD, 16, {{2, 100}, {3, 100}, {4, 7}, {1000, 100}}},
        {PLACE_GUILD, 17, {{2, 100}, {3, 100}, {4, 100}, {5, 7}, {1000, 100}}},
        {PLACE_GUILD, 21, {{2, 100}, {3, 100}, {4, 100}, {5, 7}, {1000, 100}}},
        {PLACE_GUILD, 22, {{2, 100}, {3, 100}, {4, 100}, {5, 100}, {6, 7}, {1000, 100}}},
        {PLACE_GUILD, 98, {{2, 100}, {3, 100}, {4, 100}, {5, 100}, {6, 7}, {1000, 100}}},
        {PLACE_MARKET, 0, {{5, 7}, {1000, 7}}},
        {PLACE_MARKET, 9, {{4, 7}, {5, 100}, {1000, 100}}},
        {PLACE_MARKET, 10, {{3, 7}, {4, 100}, {5, 100}, {1000, 100}}},
        {PLACE_MARKET, 22, {{1, 7}, {2, 100}, {3, 100}, {4, 100}, {5, 100}, {1000, 100}}},
    };
    loadItems(WARES_ITEMS);
    for (MarketStockEntry& e : game().marketStock) e.stock = 7;
    for (const RankCase& c : cases) {
        game().merchantLevel = c.level;
        EXPECT_EQ(wares(c.place), c.want) << (c.place == PLACE_GUILD ? "guild" : "market") << " level " << c.level;
    }
}

TEST_F(MarketStockTest, AnAdventurersWeaponsWaitForHer) {
    loadItems(WARES_ITEMS);
    for (MarketStockEntry& e : game().marketStock) e.stock = 7;
    const std::vector<std::pair<int32_t, int32_t>> without = {{2, 7}, {1000, 7}};
    const std::vector<std::pair<int32_t, int32_t>> with = {{2, 7}, {601, 7}, {1000, 7}};
    EXPECT_EQ(wares(PLACE_GUILD), without);
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 6] = 1;
    EXPECT_EQ(wares(PLACE_GUILD), with);
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 6] = 0;
    game().storyFlags[FLAG_ADVENTURER_CARD + 6] = 1;
    EXPECT_EQ(wares(PLACE_GUILD), with);
    game().storyFlags[FLAG_ADVENTURER_AVAILABLE + 7] = 1;   // arm parts are another's
    game().storyFlags[FLAG_ADVENTURER_CARD + 6] = 0;
    EXPECT_EQ(wares(PLACE_GUILD), without);
}

TEST_F(MarketStockTest, ACrashedItemIsOutAndTheAllWaresFlagOffersEverything) {
    loadItems(WARES_ITEMS);
    for (MarketStockEntry& e : game().marketStock) e.stock = 7;
    game().merchantLevel = 3;
    setTrend(1000, -2);
    std::vector<std::pair<int32_t, int32_t>> crashed = {{2, 100}, {3, 7}, {1000, 0}};
    EXPECT_EQ(wares(PLACE_GUILD), crashed);

    game().storyFlags[FLAG_ALL_WARES] = 1;
    std::vector<std::pair<int32_t, int32_t>> all = {{1, 100}, {2, 100},   {3, 100},   {4, 100},
                                                    {5, 100}, {6, 100},   {601, 100}, {1000, 100}};
    EXPECT_EQ(wares(PLACE_GUILD), all) << "every priced row, the crashed one too";
}

TEST_F(MarketStockTest, BuyingFromALimitedStackTakesFromTheStock) {
    loadItems(WARES_ITEMS);
    for (MarketStockEntry& e : game().marketStock) e.stock = 2;
    game().merchantLevel = 3;
    wares(PLACE_GUILD);   // ids 2 (unlimited), 3 (stock 2), 1000 (unlimited)
    gItemList.cursor[0] = 1;
    takeOneFromSelectedStack();
    EXPECT_EQ(getSelectedListItemCount(), 1);
    EXPECT_EQ(game().marketStock[2].stock, 1);
    takeOneFromSelectedStack();
    takeOneFromSelectedStack();
    EXPECT_EQ(getSelectedListItemCount(), 0) << "a sold-out row stays, empty";
    EXPECT_EQ(game().marketStock[2].stock, 0);
    gItemList.cursor[0] = 0;
    takeOneFromSelectedStack();
    EXPECT_EQ(getSelectedListItemCount(), 100);
    EXPECT_EQ(game().marketStock[1].stock, 2);
}

// The shipped item table lets every restock rule and every rank of both
// places be seen in the game.
TEST_F(MarketStockTest, TheSampleItemsCoverEveryStockTypeAndRank) {
    std::ifstream in(std::string(TOLLI_SOURCE_DIR) + "/sampledata/data/item.txt", std::ios::binary);
    ASSERT_TRUE(in) << "sampledata/data/item.txt";
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    loadItems(text);
    bool stockTypes[7] = {}, guildRanks[6] = {}, marketRanks[6] = {};
    for (int32_t r = 0; r < gItemDefinitionCount; r++) {
        const ItemDefinition& d = gItemDefinitions[r];
        if (d.price <= 0) continue;
        if (d.stockType >= 0 && d.stockType < 7) stockTypes[d.stockType] = true;
        if (d.guildRank >= 0 && d.guildRank < 6) guildRanks[d.guildRank] = true;
        if (d.marketRank >= 0 && d.marketRank < 6) marketRanks[d.marketRank] = true;
    }
    for (int32_t t = 0; t < 7; t++) EXPECT_TRUE(stockTypes[t]) << "stock type " << t;
    for (int32_t r = 0; r < 6; r++) {
        EXPECT_TRUE(guildRanks[r]) << "guild rank " << r;
        EXPECT_TRUE(marketRanks[r]) << "market rank " << r;
    }
}
