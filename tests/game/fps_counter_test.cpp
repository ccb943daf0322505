// The frame-rate counter of the debug grid in the booted game: drawn last in
// every frame with its picture, unless "dispfps" hides it, and filtered
// linearly whatever the scene left.
#include <gtest/gtest.h>

#include "engine/debug_text.h"
#include "engine/frame_loop.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "game/startup.h"
#include "tests/engine/recorded_filters.h"
#include "tests/harness/harness.h"

// The counter's label sits at (594, 468); after the last flush of a frame its
// quad is still in the batch's first six vertices.
static bool labelDrawnLast() {
    return gSpriteBatch[4].x == 594.0f && gSpriteBatch[4].y == 468.0f;
}

TEST(DebugGridFps, CounterDrawsLabelAndDigitsWithItsStates) {
    HarnessOptions options;
    options.gfx = &GFX_RECORDING;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    gFpsTexture.width = 256;
    gFpsTexture.height = 32;
    gMeasuredFps = 60;
    gShowFps = 1;
    gfxRecordClear();
    drawFpsCounter();
    EXPECT_EQ(gSpriteVertexCount, 0);   // flushed
    EXPECT_TRUE(labelDrawnLast());
    EXPECT_FLOAT_EQ(gSpriteBatch[4].u, 0.5f / 256);   // label cell (0, 0, 23, 12)
    EXPECT_FLOAT_EQ(gSpriteBatch[0].u, 23.0f / 256);
    EXPECT_EQ(gSpriteBatch[6 + 4].x, 616.0f);
    EXPECT_FLOAT_EQ(gSpriteBatch[6 + 4].u, (18 * 6 + 33 + 0.5f) / 256);
    EXPECT_EQ(gSpriteBatch[12 + 4].x, 624.0f);
    EXPECT_FLOAT_EQ(gSpriteBatch[12 + 4].u, 33.5f / 256);
    // Its picture on stage 0, blended by its alpha.
    EXPECT_GE(gfxRecordFind("setTexture 0 tex", 0), 0);
    EXPECT_GE(gfxRecordFind("setRenderState 4 1", 0), 0);
    EXPECT_GE(gfxRecordFind("setRenderState 5 5", 0), 0);
    EXPECT_GE(gfxRecordFind("setRenderState 6 6", 0), 0);

    // Switched off: nothing is queued.
    gShowFps = 0;
    gSpriteBatch[4].x = -1;
    drawFpsCounter();
    EXPECT_EQ(gSpriteBatch[4].x, -1.0f);
    gShowFps = 1;

    // Each frame ends with the counter, unless "dispfps" hides it.
    harnessRunTicks(1);
    EXPECT_TRUE(labelDrawnLast());
    gDispFps = 1;
    gSpriteBatch[4].x = -1;
    harnessRunTicks(1);
    EXPECT_FALSE(labelDrawnLast());
    harnessShutdown();
    gDispFps = 0;
    gFpsTexture = TextureSlot{};
}

// The digits are scaled down from 16 x 32 texels; they must not come out
// point-sampled because the scene's last draw left it so.
TEST(DebugGridFps, CounterFiltersLinearlyWhateverTheSceneLeft) {
    HarnessOptions options;
    options.gfx = &GFX_RECORDING;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    gMeasuredFps = 60;
    gShowFps = 1;
    gfxRecordClear();
    leavePointFiltering();
    drawFpsCounter();
    RecordedFilterDraws draws = recordedFilterDraws();
    EXPECT_GT(draws.draws, 0);
    EXPECT_EQ(draws.linear, draws.draws);
    harnessShutdown();
}
