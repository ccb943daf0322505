// The map passes: which pass draws a texture, the water frames, the cell
// culling by distance, the breakable objects' flash, the shop's chosen
// pictures and vending machines, the selected shelf's pulse, and the
// decoration choices of a damaged save.
#include "tests/field/world_fixture.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "field/map_passes.h"

namespace {

struct PassCase {
    const char* name;
    int32_t dungeon, shop, shopNoLightTextures;
};
const PassCase PASS_CASES[] = {
    {"water_a.bmp", 2, 2, 2},       {"kabe_x.bmp", 0, 0, 0},       {"yuka_x.bmp", 0, 0, 0},
    {"shop_jutan9.bmp", 0, 0, 0},   {"kabe_x.tga", 1, 0, 0},       {"rock.tga", 1, 1, 1},
    {"hikari_a.bmp", 3, 3, -1},     {"hikari_a.tga", 1, 1, 1},     {"water_b.tga", 2, 2, 2},
    {"plain.bmp", 0, 0, 0},
};

TEST(MapPassClasses, FirstFlagInOrderDecides) {
    for (const PassCase& c : PASS_CASES) {
        MeshTextureEntry e = meshTextureFlags(c.name);
        e.alpha = strstr(c.name, ".t") != nullptr;
        EXPECT_EQ(mapPassOfTexture(e, false, false), c.dungeon) << c.name;
        EXPECT_EQ(mapPassOfTexture(e, true, false), c.shop) << c.name;
        EXPECT_EQ(mapPassOfTexture(e, true, true), c.shopNoLightTextures) << c.name;
    }
}

TEST(MapPassWater, FramesAdvanceEverySpeedAndRepeat) {
    // Speed 4, 8 frames: a new frame every 4 drawn frames, a period of 32.
    for (int32_t n = 0; n < 64; ++n) {
        EXPECT_EQ(waterFrame(n, 4, 8), (n / 4) % 8) << n;
        EXPECT_EQ(waterFrame(n, 4, 8), waterFrame(n + 32, 4, 8)) << n;
    }
    EXPECT_EQ(waterFrame(31, 4, 8), 7);
    EXPECT_EQ(waterFrame(32, 4, 8), 0);
    // A speed or count below 1 counts as 1 instead of dividing by zero.
    EXPECT_EQ(waterFrame(5, 0, 3), 2);
    EXPECT_EQ(waterFrame(5, -2, 3), 2);
    EXPECT_EQ(waterFrame(5, 1, 0), 0);
}

TEST(MapPassShelf, PulseSwingsBetween127And159) {
    int32_t low = 1000, high = -1000, lowAt = 0, highAt = 0;
    for (int32_t tick = 0; tick < 63; ++tick) {
        int32_t g = shelfPulseGrey(tick);
        if (g < low) low = g, lowAt = tick;
        if (g > high) high = g, highAt = tick;
    }
    // Truncated toward zero: 159 only where the sine is exactly 1.
    EXPECT_EQ(low, 127);
    EXPECT_EQ(high, 158);
    for (int32_t tick = 0; tick < 100000; tick += 7) {
        EXPECT_GE(shelfPulseGrey(tick), 127) << tick;
        EXPECT_LE(shelfPulseGrey(tick), 159) << tick;
    }
    EXPECT_EQ(shelfPulseGrey(0), 143);
    EXPECT_NEAR(lowAt - highAt, 16, 1) << "half of a period of about 31 ticks";
}

TEST(MapPassVending, ModelsAndTurnArounds) {
    EXPECT_EQ(vendingModel(4, 5201 * 64), 6);
    EXPECT_EQ(vendingModel(3, 5201 * 64 + 5), 5) << "the key's low bits are the item's state";
    EXPECT_EQ(vendingModel(4, 5210 * 64), -1) << "no such model in the stage";
    EXPECT_EQ(vendingModel(3, 100 * 64), -1);
    const int32_t turned = 5203 * 64;
    EXPECT_EQ(vendingTurnArounds(4, turned, 0.0f, 9.0f), 1);
    EXPECT_EQ(vendingTurnArounds(4, turned, 1.5707964f, 1.0f), 1);
    EXPECT_EQ(vendingTurnArounds(4, turned, 1.5707964f, 9.0f), 2);
    EXPECT_EQ(vendingTurnArounds(4, turned, 3.0f, 9.0f), 1);
    EXPECT_EQ(vendingTurnArounds(4, turned, 3.0f, 1.0f), 0);
    EXPECT_EQ(vendingTurnArounds(3, turned, 0.0f, 9.0f), 0);
    EXPECT_EQ(vendingTurnArounds(4, 5201 * 64, 0.0f, 9.0f), 0);
}

TEST(MapPassShopChoices, OutOfRangeChoicesCountAsTheFirst) {
    EXPECT_EQ(shopDecorationChoice(3, 15), 3);
    EXPECT_EQ(shopDecorationChoice(15, 15), 0);
    EXPECT_EQ(shopDecorationChoice(-1, 8), 0);
    EXPECT_EQ(shopDecorationChoice(1 << 30, 8), 0);
}

class MapPassDungeon : public WorldFixture {
protected:
    void SetUp() override {
        WorldFixture::SetUp();
        stage.maptype = 1;
        stage.drawcode = 1;
        rock = addTexture("rock.bmp");
        makeMesh(&gStageMeshes[0], {rock});
        gFloorGrid.roomsX = gFloorGrid.roomsY = 3;
        for (int32_t r = 0; r < 3; ++r)
            for (int32_t c = 0; c < 3; ++c) gFloorGrid.mapGrid[r][c].blockId = -1;
        gFloorGrid.mapGrid[0][1].blockId = 0;   // d = 40 from an eye at the origin
        gFloorGrid.mapGrid[0][2].blockId = 0;   // d = 80
        gFloorGrid.mapGrid[2][0].blockId = 0;   // 80 ahead along z: d = 40
        gCamera.eye = Vector3{0.0f, 30.0f, 0.0f};
    }
    int32_t rock = 0;
};

TEST_F(MapPassDungeon, CellsFartherThanTheCameraModeReachAreSkipped) {
    EXPECT_FLOAT_EQ(mapCellDistance(0, 0, 0, 1), 40.0f);
    EXPECT_FLOAT_EQ(mapCellDistance(0, 0, 0, 2), 80.0f);
    EXPECT_FLOAT_EQ(mapCellDistance(0, 0, 2, 0), 40.0f);
    EXPECT_FLOAT_EQ(mapCellDistance(0, 0, 5, 0), 100.0f);
    struct Case {
        int32_t cameraMode, singleBlock, want;
    };
    const Case cases[] = {{0, 0, 2}, {2, 0, 3}, {0, 1, 0}};
    for (const Case& c : cases) {
        gFieldCamera.cameraMode = c.cameraMode;
        gFloorGrid.singleBlockFloor = c.singleBlock;
        gfxRecordClear();
        drawMapGeometry(0);
        EXPECT_EQ(count("drawIndexedPrimitive"), c.want) << "camera mode " << c.cameraMode;
    }
    // A single-room floor: only cell (1, 1), however far, and with no block
    // it shows model 11.
    makeMesh(&gStageMeshes[MAP_EMPTY_CELL_MODEL], {rock});
    gCamera.eye = Vector3{5000.0f, 0.0f, 5000.0f};
    gfxRecordClear();
    drawMapGeometry(0);
    EXPECT_EQ(count("drawIndexedPrimitive"), 1);
}

TEST_F(MapPassDungeon, AHitObjectFlashesForTwoDrawnFrames) {
    for (int32_t r = 0; r < 3; ++r)
        for (int32_t c = 0; c < 3; ++c) gFloorGrid.mapGrid[r][c].blockId = -1;
    gFloorGrid.roomsX = gFloorGrid.roomsY = 0;
    BreakableObjects& o = gBreakableObjects;
    o.count = 1;
    o.alive[0] = 1;
    o.blockId[0] = 0;
    o.scale[0] = 1.0f;
    o.flashTimer[0] = 8;
    const std::string add = stageState(GFX_TSS_COLOROP, GFX_TOP_ADD);
    int32_t flashes[3];
    for (int32_t frame = 0; frame < 3; ++frame) {
        gfxRecordClear();
        for (int32_t pass = 0; pass < 4; ++pass) drawMapGeometry(pass);
        flashes[frame] = count(add);
    }
    EXPECT_EQ(flashes[0], 1);
    EXPECT_EQ(flashes[1], 1);
    EXPECT_EQ(flashes[2], 0);
    EXPECT_EQ(o.flashTimer[0], 0);
}

TEST_F(WorldFixture, MapPassShopFollowsTheChoicesOfTheGame) {
    stage.maptype = 0;
    int32_t wall = addTexture("kabe_x.bmp");   // tex0
    int32_t wood = addTexture("wood.bmp");     // tex1
    int32_t metal = addTexture("metal.bmp");   // tex2
    makeMesh(&gStageMeshes[0], {wall});
    makeMesh(&gStageMeshes[6], {metal});       // the vending machine of item 5201 on a type 4 piece
    makeMesh(&gShopTableModels[2][1], {wood, wood});   // table choice 2, type 4
    // Textures the decoration loads.
    for (int32_t i = 0; i < 3; ++i)
        gShopWallTextures[i].texture =
            gGfxDevice->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);   // tex3..5
    GameState& game = runningGameState();
    game.shopWall = 2;
    game.shopTable = 2;
    gPlacedBlocks.countA = 1;
    gPlacedBlocks.countB = 2;
    gPlacedBlocks.blockId[0] = 0;
    drawMapGeometry(0);
    EXPECT_EQ(count("setTexture 0 tex5"), 1) << "the chosen wall picture";
    EXPECT_EQ(count("setTexture 0 tex0"), 0);
    EXPECT_EQ(count("drawIndexedPrimitive 0 0 3 1"), 1) << "piece 1 is type 4: the second table model";
    EXPECT_EQ(count("drawIndexedPrimitive"), 3);
    EXPECT_EQ(gPlacedBlocks.blockId[PLACED_GROUP_B_FIRST + 1], 4);

