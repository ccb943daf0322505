// The field camera: framing by mode and shop view, the ground easing, the
// reset and smoothing, the run-end pull-back, the shake, the billboard
// matrix and the boss-defeat orbit. Called directly on a stage record made
// in the test.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/math.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/screen_mapping.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "field/field_camera.h"
#include "game/state_registry.h"

namespace {

// A stage of the given code, the character at a place, the camera fresh.
class CameraUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        stage.deathheight = -100;
        gCurrentStage = &stage;
        resetFieldCamera();
        gParty = PartyState{};
        gCameraShake = CameraShake{};
        gRun.runEndTimer = 0;
        gCamera.yaw = 0.0f;
        seedRandom(7);
    }
    void place(int32_t code, int32_t view, Vector3 character) {
        stage.stageCode = code;
        runningGameState().shopCameraView = view;
        gParty.positions[0] = character;
    }
    GameStateScope state;
    StageRecord stage;
};

TEST_F(CameraUpdate, GroundSettlesThreeAboveTheCandidate) {
    place(5, 0, {0.0f, 2.0f, 0.0f});   // candidate 2 - 4 raised to 0
    for (int32_t frame = 0; frame < 300; ++frame) updateFieldCamera();
    EXPECT_NEAR(gFieldCamera.cameraGround, 3.0f, 1e-4f);
    stage.deathheight = 10;            // the death height lifts the candidate
    for (int32_t frame = 0; frame < 300; ++frame) updateFieldCamera();
    EXPECT_NEAR(gFieldCamera.cameraGround, 13.0f, 1e-4f);
}

TEST_F(CameraUpdate, ResetLandsThenEasesByAFifth) {
    place(5, 0, {10.0f, 0.0f, 20.0f});
    gFieldCamera.cameraEye = {100.0f, 100.0f, 100.0f};
    gFieldCamera.cameraReset = 1;
    updateFieldCamera();
    EXPECT_EQ(gFieldCamera.cameraReset, 0);
    EXPECT_EQ(gFieldCamera.cameraGround, 3.0f);
    // Follow framing: 14 behind (yaw 0 puts the eye toward -z), 21 up.
    const float ty = -1.8f + 3.0f;
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.x, 10.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.y, ty);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.z, 20.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.x, 10.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.y, 21.0f + ty);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.z, 6.0f);
    EXPECT_EQ(gCamera.eye.z, gFieldCamera.cameraEye.z);
    Matrix4 view = matrixLookAtRH(gCamera.eye, gCamera.target, Vector3{0.0f, 1.0f, 0.0f});
    for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(gCamera.view.m[i], view.m[i]) << "element " << i;

    gParty.positions[0].x = 20.0f;     // ten to the right
    updateFieldCamera();
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.x, 12.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.x, 12.0f);
}

// Effective distance and elevation, and the look-at z of a character at the
// origin, by mode, shop view and stage.
struct FramingCase {
    const char* name;
    int32_t mode, code, view;
    float distance, elevation, targetZ;
};
const FramingCase FRAMING_CASES[] = {
    {"dungeon", CAMERA_FOLLOW, 5, 2, 14.0f, 21.0f, 0.0f},   // shop views only on shop stages
    {"shop view 1", CAMERA_FOLLOW, 4, 1, 14.0f, 21.0f, 0.0f},
    {"shop view 2", CAMERA_FOLLOW, 4, 2, 18.0f, 11.8f, -5.0f},
    {"shop view 3", CAMERA_FOLLOW, 4, 3, 18.0f, 11.8f, -5.0f},
    {"view 2 clamped on 0-2", CAMERA_FOLLOW, 1, 2, 18.0f, 11.8f, -3.0f},
    {"view 3 never clamped", CAMERA_FOLLOW, 1, 3, 18.0f, 11.8f, -5.0f},
    {"wide", CAMERA_WIDE, 5, 0, 19.0f, 25.8f, 0.0f},
    {"widest", CAMERA_WIDEST, 5, 0, 29.0f, 33.0f, 0.0f},
};

TEST_F(CameraUpdate, FramingFollowsModeAndShopView) {
    for (const FramingCase& c : FRAMING_CASES) {
        place(c.code, c.view, {0.0f, 0.0f, 0.0f});
        gFieldCamera.cameraMode = c.mode;
        gFieldCamera.cameraReset = 1;
        updateFieldCamera();
        EXPECT_NEAR(gFieldCamera.cameraOffsets.distance + gFieldCamera.cameraDistance, c.distance, 1e-5f) << c.name;
        EXPECT_NEAR(gFieldCamera.cameraOffsets.elevation + gFieldCamera.cameraElevation, c.elevation, 1e-5f) << c.name;
        EXPECT_FLOAT_EQ(gFieldCamera.cameraOffsets.height, 0.0f) << c.name;
        EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.z, c.targetZ) << c.name;
        EXPECT_NEAR(gFieldCamera.cameraTarget.z - gFieldCamera.cameraEye.z, c.distance, 1e-4f) << c.name;
        EXPECT_NEAR(gFieldCamera.cameraEye.y - gFieldCamera.cameraTarget.y, c.elevation, 1e-4f) << c.name;
    }
}

