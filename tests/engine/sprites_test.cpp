// The sprite batch: scaling to the back buffer, the shake offset, texture
// coordinates, vertex order and the batch limit; mirrored and pixel quads;
// the draw call of a flush; rotated quads and squares; partial texts; and
// solid quads read back from the headless renderer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/render_states.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/state_snapshot.h"
#include "platform/thread.h"
#include "tests/engine/font_draw_rig.h"

class SpriteBatch : public ::testing::Test {
protected:
    void SetUp() override {
        gScreenSize = {640, 480};
        gCameraShake = CameraShake{};
        gSpriteVertexCount = 0;
        slot.width = 64;
        slot.height = 32;
    }
    void TearDown() override {
        gSpriteVertexCount = 0;
    }
    StateScope state{&ENGINE_STATE};
    TextureSlot slot;
};

TEST_F(SpriteBatch, InitWritesTheConstantFieldsOfEveryVertex) {
    for (SpriteVertex& v : gSpriteBatch) {
        v.z = 5;
        v.rhw = 5;
        v.specular = 5;
    }
    initSpriteVertices();
    for (int32_t i = 0; i < SPRITE_VERTEX_MAX; ++i) {
        ASSERT_EQ(gSpriteBatch[i].z, 0.0f) << i;
        ASSERT_EQ(gSpriteBatch[i].rhw, 1.0f) << i;
        ASSERT_EQ(gSpriteBatch[i].specular, 0u) << i;
    }
}

TEST_F(SpriteBatch, QuadScalesToTheBackBufferAndTruncatesOnlyThePosition) {
    gScreenSize = {1024, 768};
    SpriteDest dst = {10.6f, 20.4f, 100, 50};
    addSpriteQuad(dst, {0, 0, 64, 32}, slot, 0xFF102030);
    // 16.96 and 32.64 truncated; the size scaled by 1.6 as it is.
    EXPECT_EQ(dst.x, 16.0f);
    EXPECT_EQ(dst.y, 32.0f);
    EXPECT_FLOAT_EQ(dst.width, 160.0f);
    EXPECT_FLOAT_EQ(dst.height, 80.0f);
    EXPECT_EQ(gSpriteVertexCount, 6);
    // Top-left corner at vertex 4, bottom-right at vertex 0.
    EXPECT_EQ(gSpriteBatch[4].x, 16.0f);
    EXPECT_EQ(gSpriteBatch[4].y, 32.0f);
    EXPECT_FLOAT_EQ(gSpriteBatch[0].x, 176.0f);
    EXPECT_FLOAT_EQ(gSpriteBatch[0].y, 112.0f);
    EXPECT_EQ(gSpriteBatch[3].diffuse, 0xFF102030u);
}

TEST_F(SpriteBatch, VerticesFormTwoTrianglesWithHalfTexelOnLeftAndTop) {
    SpriteDest dst = {100, 50, 64, 32};
    addSpriteQuad(dst, {0, 0, 64, 32}, slot, 0xFFFFFFFF);
    const float L = 100, T = 50, R = 164, B = 82;
    const float UL = 0.5f / 64, UR = 1, VT = 0.5f / 32, VB = 1;
    // (right, bottom), (left, bottom), (right, top), (left, bottom), (left, top), (right, top)
    const SpriteVertex WANT[6] = {
        {R, B, 0, 0, 0, 0, UR, VB}, {L, B, 0, 0, 0, 0, UL, VB}, {R, T, 0, 0, 0, 0, UR, VT},
        {L, B, 0, 0, 0, 0, UL, VB}, {L, T, 0, 0, 0, 0, UL, VT}, {R, T, 0, 0, 0, 0, UR, VT},
    };
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(gSpriteBatch[i].x, WANT[i].x) << "vertex " << i;
        EXPECT_EQ(gSpriteBatch[i].y, WANT[i].y) << "vertex " << i;
        EXPECT_FLOAT_EQ(gSpriteBatch[i].u, WANT[i].u) << "vertex " << i;
        EXPECT_FLOAT_EQ(gSpriteBatch[i].v, WANT[i].v) << "vertex " << i;
    }
}

