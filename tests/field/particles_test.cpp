// The particles: an emission's staggered starts and a full pool, the ends by
// age, size and arrival at the merchant gauge, following an owner, and what
// the drawing sends; the effect sets' timed slots and their pool.
#include "field/particles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "adventurers/adventurers_state.h"
#include "engine/device.h"
#include "field/effect_meshes.h"
#include "field/hud.h"
#include "tests/field/effects_fixture.h"

namespace {

class ParticleTicks : public EffectsFixture {};

TEST_F(ParticleTicks, EmissionStartsOneAfterAnotherByTheAppearTime) {
    EffectDefinition& d = definition(3);
    d.count = 16;
    d.appearTime = 2.5f;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 3, 1.0f, EFFECT_LIFETIME_DEFAULT, 0.0f, EFFECT_ATTACH_FREE);
    ASSERT_EQ(liveParticles(), 16);
    const int32_t first[4] = {0, -2, -5, -7};   // truncated toward zero
    for (int32_t k = 0; k < 4; ++k) EXPECT_EQ(gParticles[k].age, first[k]) << "particle " << k;
    EXPECT_EQ(gParticles[15].age, -37);
    // A waiting particle neither moves nor ages out, but its animation runs.
    gEffectImages[0].frames = 4;
    gEffectImages[0].interval = 1;
    gEffectImages[0].loop = 1;
    float x = gParticles[15].position[0];
    updateParticles();
    EXPECT_EQ(gParticles[15].position[0], x);
    EXPECT_EQ(gParticles[15].animFrame, 1);
    EXPECT_EQ(gParticles[15].age, -36);
}

TEST_F(ParticleTicks, AFullPoolStartsOnlyWhatIsFree) {
    definition(0).count = PARTICLE_POOL_SIZE - 6 - 4;
    definition(0).vanishTime = -1;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
    definition(1).count = 4;
    definition(1).vanishTime = -1;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 1, 1.0f, -1, 0.0f, 0);
    ASSERT_EQ(liveParticles(), 4090);
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 2, 1.0f, EFFECT_LIFETIME_DEFAULT, 0.0f, 0);
    EXPECT_EQ(liveParticles(), PARTICLE_POOL_SIZE);
    int32_t fromTwo = 0;
    for (const Particle& p : gParticles) fromTwo += p.definition == 2;
    EXPECT_EQ(fromTwo, 6);
    // The ages still count from the first that started.
    EXPECT_EQ(gParticles[PARTICLE_POOL_SIZE - 6].age, 0);
}

TEST_F(ParticleTicks, ACountOfZeroOrLessStillStartsOne) {
    for (int32_t count : {0, -3}) {
        clearEffectPools();
        definition(5).count = count;
        spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 5, 1.0f, EFFECT_LIFETIME_DEFAULT, 0.0f, 0);
        EXPECT_EQ(liveParticles(), 1) << "count " << count;
    }
}

TEST_F(ParticleTicks, LifetimeComesFromTheSpawnerOrTheDefinition) {
    struct Case {
        int32_t vanishTime, spread, given;
        int32_t lastTick;   // the particle is freed on this tick; 0 never within 1,000
    };
    const Case cases[] = {
        {24, 0, -1, 24},   // the definition's own
        {24, 0, 10, 10},   // the spawner's wins
        {24, 0, 0, 24},    // 0 means the definition's too
        {-1, 0, -1, 0},    // no age limit, whatever the size does
    };
    for (const Case& c : cases) {
        clearEffectPools();
        EffectDefinition& d = definition(7);
        d.count = 1;
        d.vanishTime = c.vanishTime;
        d.vanishSpread = c.spread;
        d.sizeGrowth = c.vanishTime == -1 ? -0.5f : 0.0f;   // the size reaches 0 on the second tick
        spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 7, 1.0f, c.given, 0.0f, 0);
        int32_t freedAt = 0;
        for (int32_t tick = 1; tick <= 1000 && !freedAt; ++tick) {
            updateParticles();
            if (gParticles[0].definition == -1) freedAt = tick;
        }
        EXPECT_EQ(freedAt, c.lastTick) << "vanish " << c.vanishTime << " given " << c.given;
    }
    // Otherwise a size at 0 or below ends it.
    clearEffectPools();
    definition(7).vanishTime = 100;
    definition(7).sizeGrowth = -0.5f;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 7, 1.0f, -1, 0.0f, 0);
    updateParticles();
    EXPECT_NE(gParticles[0].definition, -1);
    updateParticles();
    EXPECT_EQ(gParticles[0].definition, -1);
}

