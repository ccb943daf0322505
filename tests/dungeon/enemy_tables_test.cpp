// The dungeon's start-up tables: the enemy kinds' stats and drops, the
// floors' enemy lists and the floor conditions with their roll.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "platform/window.h"
#include "shop/shop.h"

namespace {

// 無効な敵ネーム, 不明なアイテム6, 不明なニュース
const char UNKNOWN_KIND[] = "\x96\xb3\x8c\xf8\x82\xc8\x93G\x83l\x81[\x83\x80";
const char UNKNOWN_ITEM6[] = "\x95s\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80\x36";
const char UNKNOWN_NEWS[] = "\x95s\x96\xbe\x82\xc8\x83j\x83\x85\x81[\x83X";

class FieldTables : public ::testing::Test {
protected:
    void SetUp() override {
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        const std::string items =
            ":Swords#Weapons\n"
            "0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#x#y\n"
            "0001 Short Sword#120#6#0#0#0#Wepn Metl##a2#x#y\n"
            "0002 Short Sword Plus#200#9#0#0#0#Wepn Metl##a2#x#y\n"
            "0003 Long Sword#300#9#0#0#0#Wepn Metl##a2#x#y\n";
        parseItemTable(items.data(), (int32_t)items.size());
        headlessWindowReset();
        resetEnemyKinds();
    }
    void TearDown() override {
        resetEnemyKinds();
        parseFloorEnemyLists("", 0);
        parseFloorConditions("", 0);
    }
    static void enemies(const std::string& t) { parseEnemyKinds(t.data(), (int32_t)t.size()); }
    static void lists(const std::string& t) { parseFloorEnemyLists(t.data(), (int32_t)t.size()); }
    static void conditions(const std::string& t) { parseFloorConditions(t.data(), (int32_t)t.size()); }
    static std::string caption(int32_t i) { return gHeadlessMessageBoxes.boxes[i].caption; }
    static std::string text(int32_t i) { return gHeadlessMessageBoxes.boxes[i].text; }
};

TEST_F(FieldTables, TheLongestKindNameWins) {
    struct Case {
        const char* line;
        int32_t kind;
    };
    const Case CASES[] = {
        {"slime_red:1", 1},
        {"golem_dark_left,1", 66},   // not "golem", "golem_dark"
        {"golem_dark,1", 64},
        {"golem,1", 61},
        {"bat", -1},
        {" ", -1},                   // blank names never match
        {"  x4", -1},
        {"", -1},
    };
    for (const Case& c : CASES)
        EXPECT_EQ(findEnemyKindAt(c.line, c.line + strlen(c.line)), c.kind) << c.line;
    // The end row stops the scan.
    strcpy(gEnemyKinds[90].name, "zzz");
    const char* zzz = "zzz";
    EXPECT_EQ(findEnemyKindAt(zzz, zzz + 3), -1);
}

TEST_F(FieldTables, EnemyLinesSetTheStatsAndDropsByItemPrefix) {
    enemies("/ comment\n"
            " slime_red:skipped\n"
            "slime_red:40,5,,7,-2,9:Short Sword Pl:Long,Sword\n"
            "slime_green#1,2,3,4,5,6\n"
            "dragon:1\n"
            "bee_red;1,2,3,4,5,6:No Such Thing:\n");
    const EnemyKind& red = gEnemyKinds[1];
    EXPECT_EQ(red.baseHp, 40);
    EXPECT_EQ(red.baseExp, 5);
    EXPECT_EQ(red.attack, 0);   // an empty field reads 0
    EXPECT_EQ(red.defence, 7);
    EXPECT_EQ(red.magic, -2);
    EXPECT_EQ(red.magicDefence, 9);
    EXPECT_EQ(red.dropItems[0], 2);
    // "Long,Sword" is no item's beginning: the ',' belongs to the name.
    EXPECT_EQ(red.dropItems[1], -1);
    EXPECT_EQ(gEnemyKinds[0].dropItems[0], -1);   // both drops are cleared by a line
    EXPECT_EQ(gEnemyKinds[0].magicDefence, 6);
    EXPECT_EQ(gEnemyKinds[0].animSpeed, 1.0f);    // fields the file does not name stay
    EXPECT_EQ(gEnemyKinds[12].dropItems[1], 0);   // an empty name matches the first item
    ASSERT_EQ(gHeadlessMessageBoxes.count, 3);
    EXPECT_EQ(caption(0), "\x95s\x96\xbe\x82\xc8\x83\x41\x83\x43\x83\x65\x83\x80\x32");
    EXPECT_EQ(text(0), "Long,Sword");
    EXPECT_EQ(caption(1), UNKNOWN_KIND);
    EXPECT_EQ(text(1), "dragon:1");
    EXPECT_EQ(text(2), "No Such Thing");
}

TEST_F(FieldTables, ListEntriesTakeCountVariantAndExactDrops) {
    lists("wisp1:Long Sword\n"
          "wisp0:Long Sword\nwisp7:Long Sword\n"   // only dungeons 1..6
          "DungeonNum_2\n"
          "f:3-5\n"
          "kobold x4 (2 :Short Sword:Long Sword\n"
          "slime_green:Short Sword Plus::Short\n"
          "f:7\n"
          "bat_red x12\n");
    EXPECT_EQ(gWispDrops[0], 3);
    for (int32_t d = 1; d < SPAWN_DUNGEONS; d++) EXPECT_EQ(gWispDrops[d], -1) << d;
    const FloorSpawnRange& row = gFloorSpawnTable[1][0];
    EXPECT_EQ(row.floorFrom, 2);
    EXPECT_EQ(row.floorTo, 4);
    EXPECT_EQ(row.entries[0].kind, 16);
    EXPECT_EQ(row.entries[0].count, 4);
    EXPECT_EQ(row.entries[0].variant, 2);
    EXPECT_EQ(row.drops[0][0], 1);
    EXPECT_EQ(row.drops[0][1], 3);
    EXPECT_EQ(row.drops[0][2], -1);
    EXPECT_EQ(row.entries[1].count, 1);
    EXPECT_EQ(row.drops[1][0], 2);
    EXPECT_EQ(row.drops[1][1], -1);   // empty name
    EXPECT_EQ(row.drops[1][2], -1);   // "Short" is no item's whole name
    EXPECT_EQ(row.entries[2].kind, -1);
    const FloorSpawnRange& single = gFloorSpawnTable[1][1];
    EXPECT_EQ(single.floorFrom, 6);
    EXPECT_EQ(single.floorTo, 6);
    EXPECT_EQ(single.entries[0].count, 12);
    EXPECT_EQ(gFloorSpawnTable[1][2].floorFrom, -1);
    EXPECT_EQ(gFloorSpawnTable[0][0].floorFrom, -1);
    ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
    EXPECT_EQ(caption(0), UNKNOWN_ITEM6);
    EXPECT_EQ(text(0), "Short");
}

TEST_F(FieldTables, ListsStayWithinTheirRowsAndEntries) {
    std::string text = "slime_green\n";   // no dungeon or row yet: dropped
    text += "DungeonNum_1\nf:0-2\nf:\nf:1\n";
    for (int32_t i = 0; i < SPAWN_ENTRIES + 4; i++) text += "slime_blue x" + std::to_string(i + 1) + "\n";
    text += "DungeonNum_3\n";
    for (int32_t r = 0; r < SPAWN_ROWS + 5; r++) text += "f:" + std::to_string(r + 1) + "\nbat_red\n";
    lists(text);
    EXPECT_EQ(gFloorSpawnTable[0][0].floorFrom, -1);   // floor 0: no floor of the file
    EXPECT_EQ(gFloorSpawnTable[0][1].floorFrom, -1);   // nothing after the colon
    const FloorSpawnRange& full = gFloorSpawnTable[0][2];
    EXPECT_EQ(full.floorFrom, 0);
    for (int32_t e = 0; e < SPAWN_ENTRIES; e++) EXPECT_EQ(full.entries[e].count, e + 1) << e;
    EXPECT_EQ(gFloorSpawnTable[0][3].floorFrom, -1);   // the next row untouched
    EXPECT_EQ(gFloorSpawnTable[0][3].entries[0].kind, -1);
    EXPECT_EQ(gFloorSpawnTable[2][SPAWN_ROWS - 1].floorFrom, SPAWN_ROWS - 1);
    EXPECT_EQ(gFloorSpawnTable[3][0].floorFrom, -1);   // nothing spilled into the next dungeon
    ASSERT_EQ(gHeadlessMessageBoxes.count, 1);
    EXPECT_EQ(caption(0), "system");
    EXPECT_EQ(std::string(gHeadlessMessageBoxes.boxes[0].text),
              "\x93G\x83\x8a\x83X\x83g\x93o\x98^\x83I\x81[\x83o\x81[ 31");
}

TEST_F(FieldTables, EachRangeLineOpensTheRowItsEntriesFill) {
    conditions("DungeonNum_1\nf:1-3\n005,10\nf:4-6\n006,5\n"
               "005:Windy\n006 Slippery\n063:" + std::string(80, 'w') + "\n064:Too far\n007:\n"
               "NON,3\nwhat\n");
    const FloorConditionRange& first = gFloorConditionRanges[0][0];
    EXPECT_EQ(first.floorFrom, 1);
    EXPECT_EQ(first.floorTo, 3);
    EXPECT_EQ(first.pairs[0].id, 5);
    EXPECT_EQ(first.pairs[0].weight, 10);
    EXPECT_EQ(first.pairs[1].id, -1);
    const FloorConditionRange& second = gFloorConditionRanges[0][1];
    EXPECT_EQ(second.floorFrom, 4);
    EXPECT_EQ(second.floorTo, 6);
    EXPECT_EQ(second.pairs[0].id, 6);
    EXPECT_EQ(second.pairs[0].weight, 5);
    EXPECT_EQ(second.pairs[1].id, CONDITION_NONE);
    EXPECT_EQ(gFloorConditionRanges[0][2].floorFrom, -1);
    EXPECT_STREQ(gFloorConditions[5].name, "Windy");
    EXPECT_STREQ(gFloorConditions[6].name, "Slippery");
    EXPECT_EQ(strlen(gFloorConditions[63].name), 63u);
    EXPECT_EQ(gFloorConditions[7].enabled, 1);
    EXPECT_EQ(gFloorConditionCount, 4);
    ASSERT_EQ(gHeadlessMessageBoxes.count, 3);
    EXPECT_EQ(caption(0), UNKNOWN_NEWS);
    EXPECT_EQ(text(0), "064:Too far");
    EXPECT_EQ(caption(1), "err");
    EXPECT_EQ(text(1), ":");
    EXPECT_EQ(text(2), "what");
}

TEST_F(FieldTables, ConditionLinesNeedTheirDungeonAndRowAndStayWithinTheTable) {
    std::string text = "001,5\nf:1-2\n002,5\nDungeonNum_2\n003,5\nf:1-9\n";
    for (int32_t i = 0; i < CONDITION_PAIRS + 3; i++) text += "004," + std::to_string(i + 1) + "\n";
    text += "DungeonNum_3\n";
    for (int32_t r = 0; r < CONDITION_ROWS + 3; r++) text += "f:" + std::to_string(r + 1) + "\n009,1\n";
    conditions(text);
    EXPECT_EQ(gFloorConditionRanges[0][0].floorFrom, -1);   // no dungeon yet
    EXPECT_EQ(gFloorConditionRanges[0][0].pairs[0].id, -1);
    const FloorConditionRange& full = gFloorConditionRanges[1][0];
    EXPECT_EQ(full.pairs[0].id, 4);   // "003,5" came before the row
    EXPECT_EQ(full.pairs[CONDITION_PAIRS - 1].weight, CONDITION_PAIRS);
    EXPECT_EQ(gFloorConditionRanges[1][1].pairs[0].id, -1);
    EXPECT_EQ(gFloorConditionRanges[2][CONDITION_ROWS - 1].floorFrom, CONDITION_ROWS);
    EXPECT_EQ(gFloorConditionRanges[3][0].floorFrom, -1);
    EXPECT_EQ(gHeadlessMessageBoxes.count, 0);
}

TEST_F(FieldTables, TheRollFollowsTheWeightsAndNeverDividesByNothing) {
    conditions("DungeonNum_1\nf:1-3\n005,3\n006,1\nf:4-6\nNON,10\nf:7-9\n005,0\n006,-4\n"
               "005:Windy\n006:Slippery\n");
    gRun.dungeonIndex = 0;
    seedRandom(1234);
    int32_t windy = 0;
    const int32_t ROLLS = 4000;
    for (int32_t i = 0; i < ROLLS; i++) {
        gFloorIndex = 1;
        rollFloorConditions();
        ASSERT_EQ(gFloorConditionList.count, 1);
        ASSERT_EQ(gFloorConditionList.rollState, 1);
        windy += gFloorConditionList.ids[0] == 5;
    }
    EXPECT_NEAR(windy / (double)ROLLS, 0.75, 0.03);
    EXPECT_STREQ(gFloorConditionList.names[0], gFloorConditionList.ids[0] == 5 ? "Windy" : "Slippery");
    EXPECT_EQ(gFloorConditionList.totalLength, (int32_t)strlen(gFloorConditionList.names[0]) + 4);
    struct Case {
        int32_t floorIndex;
        int32_t count;
    };
    const Case CASES[] = {
        {5, 0},    // NON
        {7, 0},    // weights summing below 1
        {20, 1},   // above every range: row 0
    };
    for (const Case& c : CASES) {
        gFloorIndex = c.floorIndex;
        rollFloorConditions();
        EXPECT_EQ(gFloorConditionList.count, c.count) << c.floorIndex;
        EXPECT_EQ(gFloorConditionList.rollState, 1) << c.floorIndex;
    }
    gFloorConditionList = FloorConditionList{};
    gFloorIndex = 9;   // a boss floor
    rollFloorConditions();
    EXPECT_EQ(gFloorConditionList.count, 0);
    EXPECT_EQ(gFloorConditionList.rollState, 0);
    gFloorIndex = 0;
    gRun.dungeonIndex = 0;
}

}  // namespace