TEST_F(SpriteBatch, ShakeMovesEveryQuadByWholePixels) {
    gCameraShake.spriteX = 3;
    gCameraShake.spriteY = -2;
    SpriteDest a = {10.6f, 20.4f, 8, 8};
    SpriteDest b = {300, 400, 16, 16};
    addSpriteQuad(a, {0, 0, 8, 8}, slot, 0xFFFFFFFF);
    addSpriteQuad(b, {0, 0, 16, 16}, slot, 0xFFFFFFFF);
    EXPECT_EQ(a.x, 13.0f);
    EXPECT_EQ(a.y, 18.0f);
    EXPECT_EQ(gSpriteBatch[6 + 4].x, 303.0f);
    EXPECT_EQ(gSpriteBatch[6 + 4].y, 398.0f);
    EXPECT_EQ(gSpriteVertexCount, 12);
}

TEST_F(SpriteBatch, FlushEmptiesTheBatch) {
    flushSprites();   // empty: nothing to do
    EXPECT_EQ(gSpriteVertexCount, 0);
    SpriteDest dst = {0, 0, 10, 10};
    addSpriteQuad(dst, {0, 0, 10, 10}, slot, 0xFFFFFFFF);
    flushSprites();
    EXPECT_EQ(gSpriteVertexCount, 0);
    // The next quad starts at the front again.
    dst = {40, 0, 10, 10};
    addSpriteQuad(dst, {0, 0, 10, 10}, slot, 0xFFFFFFFF);
    EXPECT_EQ(gSpriteBatch[4].x, 40.0f);
}

TEST_F(SpriteBatch, FullBatchDropsFurtherQuadsAndKeepsThoseQueued) {
    for (int32_t i = 0; i < SPRITE_QUAD_MAX; ++i) {
        SpriteDest dst = {(float)(i % 640), 0, 1, 1};
        addSpriteQuad(dst, {0, 0, 1, 1}, slot, 0xFFFFFFFF);
    }
    ASSERT_EQ(gSpriteVertexCount, SPRITE_VERTEX_MAX);
    SpriteVertex last = gSpriteBatch[SPRITE_VERTEX_MAX - 1];
    SpriteDest extra = {5, 5, 1, 1};
    addSpriteQuad(extra, {0, 0, 1, 1}, slot, 0xFF000000);
    EXPECT_EQ(gSpriteVertexCount, SPRITE_VERTEX_MAX);
    EXPECT_EQ(gSpriteBatch[SPRITE_VERTEX_MAX - 1].diffuse, last.diffuse);
    EXPECT_EQ(gSpriteBatch[SPRITE_VERTEX_MAX - 1].x, last.x);
}

TEST_F(SpriteBatch, MirroredQuadRunsItsTextureFromRightToLeft) {
    SpriteDest dst = {0, 0, 64, 32};
    addSpriteQuadMirrored(dst, {0, 0, 64, 32}, slot, 0xFFFFFFFF);
    // Left column (vertices 1, 3, 4) and right column (0, 2, 5).
    for (int i : {1, 3, 4}) EXPECT_FLOAT_EQ(gSpriteBatch[i].u, 64.5f / 64) << "vertex " << i;
    for (int i : {0, 2, 5}) EXPECT_FLOAT_EQ(gSpriteBatch[i].u, 0.0f) << "vertex " << i;
    EXPECT_FLOAT_EQ(gSpriteBatch[4].v, 0.5f / 32);
    EXPECT_FLOAT_EQ(gSpriteBatch[0].v, 1.0f);
}

TEST_F(SpriteBatch, PixelQuadsAreGivenInBackBufferPixels) {
    for (int32_t width : {640, 1024, 1280}) {
        gScreenSize = {width, width * 3 / 4};
        gSpriteVertexCount = 0;
        SpriteDest dst = {100, 50, 200, 100};
        addSpriteQuadPixels(dst, {0, 0, 64, 32}, slot, 0xFFFFFFFF);
        EXPECT_EQ(dst.x, 100.0f) << "the caller's record is left alone";
        EXPECT_EQ(gSpriteBatch[4].x, 100.0f) << width;
        EXPECT_EQ(gSpriteBatch[4].y, 50.0f) << width;
        EXPECT_NEAR(gSpriteBatch[0].x, 300.0f, 1e-3) << width;
        EXPECT_NEAR(gSpriteBatch[0].y, 150.0f, 1e-3) << width;
    }
}

// The batch's calls on the recording device.
class SpriteDraw : public ::testing::Test {
protected:
    void SetUp() override {
        gScreenSize = {640, 480};
        gCameraShake = CameraShake{};
        gSpriteVertexCount = 0;
        ASSERT_TRUE(GFX_RECORDING.open());
        gGfxDevice = GFX_RECORDING.createDevice(GfxPresentParams{640, 480, GFX_FORMAT_A8R8G8B8, true, true,
                                                                 GFX_FORMAT_D16, false});
        ASSERT_NE(gGfxDevice, nullptr);
        gfxRecordClear();
    }
    void TearDown() override {
        GFX_RECORDING.destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
        GFX_RECORDING.close();
        gSpriteVertexCount = 0;
    }
    std::string line(int32_t i) const { return i < gGfxRecord.count ? gGfxRecord.lines[i] : ""; }
    StateScope state{&ENGINE_STATE};
    TextureSlot slot = {nullptr, 64, 32, 0};
};