struct ClampCase {
    int32_t code, view;
    Vector3 character;
    float x, z;
};
const ClampCase CLAMP_CASES[] = {
    {0, 0, {-20.0f, 0.0f, -50.0f}, -5.0f, -50.0f},   // "0-1" has no lower z bound
    {0, 0, {3.0f, 0.0f, 9.0f}, -1.0f, 1.0f},
    {1, 0, {9.0f, 0.0f, -9.0f}, 5.0f, -3.0f},
    {2, 0, {20.0f, 0.0f, 0.5f}, 15.0f, 0.5f},
    {3, 0, {-9.0f, 0.0f, 9.0f}, -5.0f, 8.5f},
    {4, 0, {99.0f, 0.0f, 99.0f}, 99.0f, 99.0f},       // "0-5" has no box
    {1, 1, {9.0f, 0.0f, -9.0f}, 9.0f, -9.0f},         // view 1 never clamped
    {7, 0, {-20.0f, 0.0f, 9.0f}, -20.0f, 9.0f},
};

TEST_F(CameraUpdate, ShopStagesKeepTheLookAtPointInABox) {
    for (const ClampCase& c : CLAMP_CASES) {
        place(c.code, c.view, c.character);
        gFieldCamera.cameraReset = 1;
        updateFieldCamera();
        EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.x, c.x) << "code " << c.code << " view " << c.view;
        EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.z, c.z) << "code " << c.code << " view " << c.view;
    }
}

TEST_F(CameraUpdate, FixedPointTakesTheMidpoint) {
    place(5, 2, {10.0f, 0.0f, 10.0f});
    gFieldCamera.cameraFixedOn = 1;
    gFieldCamera.cameraFixedPoint = {-10.0f, 50.0f, 30.0f};
    gFieldCamera.cameraReset = 1;
    updateFieldCamera();
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.x, 0.0f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraTarget.z, 20.0f);
}

TEST_F(CameraUpdate, RunEndPullsBackAlongASine) {
    struct Case {
        int32_t timer;
        float pullBack;
    };
    const Case CASES[] = {{0, 0.0f}, {60, 0.0f}, {150, 3.5355339f}, {239, 4.9998096f}, {240, 5.0f}, {900, 5.0f}};
    for (const Case& c : CASES) EXPECT_NEAR(runEndPullBack(c.timer), c.pullBack, 1e-5f) << "timer " << c.timer;

    place(5, 0, {0.0f, 0.0f, 0.0f});
    gRun.runEndTimer = 150;
    gFieldCamera.cameraReset = 1;
    updateFieldCamera();
    EXPECT_NEAR(gFieldCamera.cameraTarget.z - gFieldCamera.cameraEye.z, 14.0f + 3.5355339f, 1e-4f);
    EXPECT_NEAR(gFieldCamera.cameraEye.y - gFieldCamera.cameraTarget.y, 21.0f + 3.5355339f, 1e-4f);
}

TEST_F(CameraUpdate, ScriptedModeLeavesAnUnwrittenCameraStill) {
    place(5, 0, {30.0f, 8.0f, 30.0f});
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    gFieldCamera.cameraEye = {1.0f, 2.0f, 3.0f};
    gFieldCamera.cameraTarget = {4.0f, 5.0f, 6.0f};
    for (int32_t frame = 0; frame < 5; ++frame) updateFieldCamera();
    EXPECT_EQ(gFieldCamera.cameraEye.x, 1.0f);
    EXPECT_EQ(gFieldCamera.cameraEye.y, 2.0f);
    EXPECT_EQ(gFieldCamera.cameraTarget.z, 6.0f);
    EXPECT_EQ(gFieldCamera.cameraGround, 3.0f);
    EXPECT_EQ(gCamera.eye.y, 2.0f);
}

TEST_F(CameraUpdate, ShakeRollsWithinItsAmplitudes) {
    place(5, 0, {0.0f, 0.0f, 0.0f});
    startCameraShake(2000, 4, 5, 0.0f);
    int32_t minX = 99, maxX = -99, minY = 99, maxY = -99;
    for (int32_t frame = 0; frame < 1000; ++frame) {
        updateFieldCamera();
        minX = std::min(minX, gCameraShake.spriteX);
        maxX = std::max(maxX, gCameraShake.spriteX);
        minY = std::min(minY, gCameraShake.spriteY);
        maxY = std::max(maxY, gCameraShake.spriteY);
        ASSERT_EQ(gCameraShake.cameraY, 0.0f);
    }
    EXPECT_EQ(minX, -2);
    EXPECT_EQ(maxX, 1);
    EXPECT_EQ(minY, -2);
    EXPECT_EQ(maxY, 2);

    startCameraShake(3, 0, 6, 0.0f);
    updateFieldCamera();
    EXPECT_EQ(gCameraShake.spriteX, 0) << "amplitude 0 keeps the offset at 0";
    updateFieldCamera();
    updateFieldCamera();
    EXPECT_EQ(gCameraShake.framesLeft, 0);
    EXPECT_EQ(gCameraShake.spriteY, 0) << "the last frame zeroes the shake";
}

