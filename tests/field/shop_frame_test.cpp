// The sample shop floor drawn whole through the real OpenGL backend: the
// room, its floor and walls, appear over the sky when the furniture is
// placed; the stage loads without a missing file; the water frames turn.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon_state.h"
#include "engine/archive.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/math.h"
#include "engine/screen_mapping.h"
#include "engine/state_snapshot.h"
#include "field/field_state.h"
#include "field/world_renderer.h"
#include "platform/image.h"
#include "platform/window.h"
#include "shop/shop.h"
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

// The sky is drawn after the room's opaque pass, only where the room left the
// screen open: a pixel is the room's where the room drew and the sky's
// elsewhere, as when the sky was drawn first and the room over it.
TEST_F(WorldRenderShop, TheSkyShowsOnlyWhereTheRoomLeavesTheScreenOpen) {
    enterShopScene();
    ASSERT_EQ(gCurrentStage->hasMapbg, 1);
    // Each frame is drawn from the same state: the stage light pulses and
    // the water turns from frame to frame.
    const StateTable* tables[] = {&ENGINE_STATE, &FIELD_STATE, &DUNGEON_STATE, &ADVENTURERS_STATE};
    StateSnapshot start;
    takeStateSnapshot(start, tables, 4);
    auto frameWith = [&](bool sky, bool room) {
        restoreStateSnapshot(start, tables, 4);
        gCurrentStage->hasMapbg = sky;
        if (!room) gPlacedBlocks.countA = gPlacedBlocks.countB = 0;
        return frame();
    };
    frameWith(true, true);   // the first frame after a load starts from the loader's states
    std::vector<uint32_t> full = frameWith(true, true);
    std::vector<uint32_t> again = frameWith(true, true);
    std::vector<uint32_t> room = frameWith(false, true);
    std::vector<uint32_t> sky = frameWith(true, false);
    std::vector<uint32_t> empty = frameWith(false, false);
    gCurrentStage->hasMapbg = 1;

    int32_t roomPixels = 0, wrong = 0, changed = 0;
    for (size_t i = 0; i < full.size(); ++i) {
        bool roomDrew = room[i] != empty[i];
        roomPixels += roomDrew;
        wrong += full[i] != (roomDrew ? room[i] : sky[i]);
        changed += full[i] != again[i];
    }
    EXPECT_EQ(changed, 0) << "the same state draws the same frame";
    // The translucent layers drawn later over open sky blend with it, so
    // those few pixels are neither the room's nor the sky's alone.
    EXPECT_LT(wrong, W * H / 100);
    EXPECT_GT(roomPixels, W * H / 2) << "the room covers most of the screen";
    EXPECT_LT(roomPixels, W * H) << "and leaves some sky in sight";
}

// The overlay maps world points through the projection the world was drawn
// with: a point beside the heroine lands where the device drew it.
TEST_F(WorldRenderShop, TheOverlayMapsPointsWhereTheWorldDrewThem) {
    enterShopScene();
    frame();
    cacheViewProjection();
    const Matrix4 viewProjection = matrixMultiply(gCamera.view, gCamera.projection);
    for (const Vector3& at : {Vector3{-6.0f, 2.0f, 4.0f}, Vector3{5.0f, 0.0f, -3.0f}, gCamera.target}) {
        ScreenPoint mapped;
        mapWorldToScreen(at.x, at.y, at.z, &mapped);
        Vector3 ndc = vec3TransformCoord(at, viewProjection);
        EXPECT_NEAR(mapped.x, 320.0f + 320.0f * ndc.x, 0.5f);
        EXPECT_NEAR(mapped.y, 240.0f - 240.0f * ndc.y, 0.5f);
    }
    EXPECT_LT(getViewDepth(gCamera.target.x, gCamera.target.y, gCamera.target.z), 0.0f) << "in front";
}

}  // namespace

// At the counter the shopkeeper's 512 x 512 portrait rests mirrored at
// x -128, and the top bar (230.4 x 102.4 at the top left) is drawn after
// it: every face picture of hers is clear where the bar lies.
TEST(CounterPortraits, TheTopBarHidesNoPartOfTheShopkeeper) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    int32_t checked = 0;
    for (int32_t slot = 0; slot < 10; slot++) {
        const char* file = customerPictureFile(0, slot);
        if (!file) continue;
        std::string name = std::string("bmp/") + file;
        int32_t size = getArchiveEntrySize(name.c_str());
        ASSERT_GT(size, 0) << name;
        std::vector<uint8_t> bytes((size_t)size);
        ASSERT_EQ(readArchiveEntry(name.c_str(), bytes.data(), size), size) << name;
        Image picture = {};
        ASSERT_EQ(imageDecode(bytes.data(), bytes.size(), imageFileType(bytes.data(), bytes.size()), &picture), IMAGE_OK);
        ASSERT_EQ(picture.width, 512);
        int32_t shown = 0;
        // Screen x s shows column 511 - (s + 128) of the mirrored picture.
        for (int32_t y = 0; y <= 102; y++)
            for (int32_t sx = 0; sx <= 230; sx++)
                shown += (picture.pixels[(size_t)y * 512 + (size_t)(511 - (sx + 128))] >> 24) != 0;
        EXPECT_EQ(shown, 0) << name << ": texels under the top bar";
        imageFree(&picture);
        checked++;
    }
    EXPECT_GT(checked, 0);
    harnessShutdown();
}
