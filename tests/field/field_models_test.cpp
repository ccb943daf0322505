// The motion sprites: frame numbers by direction and mirroring, the layout
// file's bounds, the scale and split, the sink fade of sprite enemies, the
// party's colour and growth, the arrow's rings, and what the model pass
// hands the device.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/archive.h"
#include "engine/motion_files.h"
#include "field/field_models.h"
#include "field/motion_sprites.h"
#include "tests/field/world_fixture.h"

namespace {

constexpr uint32_t BASE = 0x200;   // motion 0's layout

void put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = (uint8_t)(v >> 8);
    b[at + 1] = (uint8_t)v;
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    put16(b, at, v >> 16);
    put16(b, at + 2, v & 0xFFFF);
}

// Motion 0 with a 64-pixel layout: frame 10 + c shows one cell at layout
// position c; frame 20 two cells, positions 0 (row 0) and 4 (row 2, below
// the middle row).
class FieldModelsSprite : public ::testing::Test {
protected:
    void SetUp() override {
        memset(&gMotions[0], 0, sizeof gMotions[0]);
        MotionRecord& m = gMotions[0];
        m.layoutWidth = 64;
        m.layoutTop = 64;
        m.scalePercent = 100;
        for (int32_t c = 0; c < 6; ++c) m.frames[0][c] = 10 + c;
        for (int32_t c = 0; c < 6; ++c) m.frames[1][c] = 20;
        std::vector<uint8_t> b(BASE + 0x800 + 2 * 16, 0);
        put32(b, 0, BASE);
        for (int32_t f = 10; f < 16; ++f) {
            put16(b, BASE + 0x400 + 2 * f, 1);
            put16(b, BASE + 0x600 + 2 * f, (uint32_t)(f - 10));
            put16(b, BASE + 0x800 + 2 * (f - 10), (uint32_t)(f - 10));
        }
        put16(b, BASE + 0x400 + 2 * 20, 2);
        put16(b, BASE + 0x600 + 2 * 20, 6);
        put16(b, BASE + 0x800 + 2 * 6, 0);
        put16(b, BASE + 0x800 + 2 * 7, 4);
        gFormData = b;
    }
    void TearDown() override {
        gFormData.clear();
        memset(&gMotions[0], 0, sizeof gMotions[0]);
    }
    int32_t build(int32_t direction, int32_t motion = 0, int32_t split = 0) {
        MotionState s = {};
        s.motion = motion;
        s.direction = direction;
        s.splitTimer = split;
        return buildMotionSprite(s, 0, 128, 64, 0xFF7F7F7F, v);
    }
    SpriteCellVertex v[6 * MOTION_SPRITE_CELL_MAX];
};

}  // namespace

TEST_F(FieldModelsSprite, DirectionsPickTheirColumnAndMirror) {
    MotionState s = {};
    s.direction = 5;
    EXPECT_EQ(motionFrameNumber(s, 0), 13);   // column 3, like direction 3
    s.direction = 3;
    EXPECT_EQ(motionFrameNumber(s, 0), 13);
    s.direction = 1;
    EXPECT_EQ(motionFrameNumber(s, 0), 12);   // column 2

    // Direction 5: cell 3 (layout column 1, row 1) unmirrored, from x = 0 to 32.
    ASSERT_EQ(build(5), 6);
    EXPECT_FLOAT_EQ(v[0].x, 0.0f);
    EXPECT_FLOAT_EQ(v[1].x, 32.0f);
    EXPECT_FLOAT_EQ(v[0].y, 32.0f);    // T - 32 cy
    EXPECT_FLOAT_EQ(v[2].y, 0.0f);
    EXPECT_LT(v[0].u, v[1].u);
    // Direction 1: cell 2 (column 0, row 1) mirrored: x from 0 to 32, the
    // left edge taking the cell's right texture edge.
    ASSERT_EQ(build(1), 6);
    EXPECT_FLOAT_EQ(v[0].x, 0.0f);
    EXPECT_FLOAT_EQ(v[1].x, 32.0f);
    EXPECT_GT(v[0].u, v[1].u);
    // The sheet's cell 2 of four a row, half a texel in from each edge.
    EXPECT_FLOAT_EQ(v[0].u, (96.0f - 0.5f) / 128.0f);
    EXPECT_FLOAT_EQ(v[1].u, (64.0f + 0.5f) / 128.0f);
    EXPECT_FLOAT_EQ(v[0].v, 0.5f / 64.0f);
    EXPECT_FLOAT_EQ(v[2].v, 31.5f / 64.0f);
}

