// The record operations that turn a finished game into the next one: the
// carry-over into a new loop (New Game+, Survival) and the Survival Hell
// reset, on game records made in the test.
#include <gtest/gtest.h>

#include <cstring>

#include "adventurers/adventurers.h"
#include "engine/save_file.h"
#include "shop/shop.h"
#include "story/game_records.h"

namespace {

// A cleared game deep into its run.
GameState& finishedGame() {
    static GameState game;
    initNewGameState(game);
    game.playTicks = 800000;
    game.playMode = PLAY_MODE_ENDLESS;
    game.money = 654321;
    game.totalScore = 4242;
    game.loopCount = 1;
    game.date = 36;
    game.weekEndDay = 35;
    game.dayPhase = 3;
    game.resumeLocation = 4;
    game.merchantLevel = 40;
    game.merchantExp = 90000;
    game.shopSize = 3;
    game.storage[0] = makeItemKey(1, 0, 5);
    game.storage[1] = makeItemKey(TRUE_CARD_FIRST + 2, 0, 0);
    game.storage[2] = makeItemKey(1501, 0, 0);
    game.storage[3] = makeItemKey(TRUE_CARD_FIRST + 6, 0, 0);   // past storageCount: not counted
    game.storageCount = 3;
    game.stageMarks[17] = 1;
    game.adventurers[3].adventures = 12;
    game.adventurers[3].defeats = 2;
    game.adventurers[3].returns = 7;
    game.adventurers[3].clears = 3;
    game.adventurers[3].level = 55;
    game.trendSlots[4].item = 101;
    game.trendSlots[4].definition = 3;
    game.orders[2].active = 1;
    game.orders[2].quantity = 6;
    return game;
}

struct FlagCase {
    int32_t flag;
    uint8_t before;
    uint8_t afterNewLoop;
    uint8_t afterSurvival;
};

TEST(RecordsCarryOver, FlagsStartTheLoopKeepWhatOutlivesItAndSummariseTheRun) {
    const FlagCase CASES[] = {
        {16, 0, 1, 1},                             // set for every loop
        {74, 0, 1, 1},
        {53, 1, 0, 1},                             // kept through Survival only
        {171, 1, 0, 1},
        {FLAG_SELLERS, 1, 1, 1},                   // kept always
        {201, 1, 1, 1},
        {100, 1, 0, 0},                            // anything else is cleared
        {FLAG_ENDLESS, 1, 0, 0},
        {FLAG_ADVENTURER_AVAILABLE + 5, 1, 0, 0},  // adventurer 5 available: known from now on
        {FLAG_RUN_SUMMARY_FIRST + 0, 0, 1, 1},     // summary of flag 59
        {FLAG_RUN_SUMMARY_FIRST + 5, 0, 0, 0},     // 123 and 124 must both be set
        {FLAG_RUN_SUMMARY_FIRST + 6, 0, 1, 1},     // summary of flag 162
        {FLAG_ADVENTURER_CARD + 2, 0, 1, 1},       // the stored card of adventurer 2
        {FLAG_ADVENTURER_CARD + 6, 0, 0, 0},       // a card past the counted storage
        {FLAG_REPORTED, 0, 1, 1},                  // FLAG_REPORTED_SOURCE was set
        {FLAG_REPORTED_SOURCE, 1, 0, 0},
    };
    for (int32_t mode : {CARRY_OVER_NEW_LOOP, CARRY_OVER_SURVIVAL}) {
        GameState& game = finishedGame();
        for (const FlagCase& c : CASES) game.storyFlags[c.flag] = c.before;
        game.storyFlags[59] = 1;
        game.storyFlags[123] = 1;
        game.storyFlags[162] = 1;
        carryOverRecord(game, mode);
        for (const FlagCase& c : CASES)
            EXPECT_EQ(game.storyFlags[c.flag], mode == CARRY_OVER_NEW_LOOP ? c.afterNewLoop : c.afterSurvival)
                << "flag " << c.flag << " mode " << mode;
        EXPECT_EQ(game.stageMarks[17], 0) << mode;
        EXPECT_EQ(game.trueCards[5], 1) << mode;
        EXPECT_EQ(game.trueCards[4], 0) << mode;
    }
}

TEST(RecordsCarryOver, ANewLoopStartsOverButKeepsTheShopAndTheLevels) {
    GameState& game = finishedGame();
    static GameState before;
    memcpy(&before, &game, sizeof before);
    carryOverRecord(game, CARRY_OVER_NEW_LOOP);
    EXPECT_EQ(game.loopCount, 2);
    EXPECT_EQ(game.money, 1000);
    EXPECT_EQ(game.totalScore, 0);
    EXPECT_EQ(game.weekEndDay, 7);
    EXPECT_EQ(game.date, 1);
    EXPECT_EQ(game.dayPhase, 0);
    EXPECT_EQ(game.resumeLocation, 0);
    const AdventurerRecord& a = game.adventurers[3];
    EXPECT_EQ(a.adventures + a.defeats + a.returns + a.clears, 0);
    EXPECT_EQ(a.level, 55);
    EXPECT_EQ(game.trendSlots[4].item, 0);
    EXPECT_EQ(game.trendSlots[4].definition, 0);
    EXPECT_EQ(game.orders[2].active, 0);
    EXPECT_EQ(game.orders[2].quantity, 0);
    // What stays as it was.
    EXPECT_EQ(memcmp(game.storage, before.storage, sizeof game.storage), 0);
    EXPECT_EQ(game.storageCount, 3);
    EXPECT_EQ(game.shopSize, 3);
    EXPECT_EQ(game.merchantLevel, 40);
    EXPECT_EQ(game.merchantExp, 90000);
    EXPECT_EQ(game.playTicks, 800000);
    EXPECT_EQ(memcmp(game.collection, before.collection, sizeof game.collection), 0);
}

// The loop's first day counts from the money it was carried over with, not
// from the last day of the run that ended.
TEST(RecordsCarryOver, TheNewLoopsDayCountsFromTheCarriedMoney) {
    for (int32_t mode : {CARRY_OVER_NEW_LOOP, CARRY_OVER_SURVIVAL}) {
        GameState& game = finishedGame();
        game.dayStartMoney = 600000;
        game.dayScore = 85;
        for (int32_t list = 0; list < DAY_LOG_COUNT; ++list) {
            game.dayLogs[list][0] = makeItemKey(1, 0, list);
            game.dayLogs[list][DAY_LOG_ENTRIES - 1] = makeItemKey(1501, 0, 0);
            game.dayLogCounts[list] = 2;
        }
        carryOverRecord(game, mode);
        EXPECT_EQ(game.dayStartMoney, game.money) << mode;
        EXPECT_EQ(game.dayStartMoney, 1000) << mode;
        EXPECT_EQ(game.dayScore, 0) << mode;
        for (int32_t list = 0; list < DAY_LOG_COUNT; ++list) {
            EXPECT_EQ(game.dayLogCounts[list], 0) << "list " << list << " mode " << mode;
            for (int32_t key : game.dayLogs[list]) ASSERT_EQ(key, -1) << "list " << list << " mode " << mode;
        }
    }
}

TEST(RecordsSurvivalReset, StartsFromTheSmallestEmptyShopAtLevelOne) {
    GameState& game = finishedGame();
    game.shopWall = 3;
    game.shopRug = 2;
    game.shelves[2][4] = makeItemKey(1, 0, 0);
    game.vendingStock[1][1] = makeItemKey(1, 0, 0);
    game.dayLogs[0][0] = 77;
    game.marketStock[0].stock = 9;
    game.customerRelations[4].points = 30;
    game.fusionKnownBits[1] = 0x55;
    game.collection[0].seen[0] = 1;
    game.storyFlags[FLAG_SELLERS] = 1;
    game.storyFlags[FLAG_REQUESTS] = 1;
    game.adventurers[3].skillUnlocked[3] = 1;
    game.adventurers[0].equipment[0] = makeItemKey(2, 0, 9);
    carryOverRecord(game, CARRY_OVER_SURVIVAL);
    resetRecordForSurvival(game);

    EXPECT_EQ(game.shopSize, 0);
    EXPECT_EQ(game.survivalHell, 1);
    EXPECT_EQ(game.shopWall, 0);
    EXPECT_EQ(game.shopRug, 0);
    EXPECT_NE(game.marketStock[0].stock, 0) << "the market stock is set up anew";
    EXPECT_EQ(game.storyFlags[FLAG_SELLERS], 0);
    EXPECT_EQ(game.storyFlags[FLAG_REQUESTS], 0);
    EXPECT_EQ(game.storageCount, 0);
    for (int32_t key : game.storage) ASSERT_EQ(key, -1);
    EXPECT_EQ(game.shelves[2][4], -1);
    EXPECT_EQ(game.vendingStock[1][1], -1);
    EXPECT_EQ(game.dayLogs[0][0], -1);
    EXPECT_EQ(game.money, 1000);
    EXPECT_EQ(game.dayStartMoney, 1000);
    EXPECT_EQ(game.playTicks, 0);
    EXPECT_EQ(game.merchantLevel, 0);
    EXPECT_EQ(game.merchantExp, 0);
    EXPECT_EQ(game.levelExpNext, 100);
    EXPECT_EQ(game.customerRelations[4].points, 0);
    EXPECT_EQ(game.fusionKnownBits[1], 0);
    EXPECT_EQ(game.collection[0].seen[0], 0);
    ShelfPlace smallest = SHELF_LAYOUTS[0][0];
    EXPECT_EQ(game.shelfLayout[0].x, smallest.x);
    EXPECT_EQ(game.shelfLayout[0].z, smallest.z);

    static GameState fresh;
    initNewGameState(fresh);
    EXPECT_EQ(memcmp(game.collection, fresh.collection, sizeof game.collection), 0);
    for (int32_t j = 0; j < ADVENTURER_COUNT; ++j) {
        const AdventurerRecord& a = game.adventurers[j];
        EXPECT_EQ(a.level, 0) << j;
        EXPECT_EQ(a.experience, 0) << j;
        EXPECT_EQ(a.nextLevelExp, 300) << j;
        const CharaRecord& c = gCharaTable[j];
        EXPECT_EQ(a.attack, statForLevel(c.attack, c.attack100, 0)) << j;
        EXPECT_EQ(a.hpBase, statForLevel(c.hp, c.hp100, 0)) << j;
        EXPECT_EQ(a.skillUnlocked[0], 1) << j;
        EXPECT_EQ(a.skillUnlocked[3], 0) << j;
        for (int32_t s = 0; s < EQUIPMENT_SLOTS; ++s) EXPECT_EQ(a.equipment[s], fresh.adventurers[j].equipment[s]) << j;
    }
    // The carry-over's own work stays.
    EXPECT_EQ(game.loopCount, 2);
    EXPECT_EQ(game.date, 1);
}

TEST(RecordsTrueCards, OnlyTheEightCardsCount) {
    const int32_t KEYS[][2] = {
        {makeItemKey(3400, 0, 0), 0}, {makeItemKey(3401, 0, 0), 1}, {makeItemKey(3408, 0x20, 3), 1},
        {makeItemKey(3409, 0, 0), 0}, {-1, 0}, {makeItemKey(1, 0, 0), 0},
    };
    for (const auto& k : KEYS) EXPECT_EQ(isTrueCardKey(k[0]), k[1] == 1) << "key " << k[0];
}

}   // namespace
