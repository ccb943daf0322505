// The effect objects: their motion and end by kind, the weapon trail's
// spline and strip, clearing the pools, and the pool marks the world drawing
// takes from them.
#include "field/effect_objects.h"

#include <gtest/gtest.h>

#include <cmath>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "field/effect_meshes.h"
#include "tests/field/effects_fixture.h"
#include "tests/field/world_fixture.h"

namespace {

constexpr int32_t TRAIL_END_FOR_TEST = 18;

class EffectObjectTicks : public EffectsFixture {
protected:
    // An object as the spawner leaves it: frame 0 unless delayed.
    EffectObject& place(int32_t index, int32_t kind, float vx, float vy, float vz) {
        EffectObject& o = gEffectObjects[index];
        o = EffectObject{};
        o.kind = kind;
        o.scale = 1.0f;
        o.velocity[0] = vx;
        o.velocity[1] = vy;
        o.velocity[2] = vz;
        return o;
    }
    // Ticks until the object is freed (0: not within limit).
    static int32_t ticksToEnd(const EffectObject& o, int32_t limit) {
        for (int32_t tick = 1; tick <= limit; ++tick) {
            updateEffectObjects();
            if (o.kind == -1) return tick;
        }
        return 0;
    }
};

TEST_F(EffectObjectTicks, SparkSlowsAndEndsAfter24Ticks) {
    EffectObject& o = place(0, 1, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(ticksToEnd(o, 100), 24);
    float want = 0.0f, v = 1.0f;
    for (int32_t i = 0; i < 24; ++i, v *= 0.97f) want += v;
    EXPECT_FLOAT_EQ(o.position[0], want);
    EXPECT_NEAR(o.position[0], 17.29f, 0.01f);
}

TEST_F(EffectObjectTicks, KindsEndByTheirOwnRule) {
    struct Case {
        int32_t kind, frame, paramA, paramB;
        int32_t ends;   // ticks from the spawn; 0 not within 2,000
    };
    const Case cases[] = {
        {104, 0, 0, 0, 48},     {121, 0, 0, 0, 305},   {45, -10, 0, 0, 74},   // a delayed start counts too
        {54, 0, 30, 0, 30},     {54, 0, 0, 0, 0},      // its frame passes 0 before it is tested
        {109, 0, 0, 50, 50},    {75, 0, 0, 20, 60},    {93, 0, 8, 0, 70},
        {113, 0, 0, 0, 64},     {96, 0, 0, 0, 0},      {36, 0, 0, 0, 256},
        {61, 0, 100, 0, 270},   {24, 0, 0, 0, 1240},   {42, 0, 0, 0, 8},
    };
    for (const Case& c : cases) {
        resetEffectObjects();
        EffectObject& o = place(7, c.kind, 0.0f, 0.0f, 0.0f);
        o.frame = c.frame;
        o.paramA = c.paramA;
        o.paramB = c.paramB;
        EXPECT_EQ(ticksToEnd(o, 2000), c.ends) << "kind " << c.kind;
    }
    // Kind 96 counts to 400 and stays.
    resetEffectObjects();
    EffectObject& still = place(0, 96, 0.0f, 0.0f, 0.0f);
    ticksToEnd(still, 500);
    EXPECT_EQ(still.frame, 400);
}

TEST_F(EffectObjectTicks, HomingSteersFromItsFrameAndAlwaysEndsAt64) {
    gParty.positions[0] = Vector3{100.0f, 0.0f, 0.0f};
    // paramA 70: it ends at 64 before it would steer, only slowing down.
    EffectObject& late = place(0, 152, 1.0f, 0.0f, 0.0f);
    late.paramA = 70;
    EXPECT_EQ(ticksToEnd(late, 100), 64);
    float want = 0.0f, v = 1.0f;
    for (int32_t i = 0; i < 64; ++i, v *= 0.97f) want += v;
    EXPECT_NEAR(late.position[0], want, 1e-3f);
    // paramA 0: it turns toward the target and ends near it.
    resetEffectObjects();
    gParty.positions[0] = Vector3{0.0f, 0.0f, 10.0f};
    EffectObject& early = place(0, 152, 0.0f, 0.0f, 0.0f);
    int32_t ended = ticksToEnd(early, 100);
    EXPECT_GT(ended, 0);
    EXPECT_LT(ended, 64);
    EXPECT_LT(std::hypot(early.position[0], early.position[1] - 2.0f, early.position[2] - 10.0f), 3.0f);
}

TEST_F(EffectObjectTicks, FollowersKeepTheirOffsetFromTheCharacter) {
    gParty.positions[0] = Vector3{5.0f, 1.0f, -2.0f};
    EffectObject& o = place(0, 99, 0.5f, 0.0f, 0.0f);
    updateEffectObjects();
    updateEffectObjects();
    EXPECT_FLOAT_EQ(o.position[0], 6.0f);
    EXPECT_FLOAT_EQ(o.position[1], 3.0f);
    EXPECT_FLOAT_EQ(o.position[2], -2.0f);
    // An enemy follower naming no enemy of the pool ends at once.
    EffectObject& lost = place(1, 120, 0.0f, 0.0f, 0.0f);
    lost.paramB = ENEMY_POOL_SIZE;
    updateEffectObjects();
    EXPECT_EQ(lost.kind, -1);
}

TEST_F(EffectObjectTicks, ConvergingSparkEndsAt24) {
    EffectObject& o = place(0, 52, 0.1f, 0.0f, 0.0f);
    EXPECT_EQ(ticksToEnd(o, 100), 24);
}

TEST_F(EffectObjectTicks, ResetFreesThePoolsAndThePickupsOnlyWithAll) {
    gPickups[3].kind = 2;
    gAttackObjects[5].kind = 40;
    gNumberPopups[1].timer = 30;
    gRun.trailDue = 1;
    place(9, 1, 0.0f, 0.0f, 0.0f);
    definition(0).vanishTime = -1;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
    resetEffects(0);
    EXPECT_EQ(gPickups[3].kind, 2) << "pickups stay without all";
    EXPECT_EQ(gAttackObjects[5].kind, 0);
    EXPECT_EQ(gNumberPopups[1].timer, 0);
    EXPECT_EQ(gRun.trailDue, 0);
    EXPECT_EQ(gEffectObjects[9].kind, -1);
    EXPECT_EQ(liveParticles(), 0);
    resetEffects(1);
    EXPECT_EQ(gPickups[3].kind, -1);
}

struct SplineCase {
    float points[5];
    int32_t count;
    float t;
    float want;
};
const SplineCase SPLINE_CASES[] = {
    {{0, 1, 2, 3, 4}, 5, 2.5f, 2.5f},        // a line stays a line
    {{0, 1, 2, 3, 4}, 5, 5.5f, 5.5f},        // and goes on past the last point
    {{3, -1, 4, 1, 5}, 5, 2.0f, 4.0f},       // through the points
    {{3, -1, 4, 1, 5}, 5, 0.0f, 3.0f},
    {{0, 1, 0, 0, 0}, 3, 0.5f, 0.6875f},     // K = 0, -0.5, 0
};

TEST(EffectObjectSpline, NaturalSplineThroughThePoints) {
    for (const SplineCase& c : SPLINE_CASES) {
        float k[SPLINE_MAX_POINTS];
        solveSpline(c.points, c.count, k);
        EXPECT_FLOAT_EQ(k[0], 0.0f);
        EXPECT_FLOAT_EQ(k[c.count - 1], 0.0f);
        EXPECT_NEAR(evalSpline(c.t, c.points, c.count, k), c.want, 1e-5f) << "t " << c.t << " count " << c.count;
    }
    // The inner equations hold.
    const float y[6] = {0.0f, 2.0f, -1.0f, 3.0f, 0.5f, 1.0f};
    float k[SPLINE_MAX_POINTS];
    solveSpline(y, 6, k);
    for (int32_t i = 1; i < 5; ++i)
        EXPECT_NEAR(k[i - 1] + 4.0f * k[i] + k[i + 1], (y[i + 1] - y[i]) - (y[i] - y[i - 1]), 1e-5f) << i;
}

TEST_F(EffectObjectTicks, TrailDrawsFromItsThirdTickAndEndsAt18) {
    buildEffectMeshes();
    EffectObject& o = place(4, 148, 0.0f, 0.0f, 0.0f);
    updateEffectObjects();   // trails move only with the drawing
    EXPECT_EQ(o.frame, 0);
    float startY = gTrailStrip[0].y;
    for (int32_t tick = 1; tick <= TRAIL_END_FOR_TEST; ++tick) {
        gEnemies[0].attachPos[0] = Vector3{(float)tick, 0.0f, 0.0f};
        gEnemies[0].attachPos[1] = Vector3{(float)tick, 10.0f, 0.0f};
        updateTrails();
        if (tick < 3) {
            EXPECT_EQ(gTrailStrip[0].y, startY) << "tick " << tick;
        } else if (tick == 3) {
            // Sample 0 lies on the newest points, edge A first.
            EXPECT_FLOAT_EQ(gTrailStrip[0].x, 3.0f);
            EXPECT_FLOAT_EQ(gTrailStrip[1].y, 10.0f);
            EXPECT_NEAR(gTrailStrip[2 * 18].x, 3.0f - 18.0f * 3.0f / 56.0f, 1e-4f);
        }
        EXPECT_EQ(o.kind == -1, tick == TRAIL_END_FOR_TEST) << "tick " << tick;
    }
    clearEffectMeshes();
}

class EffectObjectMarks : public WorldFixture {};

TEST_F(EffectObjectMarks, FollowTheLivePools) {
    resetEffectObjects();
    gEffectObjects[0].kind = 1;
    gEffectObjects[40].kind = 3;
    gAttackObjects[7].kind = 12;
    gPickups[99].kind = 0;
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(gWorldDraw.effectCounts.effectObjects, 41);
    EXPECT_EQ(gWorldDraw.effectCounts.attackObjects, 8);
    EXPECT_EQ(gWorldDraw.effectCounts.pickups, 100);
    resetEffects(1);
    drawWorldScene(gGfxDevice);
    EXPECT_EQ(gWorldDraw.effectCounts.effectObjects, 0);
    EXPECT_EQ(gWorldDraw.effectCounts.attackObjects, 0);
    EXPECT_EQ(gWorldDraw.effectCounts.pickups, 0);
}

}  // namespace