TEST_F(FieldModelsSprite, ScaleValueOf150DrawsOneAndAHalfTimesAsLarge) {
    ASSERT_EQ(build(5), 6);
    float width100 = v[1].x - v[0].x, top100 = v[0].y;
    gMotions[0].scalePercent = 150;
    ASSERT_EQ(build(5), 6);
    EXPECT_FLOAT_EQ(v[1].x - v[0].x, 1.5f * width100);
    EXPECT_FLOAT_EQ(v[0].y, 1.5f * top100);
}

TEST_F(FieldModelsSprite, SplitShiftsRowsApart) {
    // Rows up to the middle one (columns / 2) move one way, the others the other.
    ASSERT_EQ(build(5, 1, 0), 12);
    float x0 = v[0].x, x3 = v[6].x;
    ASSERT_EQ(build(5, 1, 10), 12);
    float shift = sinf(10.0f * 1.5707964f / 20.0f) * 64.0f * 0.2f;
    EXPECT_NEAR(v[0].x, x0 - shift, 1e-4);
    EXPECT_NEAR(v[6].x, x3 + shift, 1e-4);
    ASSERT_EQ(build(5, 1, 25), 12);
    EXPECT_NEAR(v[0].x, x0 - 64.0f * 0.2f, 1e-4);
    EXPECT_NEAR(v[6].x, x3 + 64.0f * 0.2f, 1e-4);
}

TEST_F(FieldModelsSprite, FlashAndTintColourTheCorners) {
    MotionState s = {};
    s.direction = 5;
    s.whiteFlash = 3;
    ASSERT_EQ(buildMotionSprite(s, 0, 128, 64, 0x807F7F7F, v), 6);
    EXPECT_EQ(v[0].color, 0x80FFFFFFu);
    s.whiteFlash = 0;
    s.tint = 5;
    ASSERT_EQ(buildMotionSprite(s, 0, 128, 64, 0x807F7F7F, v), 6);
    EXPECT_EQ(v[0].color, 0x809F209Fu);
    s.tintSuppress = 1;
    ASSERT_EQ(buildMotionSprite(s, 0, 128, 64, 0x807F7F7F, v), 6);
    EXPECT_EQ(v[0].color, 0x807F7F7Fu);
}

