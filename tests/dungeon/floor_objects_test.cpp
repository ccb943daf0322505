// The floor objects: a full pool, the fades of an opened chest and an open
// return gate with the random draws they make, a hit decoration settling
// back, and the door cut-scene that raises a switch out of the ground.
#include "dungeon/floor_objects.h"

#include <gtest/gtest.h>

#include <cmath>

#include "dungeon/field_frame.h"
#include "engine/random.h"
#include "field/field_state.h"

namespace {

class FloorObjects : public ::testing::Test {
protected:
    void SetUp() override {
        resetFloorObjects();
        resetFieldCamera();
        gSwitchCutTimer = 0;
        seedRandom(42);
    }
    void TearDown() override {
        resetFloorObjects();
        resetFieldCamera();
        gSwitchCutTimer = 0;
    }
    static int32_t place(int32_t kind, float x = -40.0f, float z = -40.0f) {
        return placeFloorObject(Vector3{x, 3.0f, z}, Vector3{0.5f, 0.5f, 0.5f}, 0.25f, kind);
    }
    // Draws the generator made during f (each draw is one step of the state).
    template <typename F>
    static int32_t drawsDuring(F f) {
        uint32_t before = gRandomState;
        f();
        int32_t draws = 0;
        for (uint32_t s = before; s != gRandomState && draws < 100; ++draws) s = s * 214013u + 2531011u;
        return draws;
    }
    // One frame of the field frame while the door cut-scene runs.
    static void cutFrame() {
        --gSwitchCutTimer;
        updateSwitchCut();
    }
};

}  // namespace

TEST_F(FloorObjects, PlacingFillsTheFirstFreeSlotFromTheKindTable) {
    int32_t first = place(FLOOR_OBJECT_CHEST);
    int32_t second = place(FLOOR_OBJECT_MAGIC_CIRCLE);
    ASSERT_EQ(first, 0);
    ASSERT_EQ(second, 1);
    const FloorObject& chest = gFloorObjects[0];
    EXPECT_EQ(chest.kind, FLOOR_OBJECT_CHEST);
    EXPECT_EQ(chest.hitPoints, 1);
    EXPECT_EQ(gFloorObjects[1].hitPoints, 5);
    EXPECT_FLOAT_EQ(chest.position.y, 0.0f);   // no ground under it: 0
    EXPECT_FLOAT_EQ(chest.home.x, -40.0f);
    EXPECT_FLOAT_EQ(chest.yaw, 0.25f);
    EXPECT_EQ(chest.state, FLOOR_OBJECT_IDLE);
    for (int32_t serial : chest.recentAttacks) EXPECT_EQ(serial, -1);
    gFloorObjects[0].kind = FLOOR_OBJECT_FREE;
    EXPECT_EQ(place(FLOOR_OBJECT_TREE_A), 0);
    EXPECT_EQ(placeFloorObject(Vector3{}, Vector3{}, 0.0f, 23), -1);
    EXPECT_EQ(placeFloorObject(Vector3{}, Vector3{}, 0.0f, -1), -1);
}

TEST_F(FloorObjects, AFullPoolPlacesNothingAndLeavesSlotZeroAlone) {
    for (int32_t i = 0; i < FLOOR_OBJECT_MAX; ++i) ASSERT_EQ(place(FLOOR_OBJECT_GRASS_A, -1.0f * (float)i), i);
    gFloorObjects[0].state = FLOOR_OBJECT_OPENED;
    gFloorObjects[0].counter = 33;
    EXPECT_EQ(place(FLOOR_OBJECT_CHEST, -99.0f), -1);
    EXPECT_EQ(placeSwitchObject(1, FLOOR_OBJECT_RETURN_GATE, Vector3{}, Vector3{}, 0.0f), -1);
    const FloorObject& zero = gFloorObjects[0];
    EXPECT_EQ(zero.kind, FLOOR_OBJECT_GRASS_A);
    EXPECT_EQ(zero.state, FLOOR_OBJECT_OPENED);
    EXPECT_EQ(zero.counter, 33);
    EXPECT_FLOAT_EQ(zero.position.x, 0.0f);
    EXPECT_EQ(gSwitchRegistry.objects[1], -1);
    // The row that found no object reveals nothing.
    triggerSwitchCut(1);
    EXPECT_EQ(gSwitchCutTimer, 0);
}

