#include "shop/market_stock.h"

#include "engine/random.h"
#include "engine/story_flags.h"
#include "shop/market.h"
#include "shop/trends.h"

const int32_t MARKET_RANK_LEVELS[MARKET_RANK_MAX] = {0, 3, 10, 17, 22};
const int32_t STOCK_RANK_LEVELS[MARKET_RANK_MAX] = {0, 3, 10, 17, 22};

constexpr int32_t GROWING_DAYS = 5;
constexpr int32_t GROWING_LIMIT = 10;
constexpr int32_t RANDOM_CYCLE_DAYS = 15;
constexpr int32_t RARE_CYCLE_DAYS = 20;
constexpr int32_t CYCLE_SPREAD = 8;          // rows are spread over 8 cycle lengths

// Weapons of two adventurers are offered only once she is in the story.
struct GatedWares {
    int32_t firstId;
    int32_t lastId;
    int32_t adventurer;
};
static const GatedWares GATED_WARES[] = {{600, 689, 6}, {700, 789, 7}};

static int32_t randomThird() { return randomInt() % 3; }

static int16_t initialStock(int32_t stockType) {
    switch (stockType) {
    case STOCK_UNLIMITED: return MARKET_UNLIMITED;
    case STOCK_GROWING: return static_cast<int16_t>(3 + randomThird());
    case STOCK_RANDOM:
    case STOCK_RARE: return 0;
    default: return 1;
    }
}

// A single piece comes back `days` daily steps after it sold out.
static void restockSingle(MarketStockEntry& e, int32_t days) {
    if (e.stock != 0) return;
    if (++e.counter >= days) {
        e.counter = 0;
        e.stock = 1;
    }
}

static void restockRow(MarketStockEntry& e, int32_t stockType, int32_t row) {
    int32_t cycle = row % CYCLE_SPREAD;
    switch (stockType) {
    case STOCK_UNLIMITED:
        e.stock = MARKET_UNLIMITED;
        break;
    case STOCK_GROWING:
        if (++e.counter >= GROWING_DAYS) {
            e.counter = 0;
            if (e.stock < GROWING_LIMIT) e.stock++;
        }
        break;
    case STOCK_RANDOM:
        e.stock = static_cast<int16_t>(randomThird());
        if (++e.counter >= RANDOM_CYCLE_DAYS + cycle) {
            e.counter = 0;
            e.stock = 1;
        }
        break;
    case STOCK_RARE:
        e.stock = randomThird() == 0 ? 1 : 0;
        if (++e.counter >= RARE_CYCLE_DAYS + cycle) {
            e.counter = 0;
            e.stock = 1;
        }
        break;
    case STOCK_NEXT_DAY: restockSingle(e, 1); break;
    case STOCK_AFTER_TWO: restockSingle(e, 2); break;
    default: restockSingle(e, 3); break;
    }
}

void restockMarketStock(GameState& game, int32_t mode) {
    bool renew = false;
    if (mode == RESTOCK_LOADED) {
        // Older games could hold several of a rare item.
        for (int32_t r = 0; r < ITEM_DEFINITION_MAX; r++)
            renew |= gItemDefinitions[r].stockType == STOCK_RARE && game.marketStock[r].stock > 1;
    } else {
        game.trendDayHeld = 0;
    }
    if (game.marketStock[0].stock == 0 || renew) {
        for (int32_t r = 0; r < ITEM_DEFINITION_MAX; r++)
            game.marketStock[r].stock = initialStock(gItemDefinitions[r].stockType);
        return;
    }
    if (mode != RESTOCK_DAILY) return;
    for (int32_t r = 0; r < ITEM_DEFINITION_MAX; r++) restockRow(game.marketStock[r], gItemDefinitions[r].stockType, r);
}

void restockMarket(int32_t mode) { restockMarketStock(runningGameState(), mode); }

// Sort keys wrap as the 32-bit ints they are.
static int32_t wrapKey(uint32_t value) { return static_cast<int32_t>(value); }

static bool gatedOut(const GameState& game, int32_t id) {
    for (const GatedWares& g : GATED_WARES) {
        if (id < g.firstId || id > g.lastId) continue;
        return !game.storyFlags[FLAG_ADVENTURER_AVAILABLE + g.adventurer] &&
               !game.storyFlags[FLAG_ADVENTURER_CARD + g.adventurer];
    }
    return false;
}

static int32_t placeRank(const ItemDefinition& d) { return gMarketMode == 0 ? d.guildRank : d.marketRank; }

int32_t listMarketStock(int32_t* sortKeys, int32_t* keys) {
    const GameState& game = runningGameState();
    bool all = game.storyFlags[FLAG_ALL_WARES] != 0;
    int32_t count = 0;
    for (int32_t r = 0; r < gItemDefinitionCount && r < ITEM_DEFINITION_MAX; r++) {
        const ItemDefinition& d = gItemDefinitions[r];
        if (d.valid != 1 || d.price <= 0) continue;
        uint32_t category = static_cast<uint32_t>(d.category);
        uint32_t sortNumber = static_cast<uint32_t>(d.sortNumber);
        uint32_t idKey = static_cast<uint32_t>(d.id) * 64u;
        if (all) {
            sortKeys[count] = wrapKey((category * 100u + sortNumber + 10u) * 3200u + idKey);
        } else {
            int32_t rank = placeRank(d);
            if (rank < 1 || rank > MARKET_RANK_MAX || game.merchantLevel < MARKET_RANK_LEVELS[rank - 1]) continue;
            if (gatedOut(game, d.id)) continue;
            sortKeys[count] = wrapKey((category * 500u + sortNumber + 10u) * 640u + idKey);
        }
        keys[count++] = makeItemKey(d.id, 0, 0);
    }
    return count;
}

int32_t marketOfferQuantity(int32_t row) {
    if (row < 0 || row >= ITEM_DEFINITION_MAX) return 0;
    const GameState& game = runningGameState();
    const ItemDefinition& d = gItemDefinitions[row];
    int32_t stock = game.marketStock[row].stock;
    if (game.storyFlags[FLAG_ALL_WARES]) return MARKET_UNLIMITED;
    if (getTrendForItem(makeItemKey(d.id, 0, 0)) == -2) return 0;
    if (d.stockType == STOCK_RARE) return stock;
    int32_t rank = placeRank(d);
    if (rank < 0 || rank >= MARKET_RANK_MAX) return stock;
    return STOCK_RANK_LEVELS[rank] <= game.merchantLevel ? MARKET_UNLIMITED : stock;
}

int32_t marketUnitPrice(int32_t price, float share, int32_t trend) {
    float t = trend == 1 ? 1.2f : trend == -1 ? 0.8f : trend == -2 ? 0.7f : 1.0f;
    float base = static_cast<float>(price) * share;
    float scaled = base * t;
    return static_cast<int32_t>(scaled);
}

static int32_t itemPrice(int32_t key) {
    int32_t row = findItemDef(itemKeyId(key));
    return row < 0 ? 0 : gItemDefinitions[row].price;
}

int32_t marketBuyPrice(int32_t key) { return marketUnitPrice(itemPrice(key), 0.7f, getTrendForItem(key)); }
int32_t marketSellPrice(int32_t key) { return marketUnitPrice(itemPrice(key), 0.3f, getTrendForItem(key)); }
