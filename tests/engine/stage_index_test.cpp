// The stage index: stage codes, the defaults a "stage:" line sets, every
// key, the limits, and the shipped sample stages.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>

#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "tests/test_files.h"

class StageIndexTest : public ::testing::Test {
protected:
    // Every slot starts zeroed, as at start-up.
    void SetUp() override {
        for (StageRecord& s : gStages) s = StageRecord{};
        gStageCount = 0;
    }
    void TearDown() override { SetUp(); }
    static void parse(const std::string& text) { parseStageIndex(text.data(), static_cast<int32_t>(text.size())); }
};

static int32_t codeIndex(const std::string& code) { return stageCodeIndex(code.data(), code.data() + code.size()); }

TEST(StageIndexCodes, LaterLongerCodesWin) {
    struct Case { const char* code; int32_t want; };
    const Case CASES[] = {
        {"0-1", 0},  {"0-5", 4},   {"1-1", 5},   {"1-9", 13},  {"1-10", 14}, {"1-12", 16},
        {"1-16", 20}, {"2-1", 20}, {"0-6", 20},  {"", 20},     {"1-", 20},   {"1-1x", 5},
        {"1-12 shop", 16},         {" 1-1", 20},
    };
    for (const Case& c : CASES) EXPECT_EQ(codeIndex(c.code), c.want) << c.code;
}

TEST(StageIndexCodes, TableHoldsTheTwentyOneCodesInOrder) {
    EXPECT_STREQ(STAGE_CODES[0], "0-1");
    EXPECT_STREQ(STAGE_CODES[4], "0-5");
    EXPECT_STREQ(STAGE_CODES[5], "1-1");
    EXPECT_STREQ(STAGE_CODES[20], "1-16");
    for (int32_t i = 0; i < STAGE_CODE_COUNT; i++) EXPECT_EQ(codeIndex(STAGE_CODES[i]), i) << STAGE_CODES[i];
}

TEST_F(StageIndexTest, StageLineSetsDefaultsAndKeepsTheOtherFields) {
    // The slot holds values from before; the fields without a default keep them.
    StageRecord& s = gStages[0];
    s.maptype = 3;
    strcpy(s.mapbg, "old_bg.x");
    strcpy(s.minimap, "old_mini.bmp");
    strcpy(s.waterfile, "old_water");
    s.mapx = 5.0f;
    s.hikarialpha = 9;
    s.mapnumz = 4;
    s.scroll = 0.5f;
    s.hasMapbg = 1;
    s.farclip = 1;
    s.mapCount = 3;
    s.backcolor[1] = 50;
    s.deathheight = 9;
    s.maplightRange[5][1] = 0.0f;
    s.windfire = 1;

    parse("stage:1-12\r\n");
    ASSERT_EQ(gStageCount, 1);
    EXPECT_EQ(s.stageCode, 16);
    EXPECT_EQ(s.maptype, 3);
    EXPECT_STREQ(s.mapbg, "old_bg.x");
    EXPECT_STREQ(s.minimap, "old_mini.bmp");
    EXPECT_STREQ(s.waterfile, "old_water");
    EXPECT_EQ(s.mapx, 5.0f);
    EXPECT_EQ(s.hikarialpha, 9);
    EXPECT_EQ(s.mapnumz, 4);
    EXPECT_EQ(s.scroll, 0.5f);

    EXPECT_EQ(s.hasMapbg, 0);
    EXPECT_EQ(s.mapCount, 0);
    EXPECT_EQ(s.mapcameraCount, 0);
    EXPECT_EQ(s.farclip, 600);
    EXPECT_EQ(s.watersize, 64);
    EXPECT_EQ(s.wateralpha, 127);
    EXPECT_EQ(s.wateralpha_fish, -1);
    EXPECT_EQ(s.waterheight, -1000.0f);
    EXPECT_EQ(s.deathheight, -70);
    EXPECT_EQ(s.wateranimnum, 1);
    EXPECT_EQ(s.wateranimspeed, 4);
    EXPECT_EQ(s.fog[0], 1.0f);
    EXPECT_EQ(s.fog[1], 1.0f);
    EXPECT_EQ(s.smokecolor[0], 255);
    EXPECT_EQ(s.smokecolor[1], 204);
    EXPECT_EQ(s.smokecolor[2], 178);
    EXPECT_EQ(s.backcolor[1], 0);
    for (int i = 0; i < 3; i++) EXPECT_EQ(s.lightdir[i], 1.0f) << i;
    for (int row = 0; row < 6; row++) {
        EXPECT_EQ(s.maplightRange[row][0], 1.0f) << row;
        EXPECT_EQ(s.maplightRange[row][1], 1.0f) << row;
    }
    EXPECT_EQ(s.sunMode, STAGE_SUN_NONE);
    EXPECT_EQ(s.windfire, 0);
}