TEST_F(FloorObjects, AnOpenedChestGlowsSparklesOverItsLastNineFramesAndGoesAt120) {
    for (int32_t kind : {FLOOR_OBJECT_CHEST, FLOOR_OBJECT_TRAP_CHEST, FLOOR_OBJECT_MAGIC_CIRCLE}) {
        SCOPED_TRACE(kind);
        resetFloorObjects();
        int32_t index = place(kind);
        gFloorObjects[index].state = FLOOR_OBJECT_OPENED;
        int32_t sparkleFrames = 0;
        for (int32_t frame = 1; frame <= CHEST_FADE_FRAMES; ++frame) {
            int32_t draws = drawsDuring(animateFloorObjects);
            const FloorObject& chest = gFloorObjects[index];
            if (frame < CHEST_FADE_FRAMES) {
                ASSERT_EQ(chest.kind, kind) << "frame " << frame;
                EXPECT_EQ(chest.counter, frame);
                EXPECT_EQ(chest.fadeLevels[0], 17 * (frame < 88 ? frame : 88));
                EXPECT_EQ(chest.fadeLevels[99], chest.fadeLevels[0]);
                EXPECT_EQ(draws, frame > 110 ? 2 : 0) << "frame " << frame;
                sparkleFrames += draws > 0;
            } else {
                EXPECT_EQ(chest.kind, FLOOR_OBJECT_FREE);
                EXPECT_EQ(draws, 0);
            }
        }
        EXPECT_EQ(sparkleFrames, 9);
    }
}

TEST_F(FloorObjects, AnOpenReturnGateGlowsUpTo1360) {
    int32_t gate = place(FLOOR_OBJECT_RETURN_GATE);
    int32_t closed = place(FLOOR_OBJECT_RETURN_GATE);
    gFloorObjects[gate].state = FLOOR_OBJECT_ACTIVE;
    for (int32_t frame = 1; frame <= 90; ++frame) {
        animateFloorObjects();
        int32_t want = 17 * frame < RETURN_GATE_GLOW_MAX ? 17 * frame : RETURN_GATE_GLOW_MAX;
        ASSERT_EQ(gFloorObjects[gate].counter, want) << frame;
        ASSERT_EQ(gFloorObjects[gate].fadeLevels[50], want) << frame;
    }
    EXPECT_EQ(gFloorObjects[gate].state, FLOOR_OBJECT_ACTIVE);
    EXPECT_EQ(gFloorObjects[closed].counter, 0);
    EXPECT_EQ(gFloorObjects[closed].frameCount, 90);
}

TEST_F(FloorObjects, AHitDecorationSettlesAndShakesForItsFrames) {
    int32_t tree = place(FLOOR_OBJECT_TREE_B);
    FloorObject& object = gFloorObjects[tree];
    object.state = FLOOR_OBJECT_ACTIVE;
    object.shakeFrames = 5;
    for (int32_t frame = 1; frame <= 5; ++frame) {
        EXPECT_EQ(drawsDuring(animateFloorObjects), 2) << frame;
        EXPECT_EQ(object.state, FLOOR_OBJECT_IDLE);
        EXPECT_GE(object.shakeOffset.x, -0.25f);
        EXPECT_LT(object.shakeOffset.z, 0.25f);
    }
    EXPECT_EQ(drawsDuring(animateFloorObjects), 0);
    EXPECT_FLOAT_EQ(object.shakeOffset.x, 0.0f);
    EXPECT_EQ(object.frameCount, 6);
}

