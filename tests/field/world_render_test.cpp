// The world drawing's pass order and states on the recording device: the
// stage fog per pass, the fog colour, the draw code's colour operation,
// mesh drawing grouped by texture through the state cache, the stage
// lighting of the later passes, and the key sort.
#include "tests/field/world_fixture.h"

#include "field/map_passes.h"

namespace {

struct FogCase {
    int32_t useFog;
    float start;
    int32_t wantOn;   // fog turned on for the map, after the background, for the later floor objects and the alpha layer, or never
};
const FogCase FOG_CASES[] = {
    {0, 0.0f, 0},    // a start of 0.0 is no fog
    {0, 10.0f, 4},   // never in between or in the layers
    {1, 10.0f, 0},   // the setting wins over the stage
};

TEST_F(WorldFixture, WorldRenderStageFogInItsThreePasses) {
    for (const FogCase& c : FOG_CASES) {
        gUseFog = c.useFog;
        stage.fog[0] = c.start;
        stage.fog[1] = 200.0f;
        gfxRecordClear();
        drawWorldScene(gGfxDevice);
        EXPECT_EQ(count(renderState(GFX_RS_FOGENABLE, 1)), c.wantOn) << "usefog " << c.useFog << " start " << c.start;
        // Step 2 and the layers switch fog off whatever the stage says;
        // with fog on, the opaque map is fogged and the layers are not.
        std::vector<std::string> log = lines();
        int32_t lastFog = -1;
        for (size_t i = 0; i < log.size(); ++i)
            if (log[i].rfind(renderState(GFX_RS_FOGENABLE, 0), 0) == 0 || log[i].rfind(renderState(GFX_RS_FOGENABLE, 1), 0) == 0)
                lastFog = (int32_t)i;
        ASSERT_GE(lastFog, 0);
        EXPECT_EQ(log[(size_t)lastFog], renderState(GFX_RS_FOGENABLE, 0)) << "the map layers draw unfogged";
    }
}

TEST_F(WorldFixture, WorldRenderFogColourTakesEachChannelModulo256) {
    stage.fog[0] = 10.0f;
    stage.fog[1] = 90.0f;
    stage.fogcolor[0] = 300, stage.fogcolor[1] = 20, stage.fogcolor[2] = 40;
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(count(renderState(GFX_RS_FOGCOLOR, 0xFF2C1428u)), 4);
    EXPECT_EQ(count(renderState(GFX_RS_FOGVERTEXMODE, GFX_FOG_LINEAR)), 4);
    float start = 10.0f;
    uint32_t startBits = 0;
    memcpy(&startBits, &start, sizeof startBits);
    EXPECT_EQ(count(renderState(GFX_RS_FOGSTART, startBits)), 4);
}

struct ColorOpCase {
    int32_t mode;
    int32_t want;   // -1: no change sent
};
const ColorOpCase COLOR_OP_CASES[] = {
    {0, GFX_TOP_SELECTARG1}, {1, GFX_TOP_MODULATE}, {2, GFX_TOP_MODULATE2X}, {3, GFX_TOP_ADD},
    {4, GFX_TOP_ADDSIGNED},  {5, GFX_TOP_SUBTRACT}, {6, GFX_TOP_ADDSMOOTH},  {7, GFX_TOP_SELECTARG1},
    {9, GFX_TOP_MODULATE2X}, {-1, -1},              {-7, GFX_TOP_SELECTARG1}, {-9, -1},
};

TEST_F(WorldFixture, WorldRenderDrawCodeSelectsTheColourOperation) {
    for (const ColorOpCase& c : COLOR_OP_CASES) {
        gfxRecordClear();
        setColorOpByMode(c.mode);
        if (c.want < 0) {
            EXPECT_EQ(gGfxRecord.count, 0) << "mode " << c.mode;
        } else {
            ASSERT_EQ(gGfxRecord.count, 1) << "mode " << c.mode;
            EXPECT_EQ(lines()[0], stageState(GFX_TSS_COLOROP, (uint32_t)c.want)) << "mode " << c.mode;
        }
    }
    // In the scene: "drawcode:" -1 leaves step 2's MODULATE in place for the map.
    stage.drawcode = -1;
    stage.waterdrawcode = stage.hikaridrawcode = 2;
    gfxRecordClear();
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(count(stageState(GFX_TSS_COLOROP, GFX_TOP_MODULATE2X)), 2) << "the water and light layers";
    // The frame's start, the background's, the layers' start, and the passes
    // that set their own: the floor objects (passes 0 to 2), the shadows'
    // end, the model pass, the 3D effect pass (three times, and ADD for its
    // icons) and the world effect pass.
    EXPECT_EQ(count(stageState(GFX_TSS_COLOROP, GFX_TOP_MODULATE)), 12);
    EXPECT_EQ(count("setTextureStageState 0 0 "), 21);
}

TEST_F(WorldFixture, WorldRenderMeshDrawsGroupedByTextureThroughTheCache) {
    int32_t plain = addTexture("plain.bmp");
    int32_t twoSided = addTexture("w_leaf.bmp");
    int32_t clamped = addTexture("u2_v3_n_edge.bmp");
    makeMesh(&scratch, {clamped, plain, twoSided, plain});
    gfxRecordClear();
    drawMeshObject(&scratch);
    std::vector<std::string> want = {
        // resetMeshStateCache
        renderState(GFX_RS_CULLMODE, GFX_CULL_CCW), stageState(GFX_TSS_MIPFILTER, GFX_FILTER_LINEAR),
        stageState(GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP), stageState(GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP),
        // texture 0: nothing differs from the cache; subsets 1 and 3
        "setTexture 0 tex0", "setMaterial 0.100", "drawIndexedPrimitive 0 0 3 1", "setMaterial 0.300",
        "drawIndexedPrimitive 0 0 9 1",
        // texture 1: two-sided
        renderState(GFX_RS_CULLMODE, GFX_CULL_NONE), "setTexture 0 tex1", "setMaterial 0.200",
        "drawIndexedPrimitive 0 0 6 1",
        // texture 2: culled again, no mips, clamp and border
        renderState(GFX_RS_CULLMODE, GFX_CULL_CCW), stageState(GFX_TSS_MIPFILTER, GFX_FILTER_NONE),
        stageState(GFX_TSS_ADDRESSU, GFX_ADDRESS_CLAMP), stageState(GFX_TSS_ADDRESSV, GFX_ADDRESS_BORDER),
        "setTexture 0 tex2", "setMaterial 0.000", "drawIndexedPrimitive 0 0 0 1",
        // the end: wrap
        stageState(GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP), stageState(GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP),
    };
    std::vector<std::string> got;
    for (const std::string& line : lines())
        if (line.rfind("setVertexFormat", 0) != 0 && line.rfind("setStreamSource", 0) != 0 &&
            line.rfind("setIndices", 0) != 0)
            got.push_back(line.substr(0, line.rfind("setMaterial", 0) == 0 ? 17 : line.size()));
    EXPECT_EQ(got, want);
}

TEST_F(WorldFixture, WorldRenderNoMipSettingReachesEveryTexture) {
    addTexture("plain.bmp");
    gUseMipmap = 1;
    resetMeshStateCache();
    gfxRecordClear();
    applyTextureStates(0);
    EXPECT_EQ(lines(), std::vector<std::string>{stageState(GFX_TSS_MIPFILTER, GFX_FILTER_NONE)});
    // A dungeon cell of that texture under the eye: at each draw of the
    // scene the mip filter in force is none.
    stage.maptype = 1;
    makeMesh(&gStageMeshes[0], {0});
    gFloorGrid.roomsX = gFloorGrid.roomsY = 1;
    gFloorGrid.mapGrid[0][0].blockId = 0;
    gfxRecordClear();
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(count("setTextureStageState 0 " + std::to_string((int)GFX_TSS_MIPMAPLODBIAS)), 0);
    std::string mip;
    int32_t draws = 0;
    for (const std::string& line : lines()) {
        if (line.rfind("setTextureStageState 0 " + std::to_string((int)GFX_TSS_MIPFILTER) + " ", 0) == 0) mip = line;
        if (line.rfind("drawIndexedPrimitive", 0) == 0) {
            ++draws;
            EXPECT_EQ(mip, stageState(GFX_TSS_MIPFILTER, GFX_FILTER_NONE));
        }
    }
    EXPECT_EQ(draws, 1);
}

TEST_F(WorldFixture, WorldRenderStageLightForTheLaterPasses) {
    stage.maplight = 0;
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(count("setLight"), 0);
    // Only the model pass lights its own props, whatever the stage.
    EXPECT_EQ(count("lightEnable 0 1"), 2);
    EXPECT_EQ(count(renderState(GFX_RS_LIGHTING, 1)), 2);

    stage.maplight = 2;
    stage.lightdir[0] = 0.5f, stage.lightdir[1] = -1.0f, stage.lightdir[2] = 0.25f;
    gfxRecordClear();
    drawWorldScene(gGfxDevice);
    // The stage light, again after the unlit background, the party's
    // character light (the same without an offset), and again for the
    // models' successors.
    EXPECT_EQ(count("setLight 0 3 0.500 -1.000 0.250"), 4);
    // Besides: the four floor-object passes and the model pass's props.
    EXPECT_EQ(count("lightEnable 0 1"), 10);
    EXPECT_EQ(count(renderState(GFX_RS_LIGHTING, 1)), 10);
}

// The background draws after the opaque map with the depth test on, writing
// no depth, and the map's depth writes come back after it.
TEST_F(WorldFixture, WorldRenderBackgroundBehindTheOpaqueMap) {
    int32_t wall = addTexture("wall.bmp");
    int32_t sky = addTexture("sky.bmp");
    makeMesh(&gStageMeshes[0], {wall});
    makeMesh(&gStageMeshes[STAGE_BACKGROUND_SLOT], {sky});
    stage.maptype = 1;
    gFloorGrid.roomsX = gFloorGrid.roomsY = 1;
    gFloorGrid.mapGrid[0][0].blockId = 0;
    stage.hasMapbg = 1;
    drawWorldScene(gGfxDevice);
    std::vector<std::string> log = lines();
    auto after = [&](const std::string& prefix, int32_t from) {
        for (size_t i = (size_t)from + 1; i < log.size(); ++i)
            if (log[i].rfind(prefix, 0) == 0) return (int32_t)i;
        return -1;
    };
    int32_t mapDraw = after("drawIndexedPrimitive", -1);
    int32_t depthTest = after(renderState(GFX_RS_ZFUNC, GFX_CMP_LESSEQUAL), mapDraw);
    int32_t skyDraw = after("drawIndexedPrimitive", mapDraw);
    ASSERT_GE(mapDraw, 0);
    ASSERT_GE(depthTest, 0);
    EXPECT_LT(depthTest, skyDraw);
    EXPECT_LT(after(renderState(GFX_RS_ZWRITEENABLE, 0), mapDraw), skyDraw) << "the background writes no depth";
    EXPECT_GT(after(renderState(GFX_RS_ZWRITEENABLE, 1), skyDraw), skyDraw);
    EXPECT_EQ(count("drawIndexedPrimitive"), 2);
    stage.hasMapbg = 0;
    gfxRecordClear();
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(count("drawIndexedPrimitive"), 1);
}

TEST(WorldRenderSort, KeysAscendingValuesAlongEqualKeysInOrder) {
    int32_t keys[] = {3, 1, 3, 2};
    int32_t values[] = {'a', 'b', 'c', 'd'};
    sortKeysWithValues(keys, values, 4);
    EXPECT_EQ(std::vector<int32_t>(keys, keys + 4), (std::vector<int32_t>{1, 2, 3, 3}));
    EXPECT_EQ(std::vector<int32_t>(values, values + 4), (std::vector<int32_t>{'b', 'd', 'a', 'c'}));
    int32_t signedKeys[] = {5, -2, 0, -7, 5};
    int32_t order[] = {0, 1, 2, 3, 4};
    sortKeysWithValues(signedKeys, order, 5);
    EXPECT_EQ(std::vector<int32_t>(order, order + 5), (std::vector<int32_t>{3, 1, 2, 0, 4}));
    int32_t one[] = {9};
    int32_t oneValue[] = {1};
    sortKeysWithValues(one, oneValue, 1);
    sortKeysWithValues(one, oneValue, 0);
    EXPECT_EQ(one[0], 9);
}

}  // namespace
