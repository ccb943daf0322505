// The field's resource loading on the recording device: the shop stage
// follows the shop's size, the floor banner by dungeon and floor, the shop
// decoration's part loads and releases, the enemy side's sheets and icons,
// and the release of everything the field loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/motion_files.h"
#include "engine/save_file.h"
#include "engine/textures.h"
#include "tests/field/world_fixture.h"

namespace {

bool registered(const TextureSlot& slot) {
    for (TextureSlot* entry : gTextureRegistry)
        if (entry == &slot) return true;
    return false;
}

int32_t registeredCount(const TextureSlot* slots, int32_t count) {
    int32_t n = 0;
    for (int32_t i = 0; i < count; ++i) n += registered(slots[i]);
    return n;
}

}  // namespace

class FieldResources : public WorldFixture {
protected:
    void TearDown() override {
        for (int32_t group = 0; group < TEXTURE_GROUP_FULL_RELEASE; ++group) releaseTextureGroup(group);
        clearTextureRegistry();
        WorldFixture::TearDown();
    }
    // A texture of the device in a registered slot, as a load that found
    // its picture leaves it.
    void fake(TextureSlot& slot, int32_t group) {
        slot.texture = gGfxDevice->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        slot.group = group;
        setDDTexture(&slot);
    }
};

TEST_F(FieldResources, ShopStageFollowsTheShopSize) {
    for (int32_t i = 0; i < 4; ++i) gStages[i] = StageRecord{};
    gStages[5] = StageRecord{};
    gStages[5].maptype = 1;
    runningGameState().shopSize = 2;
    gStageIndex = 0;
    loadFieldResources();
    EXPECT_EQ(gStageIndex, 2);
    EXPECT_EQ(gCurrentStage, &gStages[2]);
    // A dungeon stage is left as asked.
    gStageIndex = 5;
    loadFieldResources();
    EXPECT_EQ(gStageIndex, 5);
    EXPECT_EQ(gCurrentStage, &gStages[5]);
    gStages[5] = StageRecord{};
}

TEST_F(FieldResources, FloorBannerIsTheBossNameOnBossFloorsElseTheTitle) {
    struct Case { int32_t dungeon, floor; const char* path; int32_t width, height; };
    const Case CASES[] = {
        {2, 29, "bmp/title/bossname_zazuru.tga", 512, 128},
        {2, 28, "bmp/title/dungeon_title3.tga", 1024, 256},
        {0, 4, "bmp/title/dungeon_title1.tga", 1024, 256},
        {1, 4, "bmp/title/bossname_kingslim.tga", 512, 128},
        {4, 99, "bmp/title/bossname_zoze2.tga", 512, 128},
        {5, 30, "bmp/title/bossname_kingslim.tga", 512, 128},
        {5, 29, "bmp/title/dungeon_title6.tga", 1024, 256},
    };
    for (const Case& c : CASES) {
        FloorBanner banner;
        ASSERT_TRUE(floorBanner(c.dungeon, c.floor, &banner)) << c.dungeon << " " << c.floor;
        EXPECT_STREQ(banner.path, c.path) << c.dungeon << " " << c.floor;
        EXPECT_EQ(banner.width, c.width);
        EXPECT_EQ(banner.height, c.height);
    }
    FloorBanner none;
    EXPECT_FALSE(floorBanner(6, 0, &none));
    EXPECT_FALSE(floorBanner(-1, 0, &none));
}

TEST_F(FieldResources, WallPartLoadsTheAlternativesAndTheReleaseKeepsTheChoice) {
    runningGameState().shopWall = 3;
    loadShopWalls(1);
    EXPECT_EQ(registeredCount(gShopWallTextures, SHOP_WALL_COUNT), 14);
    EXPECT_FALSE(registered(gShopWallTextures[3]));
    for (int32_t i = 0; i < SHOP_WALL_COUNT; ++i) {
        EXPECT_EQ(gShopWallTextures[i].width, i == 3 ? 0 : 256) << i;
        if (i != 3) {
            EXPECT_EQ(gShopWallTextures[i].group, TEXTURE_GROUP_FIELD) << i;
        }
    }
    // With every picture present, the release leaves only the chosen one.
    releaseTextureGroup(TEXTURE_GROUP_FIELD);
    for (TextureSlot& slot : gShopWallTextures) fake(slot, TEXTURE_GROUP_FIELD);
    releaseOtherShopWalls();
    for (int32_t i = 0; i < SHOP_WALL_COUNT; ++i) EXPECT_EQ(gShopWallTextures[i].texture != nullptr, i == 3) << i;
}