    game.shopWall = 0;
    game.vendingModes[1] = 5201 * 64;
    gfxRecordClear();
    drawMapGeometry(0);
    EXPECT_EQ(count("setTexture 0 tex3"), 1) << "the choice is read every frame";
    EXPECT_EQ(count("drawIndexedPrimitive 0 0 3 1"), 0) << "the vending machine instead of piece 1's table";
    EXPECT_EQ(count("drawIndexedPrimitive"), 2);

    game.shopWall = 99;   // a damaged save
    game.vendingModes[1] = 9999 * 64;
    gfxRecordClear();
    drawMapGeometry(0);
    EXPECT_EQ(count("setTexture 0 tex3"), 1) << "an unknown wall draws as the first";
    EXPECT_EQ(count("drawIndexedPrimitive"), 1) << "an unknown vending item draws nothing";

    // Editing shelves: the selected one pulses by the texture factor.
    game.vendingModes[1] = 0;
    gShopFloor.shopFloorState = SHOP_FLOOR_EDITING;
    gShopFloor.selectedShelf = 1;
    gTickCounter = 0;
    gfxRecordClear();
    drawMapGeometry(0);
    EXPECT_EQ(count(renderState(GFX_RS_TEXTUREFACTOR, 0xFF8F8F8Fu)), 2) << "each subset of the shelf";
    EXPECT_EQ(count(stageState(GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED)), 2);
    EXPECT_EQ(count(stageState(GFX_TSS_COLORARG1, GFX_TA_TFACTOR)), 2);
    EXPECT_EQ(count(stageState(GFX_TSS_COLORARG1, GFX_TA_DIFFUSE)), 2);
}