TEST_F(FloorObjects, ASwitchRisesOutOfTheGroundUnderTheCutSceneCamera) {
    int32_t index = placeSwitchObject(0, FLOOR_OBJECT_RETURN_GATE, Vector3{-80.0f, 0.0f, -40.0f},
                                      Vector3{0.35f, 0.35f, 0.35f}, 0.0f);
    ASSERT_EQ(gSwitchRegistry.objects[0], index);
    FloorObject& door = gFloorObjects[index];
    EXPECT_EQ(door.state, FLOOR_OBJECT_HIDDEN);
    door.shakeFrames = 3;
    EXPECT_EQ(drawsDuring(animateFloorObjects), 0);   // hidden: neither animated nor shaken
    EXPECT_EQ(door.frameCount, 0);

    triggerSwitchCut(0);
    EXPECT_EQ(gSwitchCutTimer, SWITCH_CUT_FRAMES);
    EXPECT_EQ(door.state, FLOOR_OBJECT_IDLE);
    EXPECT_FLOAT_EQ(door.position.y, -5.0f);
    triggerSwitchCut(0);   // already revealed: nothing
    EXPECT_EQ(gSwitchCutTimer, SWITCH_CUT_FRAMES);

    for (int32_t f = 0; f < SWITCH_CUT_FRAMES; ++f) {
        int32_t draws = drawsDuring(cutFrame);
        SCOPED_TRACE(testing::Message() << "frame " << f);
        if (f < 30) {
            EXPECT_FLOAT_EQ(door.position.y, -5.0f);
        } else if (f < 50) {
            EXPECT_FLOAT_EQ(door.position.y, -(2.0f - 0.1f * (float)(f - 30)) * 2.5f);
            EXPECT_LT(fabsf(door.position.x + 80.0f), 0.25f + 1e-5f);
            EXPECT_EQ(draws, 2);
        } else {
            EXPECT_FLOAT_EQ(door.position.x, -80.0f);
            EXPECT_FLOAT_EQ(door.position.y, 0.0f);
            EXPECT_FLOAT_EQ(door.position.z, -40.0f);
            EXPECT_EQ(draws, 0);
        }
        if (f >= 1 && f < SWITCH_CUT_FRAMES - 1) {
            EXPECT_EQ(gCameraMode, CAMERA_SCRIPTED);
            EXPECT_FLOAT_EQ(gCameraTarget.y, 3.0f);
            float a = 3.14159265358979323846f + 0.002f * (float)f;
            EXPECT_FLOAT_EQ(gCameraEye.x, -80.0f + 20.0f * sinf(a));
            EXPECT_FLOAT_EQ(gCameraEye.z, -40.0f + (20.0f - 0.01f * (float)f) * cosf(a));
        }
    }
    EXPECT_EQ(gSwitchCutFrame, SWITCH_CUT_FRAMES);
    EXPECT_EQ(gCameraMode, CAMERA_FOLLOW);
    EXPECT_EQ(gCameraReset, 1);
}

TEST_F(FloorObjects, RevealingRowOneReplaysRowZeroAndLooksBetweenThem) {
    int32_t door = placeSwitchObject(0, FLOOR_OBJECT_RETURN_GATE, Vector3{0.0f, 0.0f, 0.0f}, Vector3{1, 1, 1}, 0.0f);
    int32_t circle =
        placeSwitchObject(1, FLOOR_OBJECT_MAGIC_CIRCLE, Vector3{-40.0f, 0.0f, -80.0f}, Vector3{0.5f, 0.5f, 0.5f}, 0.0f);
    triggerSwitchCut(0);
    for (int32_t f = 0; f < SWITCH_CUT_FRAMES; ++f) cutFrame();
    triggerSwitchCut(1);
    EXPECT_EQ(gSwitchRegistry.lastRowShown, 1);
    for (int32_t f = 0; f <= 40; ++f) cutFrame();
    // Row 0's door rises again; the circle stays put and opens out.
    EXPECT_FLOAT_EQ(gFloorObjects[door].position.y, -2.5f);
    EXPECT_FLOAT_EQ(gFloorObjects[circle].position.y, 0.0f);
    EXPECT_FLOAT_EQ(gFloorObjects[circle].size.x, 10.0f * 0.5f / 20.0f);
    EXPECT_FLOAT_EQ(gCameraTarget.x, -20.0f);
    EXPECT_FLOAT_EQ(gCameraTarget.z, -40.0f);
    for (int32_t f = 41; f <= 50; ++f) cutFrame();
    EXPECT_FLOAT_EQ(gFloorObjects[circle].size.x, 0.5f);
}
