// The sample's models as the game finds them: booted on the packed sample
// data, every "map:" model of both stages loads as a mesh with its textures
// from the archive and as a collision block, and the cave's blocks carry
// the surfaces their materials name; the chest, the door and the crab load
// as skinned models with their textures.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/meshes.h"
#include "engine/skin_models.h"
#include "engine/stage_index.h"
#include "field/collision_mesh.h"
#include "field/field_models.h"
#include "field/map_collision.h"
#include "field/resources.h"
#include "field/stage_light.h"
#include "platform/window.h"
#include "tests/harness/harness.h"

class MeshSampleModels : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    }
    void TearDown() override {
        for (MeshRecord& record : meshes) releaseMesh(&record);
        for (int32_t i = 0; i < gMeshTextures.count; ++i)
            if (gMeshTextures.entries[i].texture) gGfxDevice->releaseTexture(gMeshTextures.entries[i].texture);
        clearMeshTextures();
        resetMapCollision();
        gCurrentStage = nullptr;
        harnessShutdown();
    }
    MeshRecord meshes[STAGE_MAP_MAX];
};

TEST_F(MeshSampleModels, EveryStageModelLoadsWithItsTexturesAndItsCollision) {
    ASSERT_EQ(gStageCount, 20);   // the shop of each size, then a dungeon stage under every key
    for (int32_t s = 0; s < gStageCount; ++s) {
        StageRecord& stage = gStages[s];
        SCOPED_TRACE(stage.stageCode);
        gCurrentStage = &stage;
        clearMapBlocks();
        int32_t boxesBefore = gHeadlessMessageBoxes.total;
        ASSERT_GE(stage.mapCount, 1);
        for (int32_t i = 0; i < stage.mapCount; ++i) {
            releaseMesh(&meshes[i]);
            EXPECT_EQ(loadMesh(&meshes[i], stage.map[i], i), 1) << stage.map[i];
            EXPECT_EQ(loadCollisionMesh(stage.map[i], i), 1) << stage.map[i];
            EXPECT_GT(gMapBlocks[i].triangleCount, 0) << stage.map[i];
        }
        MeshRecord background;
        EXPECT_EQ(loadMesh(&background, stage.mapbg, -1), 1) << stage.mapbg;
        releaseMesh(&background);
        EXPECT_EQ(gHeadlessMessageBoxes.total, boxesBefore) << "no model or texture is missing";
    }
    for (int32_t i = 0; i < gMeshTextures.count; ++i)
        EXPECT_NE(gMeshTextures.entries[i].texture, nullptr) << gMeshTextures.entries[i].name;

    // The cave (bound last): the surfaces its blocks show between them.
    std::set<int32_t> codes;
    for (int32_t b = 0; b < gCurrentStage->mapCount; ++b)
        for (int32_t t = 0; t < gMapBlocks[b].triangleCount; ++t) codes.insert(gMapBlocks[b].triangles[t].surface);
    for (int32_t want : {SURFACE_SOLID, SURFACE_CLIFF, SURFACE_DAMAGE, SURFACE_WATER, SURFACE_SNOW,
                         SURFACE_INVISIBLE_WALL, SURFACE_TREE1, SURFACE_TREE2, SURFACE_GRASS1, SURFACE_GRASS2,
                         SURFACE_BARREL, SURFACE_TREASURE, SURFACE_CANDLESTAND, SURFACE_CRYSTAL, SURFACE_TORCH})
        EXPECT_EQ(codes.count(want), 1u) << "code " << want;
    EXPECT_EQ(codes.count(SURFACE_NONE), 0u);

    // Standing in the open room of block 0, one cell in.
    resetFloorMap();
    gFloorGrid.mapGrid[1][1] = MapCell{0, 0, 0, 0};
    CollisionHit hit = {};
    ASSERT_EQ(findGroundUnder(-40.0f, 3.0f, -40.0f, &hit), 1);
    EXPECT_FLOAT_EQ(hit.floorHeight, 0.0f);
    resetFloorMap();
}

class SkinModelSample : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    }
    void TearDown() override {
        releaseSkinModel(&gFieldModels[2]);
        releaseSkinModel(&gFieldModels[3]);
        releaseSkinModel(&gEnemyModels[10]);
        harnessShutdown();
    }
};