TEST_F(WorldFixture, MapPassLayersBlendWaterAndLight) {
    stage.maptype = 1;
    stage.wateradd = 0;
    stage.wateralpha = 127;
    stage.hikariadd = 1;
    stage.hikarialpha = 200;
    stage.wateranimnum = 4;
    stage.wateranimspeed = 2;
    int32_t water = addTexture("water_x.bmp");
    int32_t glow = addTexture("hikari_x.bmp");
    makeMesh(&gStageMeshes[0], {water, glow});
    gFloorGrid.roomsX = gFloorGrid.roomsY = 1;
    gFloorGrid.mapGrid[0][0].blockId = 0;
    for (int32_t i = 0; i < 4; ++i)
        gFieldTextures[i].texture =
            gGfxDevice->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);   // tex2..5
    gWorldDraw.mapFrameCounter = 5;   // frame 5 / 2 mod 4 = 2
    drawMapLayers();
    EXPECT_EQ(count(renderState(GFX_RS_TEXTUREFACTOR, 0x7FFFFFFFu)), 1);
    EXPECT_EQ(count(renderState(GFX_RS_TEXTUREFACTOR, 0xC8FFFFFFu)), 1);
    EXPECT_EQ(count("setTexture 0 tex4"), 2) << "the water frame for water and light alike";
    EXPECT_EQ(count("drawIndexedPrimitive"), 2);
    EXPECT_EQ(lines().back(), stageState(GFX_TSS_ALPHAARG2, GFX_TA_CURRENT));

    // "uselighttex" 1 leaves the light layer out.
    gUseLightTex = 1;
    gfxRecordClear();
    drawMapLayers();
    EXPECT_EQ(count("drawIndexedPrimitive"), 1);
}

}  // namespace
