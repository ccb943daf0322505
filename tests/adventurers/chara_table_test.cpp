// The chara table: built-in defaults, the two record lines of
// "data/chara.txt", and the shipped sample table.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "adventurers/adventurers.h"
#include "adventurers/party.h"
#include "field/field.h"

class CharaTable : public ::testing::Test {
protected:
    // No archive is open here: the loader finds no file and keeps the defaults.
    void SetUp() override { loadCharaTable(); }
    void TearDown() override {
        for (CharaRecord& row : gCharaTable) row = CharaRecord{};
    }
    static void parse(const std::string& text) { parseCharaTable(text.data(), static_cast<int32_t>(text.size())); }
};

TEST_F(CharaTable, RowsZeroToSevenStartWithTheDefaults) {
    for (int32_t k = 0; k < CHARA_ROW_COUNT; k++) {
        const CharaRecord& c = gCharaTable[k];
        bool used = k < ADVENTURER_COUNT;
        EXPECT_EQ(c.startLevel, used ? 1 : 0) << "row " << k;
        EXPECT_EQ(c.hp, used ? 50 : 0) << "row " << k;
        EXPECT_EQ(c.sp, used ? 30 : 0) << "row " << k;
        EXPECT_EQ(c.attack, used ? 10 : 0) << "row " << k;
        EXPECT_EQ(c.defence, used ? 13 : 0) << "row " << k;
        EXPECT_EQ(c.magic, used ? 5 : 0) << "row " << k;
        EXPECT_EQ(c.magicDefence, used ? 10 : 0) << "row " << k;
        EXPECT_FLOAT_EQ(c.walkSpeed, used ? 0.15f : 0.0f) << "row " << k;
        EXPECT_FLOAT_EQ(c.dashSpeed, used ? 0.2f : 0.0f) << "row " << k;
        EXPECT_EQ(c.criticalChance, 0.0f) << "row " << k;
        EXPECT_EQ(c.hp100 + c.sp100 + c.attack100 + c.defence100 + c.magic100 + c.magicDefence100, 0) << "row " << k;
    }
}

TEST_F(CharaTable, LevelOneAndLevelHundredLinesFillTheirRow) {
    parse("003:5,20,21,22,23,90,40,0.18,0.26,0.125\r\n103:300,310,320,330,900,400\r\n");
    const CharaRecord& c = gCharaTable[3];
    EXPECT_EQ(c.startLevel, 4);   // written 1-based
    EXPECT_EQ(c.attack, 20);
    EXPECT_EQ(c.defence, 21);
    EXPECT_EQ(c.magic, 22);
    EXPECT_EQ(c.magicDefence, 23);
    EXPECT_EQ(c.hp, 90);
    EXPECT_EQ(c.sp, 40);
    EXPECT_FLOAT_EQ(c.walkSpeed, 0.18f);
    EXPECT_FLOAT_EQ(c.dashSpeed, 0.26f);
    EXPECT_FLOAT_EQ(c.criticalChance, 0.125f);
    EXPECT_EQ(c.attack100, 300);
    EXPECT_EQ(c.defence100, 310);
    EXPECT_EQ(c.magic100, 320);
    EXPECT_EQ(c.magicDefence100, 330);
    EXPECT_EQ(c.hp100, 900);
    EXPECT_EQ(c.sp100, 400);
    EXPECT_EQ(gCharaTable[2].attack, 10);   // other rows keep theirs
}

TEST_F(CharaTable, OnlyRowsZeroToNineMatchAndShortLinesKeepTheRest) {
    parse("010:7,1,1,1,1,1,1,1,1,1\n"      // rows 10 to 99: not a record
          "110:1,1,1,1,1,1\n"
          "200:1,1,1,1,1,1\n"
          "0009:1,1,1,1,1,1,1\n"
          " 004:9,9,9,9,9,9,9\n"
          "/005:9,9,9,9,9,9,9\n"
          "009:3,1,2,3,4,5,6,0.1,0.2,0.3\n"   // rows 8 and 9 exist, unused
          "001:1,11,12\n"                     // the values not given stay
          "006:2,1,1,1,1,1,1\n"
          "006:3,2,2,2,2,2,2\n"               // the last line of a row wins
          "107:5,6\n");
    for (int32_t k : {0, 4, 5}) {
        EXPECT_EQ(gCharaTable[k].startLevel, 1) << "row " << k;
        EXPECT_EQ(gCharaTable[k].attack, 10) << "row " << k;
    }
    EXPECT_EQ(gCharaTable[9].startLevel, 2);
    EXPECT_EQ(gCharaTable[9].sp, 6);
    EXPECT_FLOAT_EQ(gCharaTable[9].criticalChance, 0.3f);
    EXPECT_EQ(gCharaTable[8].attack, 0);
    const CharaRecord& r1 = gCharaTable[1];
    EXPECT_EQ(r1.startLevel, 0);   // level 1 gives index 0
    EXPECT_EQ(r1.attack, 11);
    EXPECT_EQ(r1.defence, 12);
    EXPECT_EQ(r1.magic, 5);
    EXPECT_EQ(r1.hp, 50);
    EXPECT_FLOAT_EQ(r1.dashSpeed, 0.2f);
    EXPECT_EQ(gCharaTable[6].startLevel, 2);
    EXPECT_EQ(gCharaTable[6].hp, 2);
    EXPECT_EQ(gCharaTable[7].attack100, 5);
    EXPECT_EQ(gCharaTable[7].defence100, 6);
    EXPECT_EQ(gCharaTable[7].magic100, 0);
}

TEST_F(CharaTable, TheSampleTableGivesEveryAdventurerAGrowingRow) {
    std::ifstream in(std::string(TOLLI_SOURCE_DIR) + "/sampledata/data/chara.txt", std::ios::binary);
    ASSERT_TRUE(in) << "sampledata/data/chara.txt";
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (CharaRecord& row : gCharaTable) row = CharaRecord{};
    parse(text);
    for (int32_t k = 0; k < ADVENTURER_COUNT; k++) {
        const CharaRecord& c = gCharaTable[k];
        EXPECT_GE(c.startLevel, 0) << "row " << k;
        EXPECT_LE(c.startLevel, ADVENTURER_LEVEL_MAX) << "row " << k;
        EXPECT_GT(c.hp, 0) << "row " << k;
        EXPECT_GT(c.hp100, c.hp) << "row " << k;
        EXPECT_GT(c.sp100, c.sp) << "row " << k;
        EXPECT_GT(c.attack100, c.attack) << "row " << k;
        EXPECT_GT(c.defence100, c.defence) << "row " << k;
        EXPECT_GT(c.magic100, c.magic) << "row " << k;
        EXPECT_GT(c.magicDefence100, c.magicDefence) << "row " << k;
        EXPECT_GT(c.walkSpeed, 0.0f) << "row " << k;
        EXPECT_GT(c.dashSpeed, c.walkSpeed) << "row " << k;
        EXPECT_GT(c.criticalChance, 0.0f) << "row " << k;
        EXPECT_LT(c.criticalChance, 1.0f) << "row " << k;
        EXPECT_LT(c.hp100, 32768) << "row " << k;   // HP and SP are 16-bit in a game
        EXPECT_LT(c.sp100, 32768) << "row " << k;
    }
    EXPECT_EQ(gCharaTable[0].attack, 12);
    EXPECT_EQ(gCharaTable[0].hp, 60);
    EXPECT_EQ(gCharaTable[7].startLevel, 14);
    EXPECT_EQ(gCharaTable[8].hp, 0);
}
