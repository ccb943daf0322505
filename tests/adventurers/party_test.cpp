// Stats by level: the interpolation between the level-1 and level-100 values
// with its float and double steps, and its use on a game's eight adventurers.
#include "adventurers/party.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/save_file.h"

struct StatCase { int32_t e, h, level, want; };
const StatCase STAT_CASES[] = {
    {10, 200, 0, 10},        // level index 0: the level-1 value exactly
    {10, 200, 98, 196},      // the highest index stops short: 196.2
    {10, 200, 100, 200},
    {50, 0, 1, 49},          // 49.5, toward zero
    {200, 10, 50, 105},      // a lower level-100 value falls with the level
    {5, -100, 50, -47},      // -47.5 truncates toward zero
    {0, 16777217, 100, 16777216},   // the difference enters as a float
    {0, 100, 16777217, 16777216},   // and so does the level
    {INT32_MIN, INT32_MAX, INT32_MAX, INT32_MAX},   // stops at the int range
    {INT32_MAX, INT32_MIN, 1000, INT32_MIN},
};

TEST(PartyStats, StatForLevelInterpolatesAndTruncates) {
    for (const StatCase& c : STAT_CASES)
        EXPECT_EQ(statForLevel(c.e, c.h, c.level), c.want) << "e " << c.e << " h " << c.h << " level " << c.level;
}

TEST(PartyStats, RecomputeSetsEveryAdventurersBaseValuesAndKeepsBonuses) {
    for (int32_t k = 0; k < CHARA_ROW_COUNT; k++) {
        gCharaTable[k] = CharaRecord{1, 50 + k, 30, 10, 13, 5 + k, 10, 0.15f, 0.2f, 0.0f,
                                     1050 + k, 330, 110 + k, 213, 5, 1010};
    }
    static GameState game;
    memset(&game, 0, sizeof game);
    for (int32_t k = 0; k < ADVENTURER_COUNT; k++) {
        game.adventurers[k].level = k * 14;   // 0 .. 98
        game.adventurers[k].hpBonus = 77;
        game.adventurers[k].spBonus = 12;
        game.adventurers[k].experience = 4444;
    }
    recomputeLevelStats(game);
    for (int32_t k = 0; k < ADVENTURER_COUNT; k++) {
        const AdventurerRecord& a = game.adventurers[k];
        const CharaRecord& c = gCharaTable[k];
        EXPECT_EQ(a.attack, statForLevel(c.attack, c.attack100, k * 14)) << "adventurer " << k;
        EXPECT_EQ(a.defence, statForLevel(13, 213, k * 14)) << "adventurer " << k;
        EXPECT_EQ(a.magic, statForLevel(5 + k, 5, k * 14)) << "adventurer " << k;
        EXPECT_EQ(a.magicDefence, statForLevel(10, 1010, k * 14)) << "adventurer " << k;
        EXPECT_EQ(a.hpBase, statForLevel(50 + k, 1050 + k, k * 14)) << "adventurer " << k;
        EXPECT_EQ(a.spBase, statForLevel(30, 330, k * 14)) << "adventurer " << k;
        EXPECT_EQ(a.hpBonus, 77) << "adventurer " << k;
        EXPECT_EQ(a.spBonus, 12) << "adventurer " << k;
        EXPECT_EQ(a.experience, 4444) << "adventurer " << k;
    }
    EXPECT_EQ(game.adventurers[0].hpBase, 50);
    EXPECT_EQ(game.adventurers[7].hpBase, 1037);   // 57 + 1000 * 0.98
    EXPECT_EQ(game.adventurers[7].magic, 5);       // 12 - 7 * 0.98, falling with the level
    for (CharaRecord& row : gCharaTable) row = CharaRecord{};
}

// A new game starts each adventurer but the first at its row's start level;
// a carried-over game puts them all back at level 1. Both drop the
// experience, take the rows' level-1 values and keep the bonuses.
TEST(PartyStats, ResetRecordsStartAtTheRowsLevelsOrAllAtLevelOne) {
    for (int32_t k = 0; k < CHARA_ROW_COUNT; k++)
        gCharaTable[k] = CharaRecord{3 + k, 50 + k, 30, 10, 13, 5, 10, 0.15f, 0.2f, 0.0f, 1050, 330, 110, 213, 5, 1010};
    static GameState game;
    for (bool startLevels : {true, false}) {
        memset(&game, 0, sizeof game);
        for (AdventurerRecord& a : game.adventurers) {
            a.level = 40;
            a.hpBonus = 77;
            a.experience = 4444;
            a.levelStartExp = 4000;
            a.nextLevelExp = 5000;
        }
        resetAdventurerRecords(game, startLevels);
        for (int32_t k = 0; k < ADVENTURER_COUNT; k++) {
            const AdventurerRecord& a = game.adventurers[k];
            EXPECT_EQ(a.level, startLevels && k != 0 ? 3 + k : 0) << "adventurer " << k << " start " << startLevels;
            EXPECT_EQ(a.hpBase, 50 + k) << "adventurer " << k;
            EXPECT_EQ(a.hpBonus, 77) << "adventurer " << k;
            EXPECT_EQ(a.experience, 0) << "adventurer " << k;
            EXPECT_EQ(a.levelStartExp, 0) << "adventurer " << k;
            EXPECT_EQ(a.nextLevelExp, LEVEL_ONE_NEXT_EXP) << "adventurer " << k;
        }
    }
    for (CharaRecord& row : gCharaTable) row = CharaRecord{};
}

