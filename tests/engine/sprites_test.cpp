// The sprite batch: scaling to the back buffer, the shake offset, texture
// coordinates, vertex order and the batch limit.
#include <gtest/gtest.h>

#include "engine/settings.h"
#include "engine/sprites.h"
#include "field/camera.h"

class SpriteBatch : public ::testing::Test {
protected:
    void SetUp() override {
        savedSize = gScreenSize;
        savedShake = gCameraShake;
        gScreenSize = {640, 480};
        gCameraShake = CameraShake{};
        gSpriteVertexCount = 0;
        slot.width = 64;
        slot.height = 32;
    }
    void TearDown() override {
        gScreenSize = savedSize;
        gCameraShake = savedShake;
        gSpriteVertexCount = 0;
    }
    ScreenSize savedSize;
    CameraShake savedShake;
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