TEST_F(ParticleTicks, HomingParticlesEndOnlyAtTheGaugeWithAShakeEach) {
    EffectDefinition& d = definition(100);
    d.count = 3;
    d.type = 6;
    d.gravity = -0.004f;
    d.vanishTime = 5;
    spawnScreenEffect(304.0f, 128.0f, 100, 1.0f, EFFECT_LIFETIME_DEFAULT, EFFECT_ATTACH_GAUGE);
    ASSERT_EQ(liveParticles(), 3);
    EXPECT_FLOAT_EQ(gParticles[0].position[0], 16.5f - 304.0f / 19.5f);
    EXPECT_FLOAT_EQ(gParticles[0].position[1], 12.4f - 128.0f / 19.5f);
    EXPECT_EQ(gParticles[0].position[2], -520.0f);
    int32_t shakes = 0;
    int32_t ticks = 0;
    for (; ticks < 400 && liveParticles() > 0; ++ticks) {
        gHudTimers.shakeFrames = 0;
        int32_t before = liveParticles();
        updateParticles();
        int32_t arrived = before - liveParticles();
        if (arrived > 0) {
            EXPECT_GT(gHudTimers.shakeFrames, 0);
            shakes += arrived;
        }
        for (const Particle& p : gParticles)
            if (p.definition != -1) {
                EXPECT_GE(p.position[1], GAUGE_TARGET[1] - 1.0f) << "tick " << ticks;
            }
        if (ticks < 30) {
            EXPECT_EQ(liveParticles(), 3) << "a lifetime of 5 does not end a homing particle";
        }
    }
    EXPECT_EQ(liveParticles(), 0);
    EXPECT_EQ(shakes, 3);
}

TEST_F(ParticleTicks, FollowersMoveWithTheirOwner) {
    EffectDefinition& d = definition(9);
    d.count = 1;
    d.type = 2;
    d.vanishTime = 50;
    gParty.positions[0] = Vector3{10.0f, 0.0f, -4.0f};
    spawnEffect(&gParty, 1.0f, 2.0f, 3.0f, 9, 1.0f, -1, 0.0f, EFFECT_ATTACH_PARTY);
    gParty.positions[0] = Vector3{20.0f, 1.0f, 5.0f};
    updateParticles();
    EXPECT_FLOAT_EQ(gParticles[0].position[0], 21.0f);
    EXPECT_FLOAT_EQ(gParticles[0].position[1], 3.0f);
    EXPECT_FLOAT_EQ(gParticles[0].position[2], 8.0f);
    // Given no owner, a follower stays at its spawn point.
    clearEffectPools();
    spawnEffect(nullptr, 1.0f, 2.0f, 3.0f, 9, 1.0f, -1, 0.0f, EFFECT_ATTACH_ENEMY);
    updateParticles();
    EXPECT_FLOAT_EQ(gParticles[0].position[0], 1.0f);
    EXPECT_FLOAT_EQ(gParticles[0].position[2], 3.0f);
    // A particle that starts with the character's velocity takes it scaled.
    clearEffectPools();
    d.type = 0;
    d.overallScale = 2.0f;
    gParty.velocity = Vector3{0.5f, 0.0f, -0.25f};
    spawnEffect(&gParty, 0.0f, 0.0f, 0.0f, 9, 1.5f, -1, 0.0f, EFFECT_ATTACH_PARTY_VELOCITY);
    EXPECT_FLOAT_EQ(gParticles[0].velocity[0], 1.5f);
    EXPECT_FLOAT_EQ(gParticles[0].velocity[2], -0.75f);
    EXPECT_FLOAT_EQ(gParticles[0].position[0], 4.5f);   // three steps ahead
}

