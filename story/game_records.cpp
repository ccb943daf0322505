#include "story/game_records.h"

#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "shop/shop.h"

// Flags set for every new loop.
static const int32_t NEW_LOOP_FLAGS[] = {16, 17, 18, 20, 21, 22, 24, 26, 29, 30, 33, 34,
                                         35, 39, 41, 42, 43, 44, 45, 46, 48, 49, 50, 74};
// Flags a Survival carry-over keeps, and those every carry-over keeps.
static const int32_t SURVIVAL_KEPT_FLAGS[] = {53, 54, 57, 113, 153, 171};
static const int32_t ALWAYS_KEPT_FLAGS[] = {FLAG_SELLERS, FLAG_REQUESTS, 189, 190, 201};
constexpr int32_t SURVIVAL_KEPT_COUNT = sizeof SURVIVAL_KEPT_FLAGS / sizeof SURVIVAL_KEPT_FLAGS[0];
constexpr int32_t ALWAYS_KEPT_COUNT = sizeof ALWAYS_KEPT_FLAGS / sizeof ALWAYS_KEPT_FLAGS[0];
// The run summaries 224..233 come from these flags; 229 from two (both set).
static const int32_t SUMMARY_SOURCES[10] = {59, 69, 131, 118, 142, 123, 162, 167, 160, 163};
constexpr int32_t SUMMARY_PAIR_INDEX = 5;
constexpr int32_t SUMMARY_PAIR_SECOND = 124;

constexpr int32_t LOOP_START_MONEY = 1000;
constexpr int32_t LOOP_START_WEEK_END = 7;
constexpr int32_t LOOP_START_DATE = 1;
constexpr int32_t MERCHANT_FIRST_THRESHOLD = 100;

bool isTrueCardKey(int32_t key) {
    int32_t id = itemKeyId(key);
    return key != ITEM_KEY_NONE && id >= TRUE_CARD_FIRST && id <= TRUE_CARD_LAST;
}

static bool adventurerAvailable(const GameState& game, int32_t a) {
    return game.storyFlags[FLAG_ADVENTURER_AVAILABLE + a] || game.storyFlags[FLAG_ADVENTURER_CARD + a];
}

void clearTrendsAndOrders(GameState& game) {
    memset(game.trendSlots, 0, sizeof game.trendSlots);
    memset(game.orders, 0, sizeof game.orders);
}

void carryOverRecord(GameState& game, int32_t mode) {
    for (int32_t a = 0; a < ADVENTURER_COUNT; ++a)
        if (adventurerAvailable(game, a)) game.trueCards[a] = 1;
    uint8_t survivalKept[SURVIVAL_KEPT_COUNT];
    uint8_t alwaysKept[ALWAYS_KEPT_COUNT];
    for (int32_t i = 0; i < SURVIVAL_KEPT_COUNT; ++i) survivalKept[i] = game.storyFlags[SURVIVAL_KEPT_FLAGS[i]];
    for (int32_t i = 0; i < ALWAYS_KEPT_COUNT; ++i) alwaysKept[i] = game.storyFlags[ALWAYS_KEPT_FLAGS[i]];
    uint8_t summaries[10];
    for (int32_t i = 0; i < 10; ++i) summaries[i] = game.storyFlags[SUMMARY_SOURCES[i]];
    summaries[SUMMARY_PAIR_INDEX] =
        game.storyFlags[SUMMARY_SOURCES[SUMMARY_PAIR_INDEX]] == 1 && game.storyFlags[SUMMARY_PAIR_SECOND] == 1;
    bool reported = game.storyFlags[FLAG_REPORTED_SOURCE] != 0;

    game.loopCount += 1;
    game.money = LOOP_START_MONEY;
    game.totalScore = 0;
    game.weekEndDay = LOOP_START_WEEK_END;
    game.date = LOOP_START_DATE;
    game.dayPhase = 0;
    game.resumeLocation = 0;

    // The marks and the story flags are one run of 1,024 bytes.
    memset(game.stageMarks, 0, sizeof game.stageMarks);
    memset(game.storyFlags, 0, sizeof game.storyFlags);
    for (int32_t flag : NEW_LOOP_FLAGS) game.storyFlags[flag] = 1;
    if (mode == CARRY_OVER_SURVIVAL)
        for (int32_t i = 0; i < SURVIVAL_KEPT_COUNT; ++i) game.storyFlags[SURVIVAL_KEPT_FLAGS[i]] = survivalKept[i];
    for (int32_t i = 0; i < ALWAYS_KEPT_COUNT; ++i) game.storyFlags[ALWAYS_KEPT_FLAGS[i]] = alwaysKept[i];
    for (int32_t i = 0; i < 10; ++i) game.storyFlags[FLAG_RUN_SUMMARY_FIRST + i] = summaries[i];

    for (AdventurerRecord& a : game.adventurers) {
        a.adventures = 0;
        a.defeats = 0;
        a.returns = 0;
        a.clears = 0;
    }
    for (int32_t i = 0, count = storedEntryCount(game); i < count; ++i)
        if (isTrueCardKey(game.storage[i]))
            game.storyFlags[FLAG_ADVENTURER_CARD + itemKeyId(game.storage[i]) - TRUE_CARD_FIRST] = 1;
    if (reported) game.storyFlags[FLAG_REPORTED] = 1;
    clearTrendsAndOrders(game);
    resetDayCounters(game);
}

// -1 in every entry.
static void emptyKeys(int32_t* keys, size_t count) { memset(keys, 0xFF, count * sizeof *keys); }

void resetRecordForSurvival(GameState& game) {
    game.shopSize = 0;
    applyShopLayout(game);
    game.survivalHell = 1;
    game.shopWall = 0;
    game.shopFloor = 0;
    game.shopRug = 0;
    game.shopTable = 0;
    // Marked as not set up, so the restock fills the whole stock table anew.
    game.marketStock[0].stock = 0;
    restockMarketStock(game, RESTOCK_DAILY);
    game.storyFlags[FLAG_SELLERS] = 0;
    game.storyFlags[FLAG_REQUESTS] = 0;

    emptyKeys(game.storage, STORAGE_ENTRY_COUNT);
    emptyKeys(&game.shelves[0][0], SHELF_ROWS * SHELF_CELLS);
    emptyKeys(&game.dayLogs[0][0], DAY_LOG_COUNT * DAY_LOG_ENTRIES);
    emptyKeys(&game.vendingStock[0][0], SHELF_COUNT * VENDING_STOCK_SLOTS);
    game.money = LOOP_START_MONEY;
    game.dayStartMoney = LOOP_START_MONEY;
    game.playTicks = 0;
    game.storageCount = 0;
    game.merchantExp = 0;
    game.levelExpFloor = 0;
    game.levelExpNext = MERCHANT_FIRST_THRESHOLD;
    game.merchantLevel = 0;
    memset(game.customerRelations, 0, sizeof game.customerRelations);
    memset(game.fusionKnownBits, 0, sizeof game.fusionKnownBits);

    memset(game.collection, 0, sizeof game.collection);
    fillCollection(game, gItemDefinitions, gItemDefinitionCount);
    initShelfLayout(game);

    resetAdventurerRecords(game, false);
    recomputeLevelStats(game);
    // Back at level 1 only the first skill is open.
    for (AdventurerRecord& a : game.adventurers) {
        memset(a.skillUnlocked, 0, sizeof a.skillUnlocked);
        a.skillUnlocked[0] = 1;
    }
    initAdventurerEquipment(game);
}