TEST_F(StageIndexTest, EveryKeyFillsItsField) {
    parse("stage:0-3\r\n"
          "maptype:2\r\nmapbg:bg.x\r\nmapcamera:cam1.x\r\nmapcamera:cam2.x\r\nloopcamera:\r\n"
          "map:m1.x\r\nmap:m2.x\r\nminimap:mini.bmp\r\nfishmap:fish.bmp\r\nstartpos:1:-2:3\r\n"
          "waterfile:wat\r\nwateranimnum:8\r\nwateranimspeed:5\r\nwatersize:32\r\nmapx:400\r\nmapz:-300\r\n"
          "fog:10.5:900\r\ndrawcode:3\r\nwaterdrawcode:4\r\nwateralpha:90\r\nwateralpha_fish:80\r\n"
          "wateradd:1\r\nhikaridrawcode:6\r\nhikarialpha:70\r\nhikariadd:2\r\nfarclip:1500\r\n"
          "mapnumx:11\r\nmapnumz:12\r\nscroll:0.25\r\nmapposy:-3.5\r\nwaterheight:-12\r\nmapviewarea:2\r\n"
          "sunset:1:2:3\r\nfogcolor:4:5:6\r\nsmokecolor:7:8:9\r\nbackcolor:10:11:12\r\n"
          "lightdir:-1:0.5:2\r\nlightcolor:0.1:0.2:0.3\r\nlightamb:0.4:0.5:0.6\r\ngakecheck:\r\n"
          "chrlightoffset:0.75\r\nmaplight:1\r\nchrlight:2\r\nmaplightspeed:0.125\r\n"
          "maplight_dr:0.1 0.2\r\nmaplight_dg:0.3 0.4\r\nmaplight_db:0.5 0.6\r\n"
          "maplight_ar:0.7 0.8\r\nmaplight_ag:0.9 1.1\r\nmaplight_ab:1.2 1.3\r\n"
          "deathheight:-50\r\nwindlerf:\r\nwindsnow:\r\nhoushi:\r\nwindbouble:\r\nwindfire:\r\nsmallwater:\r\n");
    ASSERT_EQ(gStageCount, 1);
    const StageRecord& s = gStages[0];
    EXPECT_EQ(s.stageCode, 2);
    EXPECT_EQ(s.maptype, 2);
    EXPECT_STREQ(s.mapbg, "bg.x");
    EXPECT_EQ(s.hasMapbg, 1);
    ASSERT_EQ(s.mapcameraCount, 2);
    EXPECT_STREQ(s.mapcamera[0], "cam1.x");
    EXPECT_STREQ(s.mapcamera[1], "cam2.x");
    EXPECT_EQ(s.loopcamera, 1);
    ASSERT_EQ(s.mapCount, 2);
    EXPECT_STREQ(s.map[0], "m1.x");
    EXPECT_STREQ(s.map[1], "m2.x");
    EXPECT_STREQ(s.minimap, "mini.bmp");
    EXPECT_STREQ(s.fishmap, "fish.bmp");
    EXPECT_EQ(s.startpos[0], 1);
    EXPECT_EQ(s.startpos[1], -2);
    EXPECT_EQ(s.startpos[2], 3);
    EXPECT_STREQ(s.waterfile, "wat");
    EXPECT_EQ(s.wateranimnum, 8);
    EXPECT_EQ(s.wateranimspeed, 5);
    EXPECT_EQ(s.watersize, 32);
    EXPECT_EQ(s.mapx, 400.0f);
    EXPECT_EQ(s.mapz, -300.0f);
    EXPECT_EQ(s.fog[0], 10.5f);
    EXPECT_EQ(s.fog[1], 900.0f);
    EXPECT_EQ(s.drawcode, 3);
    EXPECT_EQ(s.waterdrawcode, 4);
    EXPECT_EQ(s.wateralpha, 90);
    EXPECT_EQ(s.wateralpha_fish, 80);
    EXPECT_EQ(s.wateradd, 1);
    EXPECT_EQ(s.hikaridrawcode, 6);
    EXPECT_EQ(s.hikarialpha, 70);
    EXPECT_EQ(s.hikariadd, 2);
    EXPECT_EQ(s.farclip, 1500);
    EXPECT_EQ(s.mapnumx, 11);
    EXPECT_EQ(s.mapnumz, 12);
    EXPECT_EQ(s.scroll, 0.25f);
    EXPECT_EQ(s.mapposy, -3.5f);
    EXPECT_EQ(s.waterheight, -12.0f);
    EXPECT_EQ(s.mapviewarea, 2);
    EXPECT_EQ(s.sunpos[0], 1.0f);
    EXPECT_EQ(s.sunpos[1], 2.0f);
    EXPECT_EQ(s.sunpos[2], 3.0f);
    EXPECT_EQ(s.sunMode, STAGE_SUN_SETTING);
    EXPECT_EQ(s.moonOn, 0);
    EXPECT_EQ(s.fogcolor[0], 4);
    EXPECT_EQ(s.fogcolor[2], 6);
    EXPECT_EQ(s.smokecolor[0], 7);
    EXPECT_EQ(s.smokecolor[2], 9);
    EXPECT_EQ(s.backcolor[0], 10);
    EXPECT_EQ(s.backcolor[2], 12);
    EXPECT_EQ(s.lightdir[0], -1.0f);
    EXPECT_EQ(s.lightdir[1], 0.5f);
    EXPECT_EQ(s.lightdir[2], 2.0f);
    EXPECT_EQ(s.lightcolor[1], 0.2f);
    EXPECT_EQ(s.lightamb[2], 0.6f);
    EXPECT_EQ(s.gakecheck, 1);
    EXPECT_EQ(s.chrlightoffset, 0.75f);
    EXPECT_EQ(s.maplight, 1);
    EXPECT_EQ(s.chrlight, 2);
    EXPECT_EQ(s.maplightspeed, 0.125f);
    const float ranges[6][2] = {{0.1f, 0.2f}, {0.3f, 0.4f}, {0.5f, 0.6f}, {0.7f, 0.8f}, {0.9f, 1.1f}, {1.2f, 1.3f}};
    for (int row = 0; row < 6; row++) {
        EXPECT_EQ(s.maplightRange[row][0], ranges[row][0]) << row;
        EXPECT_EQ(s.maplightRange[row][1], ranges[row][1]) << row;
    }
    EXPECT_EQ(s.deathheight, -50);
    EXPECT_EQ(s.windlerf, 1);
    EXPECT_EQ(s.windsnow, 1);
    EXPECT_EQ(s.houshi, 1);
    EXPECT_EQ(s.windbouble, 1);
    EXPECT_EQ(s.windfire, 1);
    EXPECT_EQ(s.smallwater, 1);
}