TEST(PartyLevels, ExperienceForALevelGrowsByItsTriangle) {
    // Levels read from a file outside the levels there are stay in them.
    const int32_t cases[][2] = {{0, 0},         {1, 300},          {2, 900},          {3, 1800},
                                {99, 1485000},  {100, 1485000},    {INT32_MAX, 1485000}, {-1, 0},
                                {INT32_MIN, 0}, {2000000000, 1485000}};
    for (const auto& c : cases) EXPECT_EQ(getExpForLevel(c[0]), c[1]) << "level " << c[0];
}

TEST(PartyLevels, ALoadedGamesLevelsAndRangesAreRepaired) {
    GameState& game = runningGameState();
    memset(&game, 0, sizeof game);
    struct Case { int32_t level, start, next; int32_t wantLevel, wantStart, wantNext; };
    const Case CASES[ADVENTURER_COUNT] = {
        {5, 1234, 5678, 5, 1234, 5678},                                   // sound: kept as it is
        {2000000000, 0, 0, 98, getExpForLevel(98), getExpForLevel(99)},   // past the top
        {-3, 50, 300, 0, 0, 300},                                         // below the first
        {10, 900, 900, 10, getExpForLevel(10), getExpForLevel(11)},       // an empty range
        {10, 5000, -7, 10, getExpForLevel(10), getExpForLevel(11)},       // a range that runs backwards
        {10, -1, 20, 10, getExpForLevel(10), getExpForLevel(11)},
        {98, getExpForLevel(98), getExpForLevel(99), 98, getExpForLevel(98), getExpForLevel(99)},
        {0, 0, 300, 0, 0, 300},
    };
    for (int32_t k = 0; k < ADVENTURER_COUNT; ++k) {
        game.adventurers[k].level = CASES[k].level;
        game.adventurers[k].levelStartExp = CASES[k].start;
        game.adventurers[k].nextLevelExp = CASES[k].next;
    }
    repairAdventurerLevels(game);
    for (int32_t k = 0; k < ADVENTURER_COUNT; ++k) {
        EXPECT_EQ(game.adventurers[k].level, CASES[k].wantLevel) << "adventurer " << k;
        EXPECT_EQ(game.adventurers[k].levelStartExp, CASES[k].wantStart) << "adventurer " << k;
        EXPECT_EQ(game.adventurers[k].nextLevelExp, CASES[k].wantNext) << "adventurer " << k;
    }
    memset(&game, 0, sizeof game);
}

class PartyLevelUp : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&runningGameState(), 0, sizeof(GameState));
        resetPartyState();
        for (CharaRecord& row : gCharaTable) row = CharaRecord{1, 50, 30, 10, 13, 5, 10, 0.15f, 0.2f, 0.0f,
                                                               1050, 330, 110, 213, 105, 1010};
        gChosenAdventurer = 3;
    }
    void TearDown() override {
        for (CharaRecord& row : gCharaTable) row = CharaRecord{};
        memset(&runningGameState(), 0, sizeof(GameState));
        resetPartyState();
    }
};

TEST_F(PartyLevelUp, NinetySevenReachesTheTopWhereOnlyHpAndSpRefill) {
    AdventurerRecord& a = runningGameState().adventurers[3];
    for (int32_t& key : a.equipment) key = -1;
    a.level = 97;
    a.levelStartExp = getExpForLevel(97);
    a.nextLevelExp = getExpForLevel(98);
    a.experience = a.nextLevelExp + 40;
    a.hpBonus = 20;
    levelUp(a);
    EXPECT_EQ(a.level, ADVENTURER_LEVEL_MAX);
    EXPECT_EQ(a.levelStartExp, getExpForLevel(98));
    EXPECT_EQ(a.nextLevelExp, getExpForLevel(99));
    EXPECT_EQ(a.hpBase, statForLevel(50, 1050, 98));
    EXPECT_FLOAT_EQ(gParty.hp, static_cast<float>(a.hpBase + 20));
    EXPECT_EQ(gParty.totals[0], statForLevel(10, 110, 98)) << "the totals follow the new level";
    EXPECT_EQ(gParty.equipEffectCount, 5);
    EXPECT_EQ(gParty.levelGlowTimer, 20);

    a.experience = a.nextLevelExp + 999;
    gParty.hp = 1.0f;
    gParty.levelGlowTimer = 0;
    AdventurerRecord before = a;
    levelUp(a);
    EXPECT_EQ(a.level, ADVENTURER_LEVEL_MAX);
    EXPECT_EQ(a.experience, before.levelStartExp) << "the excess is lost";
    EXPECT_EQ(a.nextLevelExp, before.nextLevelExp);
    EXPECT_EQ(a.hpBase, before.hpBase);
    EXPECT_FLOAT_EQ(gParty.hp, static_cast<float>(a.hpBase + 20));
    EXPECT_EQ(gParty.levelGlowTimer, 20);
}