TEST_F(ParticleTicks, ClearingThePoolsFreesEverything) {
    definition(0).vanishTime = -1;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
    set(0).effect[0] = 0;
    spawnEffectSet(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
    for (int32_t i = 0; i < 500; ++i) updateParticles();
    EXPECT_GT(liveParticles(), 0) << "no age limit";
    resetEffects(0);
    EXPECT_EQ(liveParticles(), 0);
    EXPECT_EQ(runningSets(), 0);
}

TEST_F(ParticleTicks, OutlandishBankValuesStayWithinRange) {
    const float appearTimes[] = {1e30f, -1e30f, std::nanf("")};
    for (float appear : appearTimes) {
        clearEffectPools();
        definition(6).count = 2;
        definition(6).appearTime = appear;
        spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 6, 1.0f, -1, 0.0f, 0);
        EXPECT_EQ(gParticles[0].age, 0) << appear;
        EXPECT_GT(gParticles[1].age, INT32_MIN) << appear;
    }
}

class EffectSetTicks : public EffectsFixture {};

TEST_F(EffectSetTicks, SlotsFireOnTheirFrameInSlotOrder) {
    EffectSet& s = set(12);
    const int32_t effects[4] = {20, 21, 22, 23};
    const int32_t frames[4] = {0, 3, 3, 300};
    for (int32_t slot = 0; slot < 4; ++slot) {
        s.effect[slot] = effects[slot];
        s.startFrame[slot] = frames[slot];
        definition(effects[slot]).count = 1;
        definition(effects[slot]).vanishTime = -1;
    }
    s.position[0][0] = 2.0f;
    s.scale[0] = 0.5f;
    spawnEffectSet(nullptr, 10.0f, 0.0f, 0.0f, 12, 2.0f, -1, 0.0f, 0);
    EXPECT_EQ(liveParticles(), 0) << "nothing fires before the first tick";
    updateParticles();
    ASSERT_EQ(liveParticles(), 1);
    EXPECT_EQ(gParticles[0].definition, 20);
    EXPECT_FLOAT_EQ(gParticles[0].origin[0], 12.0f);
    EXPECT_FLOAT_EQ(gParticles[0].scale, 1.0f);
    for (int32_t tick = 2; tick <= 4; ++tick) updateParticles();
    ASSERT_EQ(liveParticles(), 3);
    EXPECT_EQ(gParticles[1].definition, 21);
    EXPECT_EQ(gParticles[2].definition, 22);
    // The instance runs 300 ticks; its slot at frame 300 never fires.
    for (int32_t tick = 5; tick < 300; ++tick) updateParticles();
    EXPECT_EQ(runningSets(), 1);
    updateParticles();
    EXPECT_EQ(runningSets(), 0);
    for (const Particle& p : gParticles) EXPECT_NE(p.definition, 23);
}

TEST_F(EffectSetTicks, OverlayInstancesEmitInOverlaySpace) {
    set(3).effect[0] = 4;
    set(3).position[0][0] = 16.0f;
    set(3).position[0][1] = -8.0f;
    definition(4).count = 1;
    definition(4).type = 6;
    spawnScreenEffectSet(320.0f, 240.0f, 3, 1.0f, -1, 0);
    updateParticles();
    ASSERT_EQ(liveParticles(), 1);
    const Particle& p = gParticles[0];
    EXPECT_EQ(p.screen, 1);
    EXPECT_FLOAT_EQ(p.origin[0], 16.5f - 336.0f / 19.5f);
    EXPECT_FLOAT_EQ(p.origin[1], 12.4f - 232.0f / 19.5f);
    EXPECT_EQ(p.origin[2], -520.0f);
}