TEST_F(SpriteDraw, FlushDrawsTheQueueAsOneTriangleListAndEmptiesIt) {
    flushSprites();
    EXPECT_EQ(gGfxRecord.count, 0) << "an empty batch touches nothing";
    SpriteDest a = {0, 0, 10, 10}, b = {20, 0, 10, 10};
    addSpriteQuad(a, {0, 0, 8, 8}, slot, 0xFFFFFFFF);
    addSpriteQuad(b, {0, 0, 8, 8}, slot, 0xFFFFFFFF);
    flushSprites();
    ASSERT_EQ(gGfxRecord.count, 2);
    EXPECT_EQ(line(0), "setVertexFormat " + std::to_string(SPRITE_VERTEX_FORMAT));
    EXPECT_EQ(line(1), "drawPrimitiveUP 0 4 32");
    EXPECT_EQ(gSpriteVertexCount, 0);
    EXPECT_EQ(SPRITE_VERTEX_FORMAT, (uint32_t)(GFX_FVF_XYZRHW | GFX_FVF_DIFFUSE | GFX_FVF_SPECULAR | GFX_FVF_TEX1));
}

// The corners of a rotated quad: (left, top), (left, bottom), (right, top),
// (right, bottom) of the pivot's offsets, turned and scaled.
TEST_F(SpriteDraw, QuarterTurnedQuadStandsUprightMirroredWithoutTheShake) {
    gCameraShake.spriteX = 3;
    gCameraShake.spriteY = -2;
    const float S = 1.6f;
    for (int32_t width : {640, 1024}) {
        gScreenSize = {width, width * 3 / 4};
        float s = width == 640 ? 1.0f : S;
        gfxRecordClear();
        drawRotatedQuad(320, 240, 3.14159265f / 2, {-16, -54, 16, 10}, {0.1f, 0.2f, 0.3f, 0.4f}, 0xFF445566);
        const float WANT[4][2] = {{336, 186}, {336, 250}, {304, 186}, {304, 250}};
        const float U[4] = {0.1f, 0.1f, 0.3f, 0.3f}, V[4] = {0.2f, 0.4f, 0.2f, 0.4f};
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(gSpriteBatch[k].x, WANT[k][0] * s, 1e-3) << width << " vertex " << k;
            EXPECT_NEAR(gSpriteBatch[k].y, WANT[k][1] * s, 1e-3) << width << " vertex " << k;
            EXPECT_EQ(gSpriteBatch[k].u, U[k]);
            EXPECT_EQ(gSpriteBatch[k].v, V[k]);
            EXPECT_EQ(gSpriteBatch[k].diffuse, 0xFF445566u);
        }
        EXPECT_EQ(line(0), "setVertexFormat " + std::to_string(SPRITE_VERTEX_FORMAT));
        EXPECT_EQ(line(1), "drawPrimitiveUP 1 2 32");
        EXPECT_EQ(gSpriteVertexCount, 0);
    }
}

TEST_F(SpriteDraw, RotatedSquareCornersTurnAboutTheCentre) {
    struct SquareCase {
        float angle;
        float want[4][2];   // the strip's four corners
    };
    const float R = 32.0f * std::sqrt(2.0f);
    const SquareCase CASES[] = {
        {0, {{464, 408}, {464, 472}, {528, 408}, {528, 472}}},
        // An eighth turn puts the corners on the axes, the top left one at the left.
        {3.14159265f / 4, {{496 - R, 440}, {496, 440 + R}, {496, 440 - R}, {496 + R, 440}}},
    };
    for (const SquareCase& c : CASES) {
        drawRotatedSquare({496, 440, 32, c.angle}, {0.00078125f, 0.003125f, 0.25f, 1.0f}, 0xFFFFFFFF);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NEAR(gSpriteBatch[k].x, c.want[k][0], 1e-3) << "angle " << c.angle << " vertex " << k;
            EXPECT_NEAR(gSpriteBatch[k].y, c.want[k][1], 1e-3) << "angle " << c.angle << " vertex " << k;
        }
        EXPECT_EQ(gSpriteBatch[0].u, 0.00078125f);
        EXPECT_EQ(gSpriteBatch[3].v, 1.0f);
    }
}