TEST_F(StageIndexTest, PartialColourLinesKeepWhatIsNotGiven) {
    struct Case { const char* lines; int32_t want[3]; };
    const Case CASES[] = {
        {"fogcolor:10:20:30\r\n", {10, 20, 30}},
        {"fogcolor:10::30\r\n", {10, 0, 30}},
        {"fogcolor:1:2:3\r\nfogcolor:\r\n", {1, 2, 3}},    // nothing behind the key: unchanged
        {"fogcolor:1:2:3\r\nfogcolor:9:\r\n", {9, 2, 3}},
        {"fogcolor:1:2:3\r\nfogcolor:x:y:z\r\n", {0, 0, 0}},
    };
    for (const Case& c : CASES) {
        parse(std::string("stage:1-1\r\n") + c.lines);
        for (int i = 0; i < 3; i++) EXPECT_EQ(gStages[0].fogcolor[i], c.want[i]) << c.lines << " value " << i;
    }
}

TEST_F(StageIndexTest, SpaceSeparatedLightRangesAndStringsWithLeadingSpace) {
    parse("stage:0-1\r\nmaplight_dr:0.5 0.8\r\nmaplight_ab: 2 3\r\nmapbg: sky.x\r\nmap:\r\n");
    const StageRecord& s = gStages[0];
    EXPECT_EQ(s.maplightRange[0][0], 0.5f);
    EXPECT_EQ(s.maplightRange[0][1], 0.8f);
    EXPECT_EQ(s.maplightRange[1][0], 1.0f);
    // A leading space is itself the first separator: both values read 2.
    EXPECT_EQ(s.maplightRange[5][0], 2.0f);
    EXPECT_EQ(s.maplightRange[5][1], 2.0f);
    EXPECT_STREQ(s.mapbg, " sky.x");
    EXPECT_EQ(s.hasMapbg, 1);
    ASSERT_EQ(s.mapCount, 1);
    EXPECT_STREQ(s.map[0], "");
}