TEST_F(FieldModelsSprite, DamagedLayoutsAndSmallSheetsDrawNothingOutOfBounds) {
    FormFrame f;
    const uint32_t size = (uint32_t)gFormData.size();
    EXPECT_TRUE(readFormFrame(gFormData.data(), size, 0, 20, &f));
    EXPECT_EQ(f.count, 2);
    // The layout's tables beyond the file.
    EXPECT_FALSE(readFormFrame(gFormData.data(), BASE + 0x7FF, 0, 20, &f));
    // A cell list running past the file's end.
    put16(gFormData, BASE + 0x400 + 2 * 21, 0xFFFF);
    EXPECT_FALSE(readFormFrame(gFormData.data(), size, 0, 21, &f));
    // An offset past the file, a motion without an offset, a frame past 255.
    put32(gFormData, 4, 0xFFFFFFF0u);
    EXPECT_FALSE(readFormFrame(gFormData.data(), size, 1, 10, &f));
    EXPECT_FALSE(readFormFrame(gFormData.data(), 3, 0, 10, &f));
    EXPECT_FALSE(readFormFrame(gFormData.data(), size, 0, 1023, &f));
    EXPECT_FALSE(readFormFrame(gFormData.data(), size, 68, 10, &f));
    // A HALT value is no frame: nothing drawn.
    gMotions[0].frames[0][3] = MOTION_HOLD;
    EXPECT_EQ(build(5), 0);
    // A cell whose list entry lies beyond the sheet is left out: the
    // 32 x 32 sheet holds entry 0 only.
    MotionState s = {};
    s.motion = 1;
    s.direction = 5;
    EXPECT_EQ(buildMotionSprite(s, 0, 32, 32, 0xFF7F7F7F, v), 0);   // entries 6 and 7
    s.motion = 0;
    s.direction = 0;
    EXPECT_EQ(buildMotionSprite(s, 0, 32, 32, 0xFF7F7F7F, v), 6);   // entry 0
    // A layout narrower than a cell, a sheet narrower than a cell.
    EXPECT_EQ(buildMotionSprite(s, 0, 16, 32, 0xFF7F7F7F, v), 0);
    gMotions[0].layoutWidth = 16;
    EXPECT_EQ(buildMotionSprite(s, 0, 128, 64, 0xFF7F7F7F, v), 0);
    // A state outside the record.
    s.motion = 20;
    EXPECT_EQ(motionFrameNumber(s, 0), -1);
    s.motion = 0;
    s.keyIndex = 43;
    EXPECT_EQ(motionFrameNumber(s, 0), -1);
    s.keyIndex = 0;
    s.direction = 8;
    EXPECT_EQ(motionFrameNumber(s, 0), -1);
}

TEST(FieldModels, SinkingEnemiesFadeAndVanish) {
    struct Case { float height; int32_t alpha; };
    const Case CASES[] = {{0.0f, 255}, {-70.0f, 255}, {-72.0f, 155}, {-75.0f, 5}, {-75.01f, -1}, {-100.0f, -1}};
    for (const Case& c : CASES) EXPECT_EQ(sinkAlpha(c.height), c.alpha) << c.height;
}

TEST(FieldModels, PartyGrowsInDuringTheFloorStart) {
    EXPECT_LT(partyGrowFactor(91), 0.0f);
    EXPECT_FLOAT_EQ(partyGrowFactor(90), 0.0f);
    EXPECT_FLOAT_EQ(partyGrowFactor(75), 0.5f);
    EXPECT_FLOAT_EQ(partyGrowFactor(60), 1.0f);
    EXPECT_FLOAT_EQ(partyGrowFactor(0), 1.0f);
}

TEST(FieldModels, PartyColourFollowsLightStatusAndGlow) {
    PartyTint t = {};
    t.lightLevel = 1.0f;
    t.alpha = 200;
    t.member = 1;
    EXPECT_EQ(partyMemberColor(t), 0xC8808080u);   // 32 + 96 = 128
    t.member = 0;
    EXPECT_EQ(partyMemberColor(t), 0xC8808080u);   // no status, no glow
    t.status[0] = 1;                                // pulse 0.8 at counter 0
    EXPECT_EQ(partyMemberColor(t), 0xC84D4D5Au);   // 128 - 51, 128 - 51, 128 - 38
    t.status[0] = 0;
    t.status[1] = 1;
    t.glowA = 10;                                   // sin(pi / 3) = 0.866
    EXPECT_EQ(partyMemberColor(t), 0xC8E5A9D3u);   // red +101, green +41, blue +83
    t.lightLevel = 6.0f;                            // capped at 255
    EXPECT_EQ(partyMemberColor(t) & 0x00FFFFFFu, 0x00FFFFFFu);
}

TEST(FieldModels, ArrowRingsOpenAfterTheirDelay) {
    float x, y;
    arrowRingOffset(155, 30, 0, &x, &y);
    EXPECT_NEAR(x, 2.0f, 1e-4);   // radius 0.1 / 0.05
    EXPECT_NEAR(y, 0.0f, 1e-4);
    arrowRingOffset(155, 65, 0, &x, &y);
    EXPECT_NEAR(std::hypot(x, y), 10.0f, 1e-3);   // radius 0.5
    EXPECT_NEAR(std::atan2(y, x), 1.0f, 1e-4);    // turned by 1.0 radian
    arrowRingOffset(155, 100, 1, &x, &y);
    EXPECT_NEAR(std::hypot(x, y), 50.0f, 1e-3);   // capped at 2.5
    arrowRingOffset(156, 25, 0, &x, &y);
    EXPECT_NEAR(std::hypot(x, y), 10.0f, 1e-3);   // kind 156 waits 20 ticks
}