TEST_F(SkinModelSample, TheChestTheDoorAndTheCrabLoadWithTheirTextures) {
    const struct {
        SkinModel* model;
        const char* path;
        int32_t white, shaderSet;
        const char* bone;
    } MODELS[] = {
        {&gFieldModels[2], "xfile/tree/takarabako.x", 0, 1, "futa"},
        {&gFieldModels[3], "xfile/tree/obj_door.x", 0, 1, "tobira"},
        {&gEnemyModels[10], "xfile2/kani/kani01.x", 0, 0, "eye"},
    };
    int32_t boxesBefore = gHeadlessMessageBoxes.total;
    for (const auto& m : MODELS) {
        ASSERT_EQ(m.model->device, gGfxDevice) << "attached at start-up";
        ASSERT_EQ(loadSkinModel(m.model, m.path, m.white, m.shaderSet), SKIN_LOAD_OK) << m.path;
        const SkinModelData& data = *m.model->data;
        EXPECT_GE(findModelFrame(data, m.bone), 0) << m.path;
        EXPECT_GE(data.firstAnimation, 0) << m.path;
        ASSERT_FALSE(data.containers.empty()) << m.path;
        EXPECT_NE(data.containers[0].textures[0], nullptr) << m.path;
        EXPECT_EQ(data.containers[0].builtMethod, SKIN_METHOD_INDEXED) << m.path;
    }
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxesBefore) << "no model or texture is missing";
}

// The floor's loader loads the chest and the door lit; a placed chest
// stands closed however long it waits, and its lid moves once it opens.
TEST_F(SkinModelSample, AFloorsChestIsLitAndOpensWhenItIsOpened) {
    const char code[] = "1-1";
    gStageIndex = stageCodeIndex(code, code + 3);
    ASSERT_GE(gStageIndex, 0);
    loadFieldResources();
    SkinModel& chest = gFieldModels[2];
    ASSERT_NE(chest.data, nullptr);
    ASSERT_NE(gFieldModels[3].data, nullptr);
    EXPECT_EQ(chest.shaderSet, 1);
    EXPECT_EQ(gFieldModels[3].shaderSet, 1);
    int32_t lid = findModelFrame(*chest.data, "futa");
    ASSERT_GE(lid, 0);

    for (FloorObject& o : gFloorObjects) o.kind = -1;
    int32_t index = placeFloorObject(Vector3{0.0f, 0.0f, 0.0f}, Vector3{1.0f, 1.0f, 1.0f}, 0.0f, 4);
    auto lidAfter = [&](int32_t frames) {
        for (int32_t i = 0; i < frames; ++i) updateDungeonScenery();
        drawFloorObjects(0);
        return chest.data->frames[(size_t)lid].combined;
    };
    Matrix4 placed = lidAfter(0);
    Matrix4 waited = lidAfter(90);
    for (int32_t i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(waited.m[i], placed.m[i]) << "closed, element " << i;
    gFloorObjects[index].state = FLOOR_OBJECT_OPENED;
    Matrix4 opening = lidAfter(40);
    float moved = 0.0f;
    for (int32_t i = 0; i < 16; ++i) moved += fabsf(opening.m[i] - placed.m[i]);
    EXPECT_GT(moved, 1e-3f) << "the lid turns as the chest opens";
    releaseFieldResources();
}


using EnemySampleCrab = SkinModelSample;

// The sample crab moves through the motions of its kind's motion table: its
// eye, exported as part 0, rises and falls while motion 0 plays.
TEST_F(EnemySampleCrab, TheCrabMovesWhileItsIdleMotionPlays) {
    ASSERT_EQ(loadSkinModel(&gEnemyModels[10], "xfile2/kani/kani01.x", 0, 0), SKIN_LOAD_OK);
    resetEnemyPool();
    Enemy* crab = spawnEnemy(0.0f, 0.0f, 0.0f, 68);
    ASSERT_NE(crab, nullptr);
    ASSERT_EQ(gEnemyKinds[68].modelNumber, 10);
    crab->noGround = 1;
    float lowest = 1e9f, highest = -1e9f;
    for (int32_t frame = 0; frame < 60; ++frame) {
        updateEnemies();
        updateEnemyMotionFrames();
        drawSkinnedEnemy(*crab);
        ASSERT_TRUE(crab->attachWritten & 1) << "frame " << frame;
        lowest = std::fmin(lowest, crab->attachPos[0].y);
        highest = std::fmax(highest, crab->attachPos[0].y);
    }
    EXPECT_GT(highest - lowest, 0.05f);
    resetEnemyPool();
}