TEST_F(StageIndexTest, SunMoonAndSunOff) {
    parse("stage:1-1\r\nsunpos:off\r\n"
          "stage:1-2\r\nsunpos:10:20:30\r\nmoonpos:1:2:3\r\n"
          "stage:1-3\r\nsunpos:10:20:30\r\nsunpos:off\r\n");
    ASSERT_EQ(gStageCount, 3);
    EXPECT_EQ(gStages[0].sunMode, STAGE_SUN_NONE);
    EXPECT_EQ(gStages[0].sunpos[0], 0.0f);
    EXPECT_EQ(gStages[1].sunMode, STAGE_SUN_DAY);
    EXPECT_EQ(gStages[1].moonOn, 1);
    EXPECT_EQ(gStages[1].sunpos[0], 1.0f);
    EXPECT_EQ(gStages[1].sunpos[1], 2.0f);
    EXPECT_EQ(gStages[1].sunpos[2], 3.0f);
    // "sunpos:off" turns the sun off and leaves the position.
    EXPECT_EQ(gStages[2].sunMode, STAGE_SUN_NONE);
    EXPECT_EQ(gStages[2].sunpos[1], 20.0f);
}

TEST_F(StageIndexTest, BlocksStartFreshAndLinesOutsideThemAreIgnored) {
    parse("map:early.x\r\nmaptype:5\r\n"
          "stage:0-1\r\nminimap:first.bmp\r\nfarclip:900\r\n"
          "stage:0-2\r\nmap:second.x\r\nunknown:1\r\nFARCLIP:3\r\n");
    ASSERT_EQ(gStageCount, 2);
    EXPECT_EQ(gStages[0].mapCount, 0);
    EXPECT_EQ(gStages[0].maptype, 0);
    EXPECT_STREQ(gStages[0].minimap, "first.bmp");
    EXPECT_EQ(gStages[0].farclip, 900);
    EXPECT_STREQ(gStages[1].minimap, "");   // a fresh slot's empty name
    EXPECT_EQ(gStages[1].farclip, 600);
    EXPECT_EQ(gStages[1].stageCode, 1);
    ASSERT_EQ(gStages[1].mapCount, 1);
    EXPECT_STREQ(gStages[1].map[0], "second.x");
}

TEST_F(StageIndexTest, ListsAndSlotsStopAtTheirCapacity) {
    std::string text = "stage:1-1\r\n";
    for (int i = 0; i < STAGE_MAP_MAX + 3; i++) text += "map:m" + std::to_string(i) + ".x\r\n";
    for (int i = 0; i < STAGE_CAMERA_MAX + 2; i++) text += "mapcamera:c" + std::to_string(i) + ".x\r\n";
    for (int i = 1; i < STAGE_CODE_COUNT + 3; i++) text += "stage:1-2\r\nfarclip:" + std::to_string(i) + "\r\n";
    parse(text);
    EXPECT_EQ(gStageCount, STAGE_CODE_COUNT);
    ASSERT_EQ(gStages[0].mapCount, STAGE_MAP_MAX);
    EXPECT_STREQ(gStages[0].map[STAGE_MAP_MAX - 1], "m19.x");
    ASSERT_EQ(gStages[0].mapcameraCount, STAGE_CAMERA_MAX);
    EXPECT_STREQ(gStages[0].mapcamera[1], "c1.x");
    EXPECT_EQ(gStages[STAGE_CODE_COUNT - 1].farclip, STAGE_CODE_COUNT - 1);   // later blocks are dropped
}

TEST_F(StageIndexTest, MapLinesPastTheTwentiethAreRefusedWithOneMessage) {
    std::string text = "stage:1-1\r\n";
    for (int i = 0; i < STAGE_MAP_MAX + 3; i++) text += "map:m" + std::to_string(i) + ".x\r\n";
    text += "stage:1-2\r\nmap:one.x\r\n";
    testing::internal::CaptureStderr();
    parse(text);
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(gStages[0].mapLinesRefused, 3);
    EXPECT_EQ(gStages[1].mapLinesRefused, 0);
    size_t first = log.find("more than 20 map: lines");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("more than 20 map: lines", first + 1), std::string::npos) << "one message per stage";
}

TEST_F(StageIndexTest, NumbersBeyondTheirRangeAreClamped) {
    parse("stage:1-1\r\nfarclip:99999999999\r\nwaterheight:-99999999999\r\nscroll:1e60\r\n");
    EXPECT_EQ(gStages[0].farclip, INT32_MAX);
    EXPECT_EQ(gStages[0].waterheight, static_cast<float>(INT32_MIN));
    EXPECT_EQ(gStages[0].scroll, FLT_MAX);
}

TEST_F(StageIndexTest, EmptyTextLeavesNoStages) {
    gStageCount = 5;
    parseStageIndex(nullptr, 0);
    EXPECT_EQ(gStageCount, 0);
}