// The model pass on the recording device: which sprite enemies and party
// members reach the device, and with which blend.
class FieldModelsPass : public WorldFixture {
protected:
    void SetUp() override {
        WorldFixture::SetUp();
        stage.maptype = 1;
        std::vector<uint8_t> b(BASE + 0x800 + 2, 0);
        put32(b, 4 * 5, BASE);
        put16(b, BASE + 0x400, 1);   // frame 0: one cell
        gFormData = b;
        memset(&gMotions[5], 0, sizeof gMotions[5]);
        gMotions[5].layoutWidth = 32;
        gMotions[5].scalePercent = 100;
        gCharacterTextures[5].width = gCharacterTextures[5].height = 64;
        gEnemyKinds[7] = spriteKind("slime", 5);
        Enemy& e = gEnemies[0];
        e.state = ENEMY_ALIVE;
        e.kind = 7;
        e.alpha = 255;
        e.fadeIn = 1.0f;
        e.scaleX = e.scaleY = e.sizeFactor = 1.0f;
        for (int32_t m = 0; m < PARTY_MEMBER_COUNT; ++m) gParty.models[m] = -1;
    }
    void TearDown() override {
        gFormData.clear();
        memset(&gMotions[5], 0, sizeof gMotions[5]);
        resetEnemyKinds();
        WorldFixture::TearDown();
    }
    int32_t spriteDraws() const { return count("drawPrimitiveUP 0 2 24"); }
};

TEST_F(FieldModelsPass, SpriteEnemiesSinkAwayAndSilhouettesDarken) {
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 1);
    gfxRecordClear();
    gEnemies[0].position.y = -76.0f;
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 0) << "below -75 nothing is drawn";
    gfxRecordClear();
    gEnemies[0].position.y = -74.0f;
    gEnemies[0].silhouette = 1;
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 1);
    EXPECT_EQ(count(renderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO)), 1);
    gfxRecordClear();
    gEnemies[0].alpha = 100;   // translucent: drawn among the later passes
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 0);
    gfxRecordClear();
    drawSpriteEnemies();
    EXPECT_EQ(spriteDraws(), 1);
}

TEST_F(FieldModelsPass, PartyWaitsForTheFloorIntro) {
    gEnemies[0].state = ENEMY_FREE;
    gParty.models[0] = 5;
    gParty.memberScales[0] = gParty.memberScales[PARTY_MEMBER_COUNT] = 1.0f;
    gParty.leaderAlpha = 255;
    gRun.floorIntroTimer = 91;
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 0);
    gfxRecordClear();
    gRun.floorIntroTimer = 90;
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 1);
    gfxRecordClear();
    gRun.charDrawFlag = 1;
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 0);
}

using EnemyDrawing = FieldModelsPass;

// An enemy the pool spawned fades in over its first frames, sleeps unseen,
// and stays on screen while it dies.
TEST_F(EnemyDrawing, ASpawnedEnemyFadesInHidesAsleepAndShowsWhileDying) {
    resetEnemyPool();
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 7);
    ASSERT_NE(e, nullptr);
    gParty.positions[0] = Vector3{2.0f, 0.0f, 0.0f};
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 0) << "not faded in yet";
    gfxRecordClear();
    updateEnemies();
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 1);
    gfxRecordClear();
    e->dormancy = ENEMY_ASLEEP_UNTIL_NEAR;
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 0) << "asleep";
    gfxRecordClear();
    e->dormancy = ENEMY_AWAKE;
    killEnemy(*e);
    drawFieldModels();
    EXPECT_EQ(spriteDraws(), 1) << "dying";
    resetEnemyPool();
}