TEST_F(EffectSetTicks, The257thInstanceIsDropped) {
    for (int32_t i = 0; i < EFFECT_SET_INSTANCE_COUNT; ++i)
        spawnEffectSet(nullptr, (float)i, 0.0f, 0.0f, 1, 1.0f, -1, 0.0f, 0);
    spawnEffectSet(nullptr, 999.0f, 0.0f, 0.0f, 2, 1.0f, -1, 0.0f, 0);
    EXPECT_EQ(runningSets(), EFFECT_SET_INSTANCE_COUNT);
    for (const EffectSetInstance& s : gEffectSetInstances) EXPECT_EQ(s.set, 1);
    // An instance that ends frees its record for the next request.
    for (int32_t tick = 0; tick < EFFECT_SET_FRAMES; ++tick) updateParticles();
    spawnEffectSet(nullptr, 999.0f, 0.0f, 0.0f, 2, 1.0f, -1, 0.0f, 0);
    EXPECT_EQ(runningSets(), 1);
    EXPECT_EQ(gEffectSetInstances[0].set, 2);
    // A set outside the banks starts nothing.
    spawnScreenEffectSet(0.0f, 0.0f, EFFECT_COUNT, 1.0f, -1, 0);
    spawnEffectSet(nullptr, 0.0f, 0.0f, 0.0f, -1, 1.0f, -1, 0.0f, 0);
    EXPECT_EQ(runningSets(), 1);
}

// The drawing on the recording device: one bind per image group, only the
// particles of the method and space asked for, and the fade.
class ParticleDrawing : public EffectsFixture {
protected:
    void SetUp() override {
        EffectsFixture::SetUp();
        ASSERT_TRUE(GFX_RECORDING.open());
        gGfxDevice = GFX_RECORDING.createDevice(GfxPresentParams{64, 48, GFX_FORMAT_A8R8G8B8, true, true, GFX_FORMAT_D16, false});
        ASSERT_NE(gGfxDevice, nullptr);
        buildEffectMeshes();
        gEffectGroupCount = 2;
        gEffectImages[1] = EffectImage{1, 0.0f, 0.0f, 32.0f, 32.0f, 1, 1, 0};
        for (int32_t g = 0; g < 2; ++g)
            gEffectImageTextures[g].texture =
                gGfxDevice->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        gfxRecordClear();
    }
    void TearDown() override {
        for (int32_t g = 0; g < 2; ++g) {
            gGfxDevice->releaseTexture(gEffectImageTextures[g].texture);
            gEffectImageTextures[g].texture = nullptr;
        }
        GFX_RECORDING.destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
        GFX_RECORDING.close();
        clearEffectMeshes();
        EffectsFixture::TearDown();
    }
    static int32_t count(const char* prefix) {
        int32_t n = 0;
        for (int32_t i = 0; i < gGfxRecord.count; ++i) n += strncmp(gGfxRecord.lines[i], prefix, strlen(prefix)) == 0;
        return n;
    }
};