// A solid quad through the batch, read back from the headless renderer at
// two back-buffer sizes: exactly the pixels from the truncated position over
// the scaled size, nothing around them.
TEST(SpriteReadBack, SolidQuadLandsOnExactlyItsPixels) {
    threadMarkMain();
    StateScope state{&ENGINE_STATE};
    ASSERT_TRUE(GFX_HEADLESS.open());
    struct SizeCase {
        int32_t width, height;
        int32_t left, top, right, bottom;   // pixels covered: [left, right) x [top, bottom)
    };
    // Logical (10.6, 20.4) 30 x 20: at 640 from (10, 20); at 1280 from (21, 40), 60 x 40.
    const SizeCase CASES[] = {{640, 480, 10, 20, 40, 40}, {1280, 960, 21, 40, 81, 80}};
    for (const SizeCase& c : CASES) {
        gScreenSize = {c.width, c.height};
        gGfxDevice = GFX_HEADLESS.createDevice(GfxPresentParams{c.width, c.height, GFX_FORMAT_A8R8G8B8, true, true,
                                                               GFX_FORMAT_D16, false});
        ASSERT_NE(gGfxDevice, nullptr);
        GfxTexture* white = gGfxDevice->createTexture(8, 8, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        GfxLockedRect locked = {};
        ASSERT_EQ(gGfxDevice->lockRect(white, 0, &locked), GFX_OK);
        for (int32_t row = 0; row < 8; ++row) memset((uint8_t*)locked.bits + row * locked.pitch, 0xFF, 32);
        gGfxDevice->unlockRect(white, 0);
        TextureSlot slot = {white, 8, 8, 0};

        gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        gGfxDevice->beginScene();
        set2DRenderStates();
        gGfxDevice->setTexture(0, white);
        SpriteDest dst = {10.6f, 20.4f, 30, 20};
        addSpriteQuad(dst, {0, 0, 8, 8}, slot, 0xFF3366CC);
        flushSprites();
        gGfxDevice->endScene();
        std::vector<uint32_t> pixels((size_t)c.width * c.height);
        ASSERT_TRUE(gGfxDevice->readBackBuffer(pixels.data(), c.width, c.height));
        int32_t wrong = 0;
        for (int32_t y = c.top - 2; y < c.bottom + 2; ++y)
            for (int32_t x = c.left - 2; x < c.right + 2; ++x) {
                bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                uint32_t want = inside ? 0xFF3366CCu : 0xFF000000u;
                if (pixels[(size_t)y * c.width + x] != want && ++wrong <= 4)
                    ADD_FAILURE() << c.width << "x" << c.height << " pixel (" << x << ", " << y << ") is " << std::hex
                                  << pixels[(size_t)y * c.width + x] << ", want " << want;
            }
        EXPECT_EQ(wrong, 0);
        gGfxDevice->releaseTexture(white);
        GFX_HEADLESS.destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
    }
    GFX_HEADLESS.close();
}

// With the game folder's font: the glyphs drawn are those of the first
// count characters, a double-byte character counting once.
class SpriteText : public ::testing::Test {
protected:
    void SetUp() override {
        rig.open(false);
        ASSERT_NE(rig.device, nullptr);
    }
    void TearDown() override { rig.close(); }

    FontDrawRig rig;
};

TEST_F(SpriteText, PartialTextDrawsTheFirstCharactersAndCountsTheRest) {
    auto glyphDraws = [] {
        int32_t n = 0;
        for (int32_t i = 0; i < gGfxRecord.count; ++i) n += strncmp(gGfxRecord.lines[i], "drawPrimitiveUP", 15) == 0;
        return n;
    };
    const char* text = "\x82\xa0\x82\xa2" "ab";   // two double-byte characters, then two single-byte ones
    gfxRecordClear();
    EXPECT_EQ(drawTextPartial(100, 100, text, 0xFFFFFFFF, 1.0f, 3), 3);
    EXPECT_EQ(glyphDraws(), 3);
    gfxRecordClear();
    EXPECT_EQ(drawTextPartial(100, 100, text, 0xFFFFFFFF, 1.0f, 0), 0);
    EXPECT_EQ(gGfxRecord.count, 0);
    EXPECT_EQ(drawTextPartial(100, 100, "", 0xFFFFFFFF, 1.0f, 5), 0);
    EXPECT_EQ(drawTextPartial(100, 100, "abc", 0xFFFFFFFF, 1.0f, 9), 2);
}