static std::string readSampleFile(const char* path) {
    return readTextFile(std::string(TOLLI_SOURCE_DIR) + "/sampledata/" + path);
}

TEST_F(StageIndexTest, SampleDataHoldsAShopAndADungeon) {
    std::string text = readSampleFile("idx/stage.idx");
    ASSERT_FALSE(text.empty());
    parse(text);
    ASSERT_EQ(gStageCount, 20);   // the shop of each size 0..3 (its stage index), then a dungeon stage under every key
    for (int32_t size = 0; size < 4; size++) {
        EXPECT_EQ(gStages[size].stageCode, size);
        EXPECT_EQ(gStages[size].maptype, 0);
        // The tables' collision shapes and the vending machines of items 5201..5203.
        ASSERT_EQ(gStages[size].mapCount, 11);
        EXPECT_STREQ(gStages[size].map[3], "xfile/shop/shop_tablehit01.x");
        EXPECT_STREQ(gStages[size].map[10], "xfile/shop/shop_vender03.x");
    }

    const StageRecord& shop = gStages[0];
    EXPECT_EQ(shop.stageCode, 0);
    EXPECT_EQ(shop.maptype, 0);
    EXPECT_EQ(shop.hasMapbg, 1);
    EXPECT_STREQ(shop.mapbg, "xfile/shop/shop_sky.x");   // no CR kept
    EXPECT_STREQ(shop.map[1], "xfile/shop/shop_rug.x");
    EXPECT_EQ(shop.maplight, 2);
    EXPECT_STREQ(shop.waterfile, "xfile/shop/water");
    EXPECT_EQ(shop.wateranimnum, 4);
    EXPECT_EQ(shop.mapcameraCount, 1);
    EXPECT_EQ(shop.startpos[2], -40);
    EXPECT_EQ(shop.farclip, 1000);
    EXPECT_EQ(shop.sunMode, STAGE_SUN_DAY);
    EXPECT_EQ(shop.backcolor[0], 200);
    EXPECT_EQ(shop.lightdir[2], 0.25f);
    EXPECT_EQ(shop.waterheight, -1000.0f);   // a basin no one wades in: the default stays
    EXPECT_EQ(shop.deathheight, -70);

    const StageRecord& cave = gStages[4];
    EXPECT_EQ(cave.stageCode, 5);
    EXPECT_GT(cave.maptype, 0);
    ASSERT_EQ(cave.mapCount, 13);
    EXPECT_STREQ(cave.map[12], "xfile/cave/cave_block12.x");
    EXPECT_STREQ(cave.waterfile, "water/cave");
    EXPECT_EQ(cave.wateranimnum, 8);
    EXPECT_EQ(cave.watersize, 128);
    EXPECT_EQ(cave.waterheight, -12.0f);
    EXPECT_EQ(cave.fog[1], 550.0f);
    EXPECT_EQ(cave.farclip, 600);
    EXPECT_EQ(cave.maplightRange[2][1], 1.1f);
    EXPECT_EQ(cave.maplightRange[3][0], 1.0f);
    EXPECT_EQ(cave.gakecheck, 1);
    EXPECT_EQ(cave.windlerf, 1);
    EXPECT_EQ(cave.deathheight, -70);

    // A dungeon stage under every other stage key, with the 13 blocks.
    for (int32_t s = 4; s < gStageCount; ++s) {
        EXPECT_EQ(gStages[s].stageCode, 1 + s);
        EXPECT_GT(gStages[s].maptype, 0);
        EXPECT_EQ(gStages[s].mapCount, 13);
    }
}

// A field load of a shop stage binds the stage of the shop's size.
TEST(StageShopSize, ShopStagesFollowTheShopSize) {
    struct Case {
        int32_t asked, shopSize, want;
    };
    const Case cases[] = {
        {0, 2, 2}, {3, 2, 2}, {1, 0, 0},
        {4, 2, 4},    // the fifth shop stage is no size
        {7, 1, 7},    // a dungeon stage
        {1, 9, 1},    // a damaged size: the stage as asked
        {2, -1, 2},
    };
    GameState& game = runningGameState();
    int32_t keptSize = game.shopSize;
    for (const Case& c : cases) {
        gStageIndex = c.asked;
        game.shopSize = c.shopSize;
        followShopSize();
        EXPECT_EQ(gStageIndex, c.want) << "asked " << c.asked << ", size " << c.shopSize;
        bindCurrentStage();
        EXPECT_EQ(gCurrentStage, &gStages[c.want]);
    }
    game.shopSize = keptSize;
    resetStagePosition();
}