TEST_F(ParticleDrawing, EachGroupBindsOnceAndOnlyTheAskedParticlesDraw) {
    for (int32_t n = 0; n < 3; ++n) {
        EffectDefinition& d = definition(n);
        d.count = 2;
        d.type = 2;
        d.image = n == 1 ? 1 : 0;
        d.drawMethod = n == 2 ? 2 : 0;
        spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, n, 1.0f, -1, 0.0f, 0);
    }
    definition(3).count = 1;
    definition(3).type = 2;
    spawnScreenEffect(10.0f, 10.0f, 3, 1.0f, -1, 0);
    definition(4).count = 2;
    definition(4).type = 2;
    definition(4).appearTime = 5.0f;   // the second still waits
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 4, 1.0f, -1, 0.0f, 0);
    gTextureCache = nullptr;
    gfxRecordClear();
    drawParticles(0, 0);
    // Method 0 in the world: definitions 0 (group 0), 1 (group 1) and the
    // first of 4; group 0's picture first.
    EXPECT_EQ(count("drawPrimitiveUP"), 5);
    EXPECT_EQ(count("setTexture 0"), 2);
    gfxRecordClear();
    drawParticles(0, 1);
    EXPECT_EQ(count("drawPrimitiveUP"), 1) << "the overlay's own";
    gfxRecordClear();
    drawParticles(4, 1);
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
}

TEST_F(ParticleDrawing, FadeDarkensOrShrinksByTheAppearMode) {
    struct Case {
        int8_t appearMode;
        int32_t age;
        uint32_t colour;
        bool drawn;
    };
    // Lifetime 20, fall time 10 (255 div 10 = 25 a tick): from age 11 on.
    const Case cases[] = {
        {0, 5, 0xFFFFFFFFu, true},
        {0, 14, 0xFF000000u + (255 - 4 * 25) * 0x010101u, true},
        {1, 14, 0xFFFFFFFFu, true},
        {2, 14, 0xFF000000u + (255 - 4 * 25) * 0x010101u, true},
        {0, 21, 0, false},   // 255 - 11 x 25 < 0
    };
    for (const Case& c : cases) {
        clearEffectPools();
        EffectDefinition& d = definition(0);
        d.count = 1;
        d.type = 2;
        d.vanishTime = 20;
        d.alphaFallTime = 10;
        d.appearMode = c.appearMode;
        spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
        gParticles[0].age = c.age;
        setQuadColour(gParticleQuad, 0x12345678u);
        gfxRecordClear();
        drawParticles(0, 0);
        EXPECT_EQ(count("drawPrimitiveUP") == 1, c.drawn) << "mode " << (int)c.appearMode << " age " << c.age;
        if (c.drawn) {
            EXPECT_EQ(gParticleQuad[0].colour, c.colour) << "mode " << (int)c.appearMode << " age " << c.age;
        }
    }
}

TEST_F(ParticleDrawing, ACellWiderThanTheSheetKeepsOneColumn) {
    gEffectImages[0] = EffectImage{0, 0.0f, 0.0f, 512.0f, 32.0f, 4, 1, 1};   // four frames twice the sheet wide
    definition(0).count = 1;
    definition(0).type = 2;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
    for (int32_t i = 0; i < 3; ++i) updateParticles();
    drawParticles(0, 0);
    EXPECT_EQ(count("drawPrimitiveUP"), 1);
    EXPECT_FLOAT_EQ(gParticleQuad[1].v, (3.0f * 32.0f + 32.0f - 0.5f) / 256.0f) << "frame 3, one column: three rows down";
    gEffectImages[0].x1 = 0.0f;   // and no width at all
    gfxRecordClear();
    drawParticles(0, 0);
    EXPECT_EQ(count("drawPrimitiveUP"), 1);
}

TEST_F(ParticleDrawing, StreaksVanish28TicksAfterAppearing) {
    EffectDefinition& d = definition(0);
    d.count = 1;
    d.type = 1;
    d.vanishTime = 100;
    d.alphaFallTime = 0;
    spawnEffect(nullptr, 0.0f, 0.0f, 0.0f, 0, 1.0f, -1, 0.0f, 0);
    gCamera.eye = Vector3{0.0f, 50.0f, 50.0f};
    for (int32_t age : {0, 27, 28}) {
        gParticles[0].age = age;
        gfxRecordClear();
        drawParticles(0, 0);
        EXPECT_EQ(count("drawPrimitiveUP"), age < 28 ? 1 : 0) << "age " << age;
    }
}

}  // namespace
