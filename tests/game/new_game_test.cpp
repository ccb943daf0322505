// A new game's slot as the game fills it: the save file's own fields, and
// through the game's wiring the adventurers' levels and stats from their
// table, and their starting equipment.
#include <gtest/gtest.h>

#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/save_file.h"
#include "game/mode_table.h"

namespace {

const CharaRecord DEFAULT_CHARA = {1, 50, 30, 10, 13, 5, 10, 0.15f, 0.2f, 0.0f, 0, 0, 0, 0, 0, 0};

class NewGame : public ::testing::Test {
protected:
    void SetUp() override {
        for (int32_t row = 0; row < CHARA_ROW_COUNT; row++)
            gCharaTable[row] = row < ADVENTURER_COUNT ? DEFAULT_CHARA : CharaRecord{};
        // Whichever test ran before.
        installGameWiring();
    }
    void TearDown() override {
        for (CharaRecord& row : gCharaTable) row = CharaRecord{};
    }
};

}  // namespace

TEST_F(NewGame, StartsWithItsMoneyLevelsEquipmentAndEmptyLists) {
    static GameState game;
    memset(&game, 0x5A, sizeof game);
    initNewGameState(game);
    EXPECT_EQ(game.magic, SAVE_MAGIC);
    EXPECT_EQ(game.playTicks, 0);
    EXPECT_EQ(game.money, 1000);
    EXPECT_EQ(game.dayStartMoney, 1000);
    EXPECT_EQ(game.unused010, 2);
    EXPECT_EQ(game.weekEndDay, 7);
    EXPECT_EQ(game.levelExpFloor, 0);
    EXPECT_EQ(game.levelExpNext, 100);
    EXPECT_EQ(game.storageCount, 0);
    EXPECT_EQ(game.shopSize, 0);
    EXPECT_EQ(game.trueCards[7], 0);
    EXPECT_EQ(game.checksum, 0);
    for (int32_t key : game.storage) ASSERT_EQ(key, -1);
    for (auto& row : game.shelves)
        for (int32_t key : row) ASSERT_EQ(key, -1);
    for (auto& log : game.dayLogs)
        for (int32_t key : log) ASSERT_EQ(key, -1);
    for (int32_t count : game.dayLogCounts) EXPECT_EQ(count, 0);
    for (auto& stock : game.vendingStock)
        for (int32_t key : stock) ASSERT_EQ(key, -1);
    for (int32_t mode : game.vendingModes) EXPECT_EQ(mode, 0);
    for (int32_t i = 0; i < SHELF_LAYOUT_COUNT; i++) {
        EXPECT_EQ(game.shelfLayout[i].x, SHELF_LAYOUTS[0][i].x) << "shelf " << i;
        EXPECT_EQ(game.shelfLayout[i].z, SHELF_LAYOUTS[0][i].z) << "shelf " << i;
    }

    const int32_t EQUIPMENT_KEYS[ADVENTURER_COUNT][EQUIPMENT_SLOTS] = {
        {96, 83296, 96096, 147296, -1}, {6496, 76896, 89696, 153696, -1}, {12896, 70496, 89696, -1, -1},
        {19296, 76896, 89696, -1, -1},  {32096, 64096, 89696, 128096, -1}, {25696, 64096, 89696, 134496, -1},
        {38496, 76896, 140896, 153696, -1}, {44896, 76896, 102496, -1, -1},
    };
    for (int32_t j = 0; j < ADVENTURER_COUNT; j++) {
        const AdventurerRecord& a = game.adventurers[j];
        for (int32_t i = 0; i < EQUIPMENT_SLOTS; i++) {
            EXPECT_EQ(a.equipment[i], EQUIPMENT_KEYS[j][i]) << "adventurer " << j << " slot " << i;
            EXPECT_EQ(a.savedEquipment[i], EQUIPMENT_KEYS[j][i]) << "adventurer " << j << " slot " << i;
        }
        EXPECT_EQ(a.experience, 0) << "adventurer " << j;
        EXPECT_EQ(a.levelStartExp, 0) << "adventurer " << j;
        EXPECT_EQ(a.nextLevelExp, 300) << "adventurer " << j;
        EXPECT_EQ(a.skillUnlocked[0], 1) << "adventurer " << j;
        EXPECT_EQ(a.skillUnlocked[1] + a.skillUnlocked[4], 0) << "adventurer " << j;
        EXPECT_EQ(a.hpBonus + a.spBonus + a.adventures + a.clears, 0) << "adventurer " << j;
    }
    // Vuror starts at level index 0 with the level-1 values; the others at
    // the row's level (1 by default), moved by the stats-by-level formula
    // toward the default level-100 values of 0.
    const AdventurerRecord& vuror = game.adventurers[0];
    EXPECT_EQ(vuror.level, 0);
    EXPECT_EQ(vuror.attack, 10);
    EXPECT_EQ(vuror.defence, 13);
    EXPECT_EQ(vuror.magic, 5);
    EXPECT_EQ(vuror.magicDefence, 10);
    EXPECT_EQ(vuror.hpBase, 50);
    EXPECT_EQ(vuror.spBase, 30);
    const AdventurerRecord& rerado = game.adventurers[1];
    EXPECT_EQ(rerado.level, 1);
    EXPECT_EQ(rerado.attack, 9);        // 10 - 0.1
    EXPECT_EQ(rerado.defence, 12);      // 13 - 0.13
    EXPECT_EQ(rerado.magic, 4);         // 5 - 0.05
    EXPECT_EQ(rerado.magicDefence, 9);
    EXPECT_EQ(rerado.hpBase, 49);       // 50 - 0.5
    EXPECT_EQ(rerado.spBase, 29);       // 30 - 0.3
}
