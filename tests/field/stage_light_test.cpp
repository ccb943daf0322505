// The stage light by "maplight:" mode with the character light's offset,
// and the ground shadows: their grey and size by height, the slope test,
// and what the shadow pass draws on the recording device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "field/stage_light.h"
#include "tests/field/world_fixture.h"

class StageLight : public WorldFixture {};

TEST_F(StageLight, TimeOfDayMixesTheTwoSetsOfThePhase) {
    stage.maplight = 3;
    runningGameState().dayPhase = 2;
    gTimeOfDay = 1.5f;
    updateStageLight();
    EXPECT_FLOAT_EQ(gStageLight.diffuse.r, 0.8f);
    EXPECT_FLOAT_EQ(gStageLight.diffuse.g, 0.75f);
    EXPECT_FLOAT_EQ(gStageLight.diffuse.b, 0.55f);
    EXPECT_FLOAT_EQ(gStageLight.direction[0], 0.6f);
    EXPECT_EQ(gStageLight.type, GFX_LIGHT_DIRECTIONAL);
    EXPECT_GE(count(renderState(GFX_RS_LIGHTING, 1)), 1);
    // The closed shop's light.
    runningGameState().dayPhase = 4;
    updateStageLight();
    EXPECT_FLOAT_EQ(gStageLight.ambient.b, 0.8f);
}

TEST_F(StageLight, CharacterLightAddsTheOffsetClamped) {
    stage.maplight = 2;
    stage.lightamb[0] = 0.7f;
    stage.lightamb[1] = 0.2f;
    stage.lightamb[2] = -0.9f;
    stage.chrlightoffset = 0.5f;
    updateStageLight();
    EXPECT_FLOAT_EQ(gStageLight.ambient.r, 0.7f);
    EXPECT_FLOAT_EQ(gCharacterLight.ambient.r, 1.0f);
    EXPECT_FLOAT_EQ(gCharacterLight.ambient.g, 0.7f);
    EXPECT_FLOAT_EQ(gCharacterLight.ambient.b, 0.0f);
}

TEST_F(StageLight, PulseSwingsBetweenTheStagesEnds) {
    stage.maplight = 1;
    stage.maplightspeed = 0.05f;
    stage.maplightRange[0][0] = 0.2f;
    stage.maplightRange[0][1] = 1.0f;
    float low = 2.0f, high = -1.0f;
    for (int32_t frame = 0; frame < 130; ++frame) {
        gWorldDraw.mapFrameCounter = frame;
        updateStageLight();
        low = std::min(low, gStageLight.diffuse.r);
        high = std::max(high, gStageLight.diffuse.r);
    }
    EXPECT_NEAR(low, 0.2f, 1e-3);
    EXPECT_NEAR(high, 1.0f, 1e-3);
}

TEST_F(StageLight, ModeZeroTurnsLightingOff) {
    stage.maplight = 0;
    updateStageLight();
    EXPECT_EQ(count(renderState(GFX_RS_LIGHTING, 1)), 0);
    EXPECT_GE(count(renderState(GFX_RS_LIGHTING, 0)), 1);
}

TEST(Shadow, PartyShadowShrinksAndLightensWithHeight) {
    ShadowLook ground = partyShadowLook(0, 0.0f);
    EXPECT_EQ(ground.grey, 0);
    EXPECT_FLOAT_EQ(ground.size, 0.038f * 0.14f);
    ShadowLook high = partyShadowLook(0, 10.0f);
    EXPECT_EQ(high.grey, 50);
    EXPECT_FLOAT_EQ(high.size, 0.025f * 0.14f);
    ShadowLook fairy = partyShadowLook(2, 0.0f);
    EXPECT_EQ(fairy.grey, 64);
    EXPECT_FLOAT_EQ(fairy.size, 0.038f * 0.14f * 0.9f);
    EXPECT_EQ(partyShadowLook(0, 100.0f).grey, 255);
    EXPECT_EQ(partyShadowLook(0, -3.0f).grey, 0);
}

TEST(Shadow, EnemyShadowGreyFollowsItsAlpha) {
    EXPECT_EQ(enemyShadowLook(10.0f, 255, 0.0f, 1.0f).grey, 0);    // opaque stays dark
    EXPECT_EQ(enemyShadowLook(0.0f, 127, 0.0f, 1.0f).grey, 128);   // half transparent
    EXPECT_EQ(enemyShadowLook(0.0f, 200, -72.0f, 1.0f).grey, 155); // 55 + 100 sinking
    EXPECT_FLOAT_EQ(enemyShadowLook(0.0f, 255, 0.0f, 2.0f).size, 0.045f * 2.0f);
    EXPECT_FLOAT_EQ(pickupShadowLook(0.0f, 1).size, 0.045f * 0.04f * 0.5f);
}

TEST(Shadow, SteepGroundCastsNone) {
    EXPECT_TRUE(shadowGroundFlat(1.0f));
    EXPECT_TRUE(shadowGroundFlat(0.7f));
    EXPECT_TRUE(shadowGroundFlat(-0.8f));
    EXPECT_FALSE(shadowGroundFlat(0.69f));
    EXPECT_FALSE(shadowGroundFlat(0.0f));
}

TEST(Shadow, SlopeMatrixLaysTheQuadOnTheGround) {
    // Level ground: the quad lies flat at the height 0.2.
    Matrix4 flat = shadowSlopeMatrix(0.0f, 1.0f, 0.0f);
    Vector3 p = vec3TransformCoord({100.0f, 0.0f, 50.0f}, flat);
    EXPECT_NEAR(p.x, 100.0f, 1e-3);
    EXPECT_NEAR(p.y, 0.2f, 1e-3);
    EXPECT_NEAR(p.z, 50.0f, 1e-3);
}

class ShadowPass : public WorldFixture {};

TEST_F(ShadowPass, MemberOnFlatGroundDrawsAStripAndOnASlopeNone) {
    stage.maptype = 1;
    gParty.models[0] = 3;
    gParty.models[1] = gParty.models[2] = -1;
    gParty.memberScales[0] = gParty.memberScales[3] = 1.0f;
    gParty.positions[0] = {5.0f, 10.0f, 5.0f};
    gParty.shadowHeights[0] = 0.0f;
    gParty.ground[0].normalY = 1.0f;
    drawShadows();
    EXPECT_EQ(count("drawPrimitiveUP 1 2"), 1);
    EXPECT_EQ(count(renderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO)), 1);
    EXPECT_EQ(count(renderState(GFX_RS_DESTBLEND, GFX_BLEND_SRCCOLOR)), 1);
    gfxRecordClear();
    gParty.ground[0].normalY = 0.5f;
    drawShadows();
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
    gfxRecordClear();
    gParty.ground[0].normalY = 1.0f;
    // No ground, as the ground probe marks it and as the movement marks it
    // over a hole: the ground record keeps the last flat ground found.
    for (float none : {-100.0f, -30.0f}) {
        gfxRecordClear();
        gParty.shadowHeights[0] = none;
        drawShadows();
        EXPECT_EQ(count("drawPrimitiveUP"), 0) << none;
    }
}
