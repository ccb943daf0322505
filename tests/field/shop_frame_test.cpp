// The sample shop floor drawn whole through the real OpenGL backend: the
// room, its floor and walls, appear over the sky when the furniture is
// placed; the stage loads without a missing file; the water frames turn.
#include <gtest/gtest.h>

#include <vector>

#include "field/world_renderer.h"
#include "platform/window.h"
#include "tests/field/shop_scene.h"
#include "tests/harness/harness.h"

namespace {

constexpr int32_t W = 640;
constexpr int32_t H = 480;

class WorldRenderShop : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(harnessBoot(harnessDrawingOptions()), STARTUP_OK); }
    void TearDown() override { harnessShutdown(); }
    std::vector<uint32_t> frame() {
        renderFrame();
        std::vector<uint32_t> pixels((size_t)W * H);
        EXPECT_TRUE(harnessReadFrame(pixels.data(), W, H));
        return pixels;
    }
};

TEST_F(WorldRenderShop, PlacedRoomDrawsOverTheSky) {
    int32_t boxes = gHeadlessMessageBoxes.total;
    enterShopScene();
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxes) << "every model and picture of the shop is there";
    ASSERT_NE(gShopWallTextures[0].texture, nullptr);
    ASSERT_NE(gFieldTextures[3].texture, nullptr) << "the basin's four water frames";
    EXPECT_EQ(gFieldTextures[4].texture, nullptr);

    std::vector<uint32_t> room = frame();
    gPlacedBlocks.countA = gPlacedBlocks.countB = 0;
    std::vector<uint32_t> sky = frame();
    // The lower half looks down onto the floor: it changes when the room is there.
    int32_t changed = 0;
    for (int32_t y = H / 2; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
            if (room[(size_t)y * W + x] != sky[(size_t)y * W + x]) ++changed;
    EXPECT_GT(changed, W * H / 4);
    EXPECT_EQ(gWorldDraw.mapFrameCounter, 2) << "one per drawn world scene";
}

}  // namespace