TEST_F(FieldResources, EnemyKindsShareSheetsAndKindsBeyondTheIconNamesGetNone) {
    gEnemyKinds[10] = spriteKind("a", 4);
    gEnemyKinds[11] = spriteKind("b", 4);   // the same sheet
    gEnemyKinds[90] = spriteKind("c", 9);
    gMotions[4].sheetWidth = 256;
    gMotions[4].sheetHeight = 128;
    int32_t flags[ENEMY_KIND_CAPACITY] = {};
    flags[10] = flags[11] = flags[90] = 1;
    gRun.dungeonIndex = 2;
    gFloorIndex = 29;
    loadEnemyKindResources(flags);
    EXPECT_TRUE(registered(gCharacterTextures[4]));
    EXPECT_EQ(gCharacterTextures[4].width, 256);
    EXPECT_EQ(gCharacterTextures[4].height, 128);
    EXPECT_EQ(gCharacterTextures[4].group, TEXTURE_GROUP_ENEMIES);
    EXPECT_TRUE(registered(gCharacterTextures[9]));
    EXPECT_TRUE(registered(gEnemyIconTextures[10]));
    EXPECT_TRUE(registered(gEnemyIconTextures[11]));
    EXPECT_FALSE(registered(gEnemyIconTextures[90]));   // beyond the 83 names
    EXPECT_EQ(gFloorBannerTexture.width, 512);           // the boss banner
    int32_t sheets = 0;
    for (TextureSlot* entry : gTextureRegistry) sheets += entry == &gCharacterTextures[4];
    EXPECT_EQ(sheets, 1);
    releaseEnemyModels();
    EXPECT_FALSE(registered(gCharacterTextures[4]));
    EXPECT_FALSE(registered(gEnemyIconTextures[10]));
    memset(gMotions, 0, sizeof gMotions);
    resetEnemyKinds();
}

TEST_F(FieldResources, DungeonStageLoadsTheLeadersSheetAndTheWaterFrames) {
    gStages[5] = StageRecord{};
    gStages[5].maptype = 1;
    strcpy(gStages[5].waterfile, "bmp/water/w");
    gStages[5].wateranimnum = 4;
    gStages[5].watersize = 128;
    gStageIndex = 5;
    gChosenAdventurer = 1;
    loadFieldResources();
    EXPECT_TRUE(registered(gCharacterTextures[27]));
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(registered(gFieldTextures[i])) << i;
        EXPECT_EQ(gFieldTextures[i].width, 128);
    }
    EXPECT_FALSE(registered(gFieldTextures[4]));
    EXPECT_TRUE(registered(gMapTexture));
    EXPECT_TRUE(registered(gDungeonClearTexture));
    EXPECT_FALSE(registered(gMoodTexture));   // the shop's only
    releaseFieldResources();
    EXPECT_FALSE(registered(gCharacterTextures[27]));
    EXPECT_FALSE(registered(gFieldTextures[0]));
    gStages[5] = StageRecord{};
}

TEST_F(FieldResources, LeaderSheetByAdventurer) {
    const int32_t WANT[] = {3, 27, 28, 30, 40, 31, 41, 42};
    for (int32_t a = 0; a < 8; ++a) EXPECT_EQ(leaderSpriteSheet(a), WANT[a]) << a;
    EXPECT_EQ(leaderSpriteSheet(8), 42);
    EXPECT_EQ(leaderSpriteSheet(-1), 42);
}

TEST_F(FieldResources, EnemyModelFilesByNumber) {
    EXPECT_STREQ(enemyModelFile(0), "xfile2/g_lat/g_lat_06.x");
    EXPECT_STREQ(enemyModelFile(10), "xfile2/kani/kani01.x");
    EXPECT_STREQ(enemyModelFile(18), "xfile2/crystal_gorem/cyg_l.X");
    EXPECT_EQ(enemyModelFile(19), nullptr);
    EXPECT_EQ(enemyModelFile(-1), nullptr);
    EXPECT_STREQ(enemyCrystalFile(3), "xfile2/golem_g/golem_crystal01.x");
    EXPECT_STREQ(enemyCrystalFile(6), "xfile2/d_golem_g/golem_crystal01.x");
    EXPECT_EQ(enemyCrystalFile(4), nullptr);
}