TEST_F(CameraUpdate, OneFrameShakeRollsNothing) {
    place(5, 0, {0.0f, 0.0f, 0.0f});
    startCameraShake(1, 8, 8, 2.0f);
    uint32_t state = gRandomState;
    updateFieldCamera();
    EXPECT_EQ(gRandomState, state);
    EXPECT_EQ(gCameraShake.spriteX, 0);
    EXPECT_EQ(gCameraShake.cameraY, 0.0f);
}

// The view's heights carry the previous frame's roll and this frame's.
TEST_F(CameraUpdate, CameraShakeMovesTheViewByTwoRolls) {
    place(5, 0, {0.0f, 0.0f, 0.0f});
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    gFieldCamera.cameraEye = {0.0f, 10.0f, -10.0f};
    startCameraShake(10, 0, 0, 4.0f);
    updateFieldCamera();
    float first = gCameraShake.cameraY;
    EXPECT_GE(first, -1.0f);
    EXPECT_LT(first, 1.0f);
    EXPECT_FLOAT_EQ(gCamera.eye.y, 10.0f + first);
    updateFieldCamera();
    float second = gCameraShake.cameraY;
    EXPECT_NE(first, second);
    EXPECT_FLOAT_EQ(gCamera.eye.y, 10.0f + first + second);
    EXPECT_FLOAT_EQ(gCamera.target.y, first + second);
}

// The billboard matrix turns a quad's +z toward the camera's direction of
// view, whatever the camera's place; straight down is taken as a view
// tilted a hair toward -z.
TEST_F(CameraUpdate, BillboardFacesAlongTheView) {
    struct Case {
        Vector3 eye, target, forward;
    };
    const Case CASES[] = {
        {{0.0f, 10.0f, -20.0f}, {0.0f, 0.0f, 0.0f}, {0.0f, -10.0f, 20.0f}},
        {{15.0f, 3.0f, 4.0f}, {-5.0f, 3.0f, 4.0f}, {-20.0f, 0.0f, 0.0f}},
        {{-3.0f, 30.0f, 7.0f}, {1.0f, -2.0f, -1.0f}, {4.0f, -32.0f, -8.0f}},
        {{2.0f, 40.0f, 2.0f}, {2.0f, 0.0f, 2.0f}, {0.0f, -40.0f, -0.01f}},
    };
    for (const Case& c : CASES) {
        gCamera.eye = c.eye;
        gCamera.target = c.target;
        updateViewOrientation();
        Vector3 facing = vec3TransformNormal(Vector3{0.0f, 0.0f, 1.0f}, gBillboardMatrix);
        Vector3 want = vec3Normalize(c.forward);
        EXPECT_NEAR(facing.x, want.x, 1e-5f) << c.eye.x;
        EXPECT_NEAR(facing.y, want.y, 1e-5f) << c.eye.x;
        EXPECT_NEAR(facing.z, want.z, 1e-5f) << c.eye.x;
    }
}

TEST_F(CameraUpdate, FlareVisibilityEasesTowardEight) {
    gCamera.eye = {0.0f, 10.0f, -20.0f};
    gCamera.target = {0.0f, 0.0f, 0.0f};
    updateViewOrientation();
    EXPECT_EQ(gFieldCamera.viewSpin.count, 8);
    EXPECT_FLOAT_EQ(gFieldCamera.viewSpin.visibility, 0.8f);
    updateViewOrientation();
    EXPECT_FLOAT_EQ(gFieldCamera.viewSpin.visibility, 1.52f);
}

TEST_F(CameraUpdate, DefeatOrbitEndsOnItsFourHundredthTick) {
    updateDefeatOrbit();
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_FOLLOW) << "no orbit runs";
    startDefeatOrbit();
    updateDefeatOrbit();
    // Frame 2: t 62.
    const float pi = std::numbers::pi_v<float>;
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_SCRIPTED);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.x, -40.0f + 16.0f * std::sin(62.0f * 0.002f + pi));
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.y, 12.0f - 0.62f);
    EXPECT_FLOAT_EQ(gFieldCamera.cameraEye.z, -40.0f + (16.0f - 0.62f) * std::cos(62.0f * 0.002f + pi));
    EXPECT_EQ(gFieldCamera.cameraTarget.x, -40.0f);
    EXPECT_EQ(gFieldCamera.cameraTarget.y, 6.0f);
    for (int32_t tick = 2; tick < DEFEAT_ORBIT_FRAMES; ++tick) updateDefeatOrbit();
    EXPECT_EQ(gFieldCamera.defeatOrbitFrame, 400);
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_SCRIPTED);
    updateDefeatOrbit();
    EXPECT_EQ(gFieldCamera.defeatOrbitFrame, 0);
    EXPECT_EQ(gFieldCamera.cameraMode, CAMERA_FOLLOW);
}

}   // namespace
