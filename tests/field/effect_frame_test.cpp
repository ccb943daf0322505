// Whole frames of the booted game on the recording device: the order in
// which a shop frame and a dungeon frame run the world's passes, the sun's
// glare and flare, the effect passes and the overlay over the HUD, told
// apart by the pictures each binds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dungeon/dungeon_state.h"
#include "adventurers/adventurers_state.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/stage_index.h"
#include "engine/state_snapshot.h"
#include "field/effect_banks.h"
#include "field/effect_images.h"
#include "field/field.h"
#include "field/field_state.h"
#include "field/resources.h"
#include "shop/shop.h"
#include "tests/field/shop_scene.h"
#include "tests/harness/harness.h"
#include "tests/harness/saved_game.h"

namespace {

class EffectPassFrame : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK); }
    void TearDown() override { harnessShutdown(); }

    // The recording device's line for binding a texture to stage 0.
    static std::string bind(GfxTexture* texture) {
        gGfxDevice->setTexture(0, texture);
        std::string line = gGfxRecord.lines[gGfxRecord.count - 1];
        --gGfxRecord.count;
        return line;
    }
    // The first line at or after from that starts with the prefix; -1 none.
    static int32_t find(const std::string& prefix, int32_t from) {
        for (int32_t i = from < 0 ? 0 : from; i < gGfxRecord.count; ++i)
            if (strncmp(gGfxRecord.lines[i], prefix.c_str(), prefix.size()) == 0) return i;
        return -1;
    }
    // A definition of the sample banks that adds (draw method 0): one
    // particle in the world in front of the camera, one on the screen.
    // Its picture group's texture is what both binds.
    static void spawnParticlesInBothSpaces(const Vector3& at, GfxTexture** picture) {
        int32_t chosen = -1;
        for (int32_t n = 0; n < EFFECT_COUNT && chosen < 0; ++n) {
            const EffectDefinition& d = gEffectBanks.definitions[n];
            if (d.drawMethod == 0 && d.count > 0 && d.appearTime <= 0.0f && d.type != 5) chosen = n;
        }
        ASSERT_GE(chosen, 0);
        *picture = gEffectImageTextures[gEffectImages[gEffectBanks.definitions[chosen].image].group].texture;
        ASSERT_NE(*picture, nullptr);
        spawnEffect(nullptr, at.x, at.y, at.z, chosen, 1.0f, -1, 0.0f, 0);
        spawnScreenEffect(320.0f, 240.0f, chosen, 1.0f, -1, 0);
    }
    // Two frames (the flare fades in), the second recorded.
    static void drawTwoFrames() {
        renderFrame();
        gfxRecordClear();
        renderFrame();
        ASSERT_LT(gGfxRecord.count, GFX_RECORD_MAX) << "the whole frame is in the log";
    }
};

TEST_F(EffectPassFrame, AShopFrameRunsItsPassesInOrder) {
    enterShopScene();
    ASSERT_EQ(gCurrentStage->maptype, 0);
    ASSERT_EQ(gCurrentStage->sunMode, STAGE_SUN_DAY);
    ASSERT_NE(gFlareSlot.texture, nullptr) << "the flare atlas is loaded with the stage";
    // Looking just past the sun, with a gem, a shelf item and two particles in view.
    const float* sun = gCurrentStage->sunpos;
    gCamera.target = Vector3{sun[0] + 20.0f, sun[1], sun[2]};
    buildRolledViewMatrix();
    Vector3 ahead = vec3Lerp(gCamera.eye, gCamera.target, 0.02f);
    gPickups[0].kind = 2;
    gPickups[0].x = ahead.x, gPickups[0].y = ahead.y, gPickups[0].z = ahead.z;
    GameState& game = runningGameState();
    game.shelves[3][5] = gItemDefinitions[0].id << ITEM_KEY_ID_SHIFT;
    ASSERT_NE(itemIconSheet(gItemDefinitions[0].category).texture, nullptr);
    GfxTexture* particles = nullptr;
    spawnParticlesInBothSpaces(ahead, &particles);
    drawTwoFrames();

    int32_t map = find("drawIndexedPrimitive", 0);
    int32_t glare = find(bind(gFlareSlot.texture), map);
    int32_t shadows = find(bind(gShadeTexture.texture), glare);
    int32_t gems = find(bind(gMagicGemTexture.texture), shadows);
    int32_t shelf = find(bind(itemIconSheet(gItemDefinitions[0].category).texture), gems);
    int32_t worldParticles = find(bind(particles), shelf);
    int32_t flare = find(bind(gFlareSlot.texture), worldParticles);
    int32_t hud = find("drawPrimitiveUP 0 ", flare + 1);
    int32_t screenCamera = find("setTransform 1", hud);
    int32_t overlayParticles = find(bind(particles), screenCamera);
    const int32_t order[] = {map, glare, shadows, gems, shelf, worldParticles, flare, hud, screenCamera, overlayParticles};
    const char* const names[] = {"map", "glare", "shadows", "gems", "shelf", "world particles", "flare", "hud",
                                 "screen camera", "overlay particles"};
    for (int32_t k = 0; k < 10; ++k) EXPECT_GE(order[k], 0) << names[k];
    EXPECT_GT(gFlareState.brightness, 0.0f);
}

TEST_F(EffectPassFrame, ADungeonFrameRunsItsPassesInOrder) {
    const char code[] = "1-1";
    gStageIndex = stageCodeIndex(code, code + 3);
    ASSERT_GE(gStageIndex, 0);
    loadFieldResources();
    gGameMode = GAME_MODE_FIELD;
    gFieldCamera.cameraFrozen = 1;
    gCamera.eye = Vector3{0.0f, 10.0f, 10.0f};
    gCamera.target = Vector3{0.0f, 0.0f, 0.0f};
    buildRolledViewMatrix();
    gPickups[0].kind = 1;
    GfxTexture* particles = nullptr;
    spawnParticlesInBothSpaces(Vector3{0.0f, 1.0f, 0.0f}, &particles);
    drawTwoFrames();

    int32_t shadows = find(bind(gShadeTexture.texture), 0);
    int32_t gems = find(bind(gMagicGemTexture.texture), shadows);
    int32_t worldParticles = find(bind(particles), gems);
    int32_t hud = find("drawPrimitiveUP 0 ", worldParticles);
    int32_t screenCamera = find("setTransform 1", hud);
    int32_t overlayParticles = find(bind(particles), screenCamera);
    const int32_t order[] = {shadows, gems, worldParticles, hud, screenCamera, overlayParticles};
    const char* const names[] = {"shadows", "gems", "world particles", "hud", "screen camera", "overlay particles"};
    for (int32_t k = 0; k < 6; ++k) EXPECT_GE(order[k], 0) << names[k];
    // A stage with no light in its sky: the glare pass binds the atlas with
    // its states, but neither it nor the flare draws.
    EXPECT_EQ(gCurrentStage->sunMode, STAGE_SUN_NONE);
    int32_t glare = find(bind(gFlareSlot.texture), 0);
    EXPECT_GE(glare, 0);
    EXPECT_EQ(find(bind(gFlareSlot.texture), glare + 1), -1);
}

// In a game continued from its save, every shelf cell of the shop's own
// layout stocked shows its icon over the shelf: the frame changes around
// the cells' points and nowhere else.
TEST(EffectPassPixels, AContinuedGamesStockedShelvesShowTheirIcons) {
    constexpr int32_t W = 640, H = 480;
    ASSERT_TRUE(harnessBootSavedGame(harnessDrawingOptions()));
    ASSERT_EQ(gCurrentStage->maptype, 0);
    harnessRunTicks(90);   // the shop fades in
    GameState& game = runningGameState();
    const StateTable* tables[] = {&ENGINE_STATE, &FIELD_STATE, &DUNGEON_STATE, &ADVENTURERS_STATE};
    StateSnapshot start;
    takeStateSnapshot(start, tables, 4);
    int32_t key = gItemDefinitions[0].id << ITEM_KEY_ID_SHIFT;
    auto frameWith = [&](bool stocked) {
        restoreStateSnapshot(start, tables, 4);
        buildEffectMeshes();   // kept by no snapshot: the floor start built them
        for (int32_t z = 0; z < SHOP_GRID_ROWS; ++z)
            for (int32_t x = 0; x < SHOP_GRID_COLUMNS; ++x) {
                int32_t code = gShopGrid[z * SHOP_GRID_COLUMNS + x];
                game.shelves[z][x] = stocked && code >= 2 && code <= 8 ? key : ITEM_KEY_NONE;
            }
        renderFrame();
        std::vector<uint32_t> pixels((size_t)W * H);
        EXPECT_TRUE(harnessReadFrame(pixels.data(), W, H));
        return pixels;
    };
    frameWith(false);
    std::vector<uint32_t> bare = frameWith(false);
    std::vector<uint32_t> stocked = frameWith(true);
    cacheViewProjection();
    std::vector<ScreenPoint> icons;
    for (int32_t z = 0; z < SHOP_GRID_ROWS; ++z)
        for (int32_t x = 0; x < SHOP_GRID_COLUMNS; ++x)
            if (game.shelves[z][x] != ITEM_KEY_NONE) {
                ScreenPoint at = {};
                mapWorldToScreen((float)(2 * x - 9), 2.4f, (float)(2 * z) - 6.5f, &at);
                icons.push_back(at);
            }
    harnessShutdown();
    ASSERT_FALSE(icons.empty()) << "the layout has shelves";
    int32_t near = 0, far = 0;
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x) {
            if (bare[(size_t)y * W + x] == stocked[(size_t)y * W + x]) continue;
            bool close = false;
            for (const ScreenPoint& at : icons) close |= std::abs((float)x - at.x) < 40.0f && std::abs((float)y - at.y) < 40.0f;
            near += close;
            far += !close;
        }
    EXPECT_GT(near, 100 * (int32_t)icons.size() / 2) << icons.size() << " cells";
    EXPECT_EQ(far, 0);
}

// The glare pass draws behind the room, after it, at the far plane: with
// the moon beyond the shop's floor it shows only where the room leaves the
// screen open, as if drawn first and covered. (The moon, as no sun means no
// flare over the whole frame.)
TEST(LensFlarePixels, TheGlareShowsOnlyWhereTheRoomLeavesTheScreenOpen) {
    constexpr int32_t W = 640, H = 480;
    ASSERT_EQ(harnessBoot(harnessDrawingOptions()), STARTUP_OK);
    enterShopScene();
    // Beyond the floor, a little right of the screen centre.
    Vector3 along = vec3Normalize(vec3Subtract(gCamera.target, gCamera.eye));
    Vector3 beyond = vec3Add(gCamera.eye, vec3Scale(along, 300.0f));
    float* sun = gCurrentStage->sunpos;
    sun[0] = beyond.x + 40.0f, sun[1] = beyond.y, sun[2] = beyond.z;
    gCurrentStage->sunMode = STAGE_SUN_NONE;
    const StateTable* tables[] = {&ENGINE_STATE, &FIELD_STATE, &DUNGEON_STATE, &ADVENTURERS_STATE};
    StateSnapshot start;
    takeStateSnapshot(start, tables, 4);
    auto frameWith = [&](bool glare, bool room) {
        restoreStateSnapshot(start, tables, 4);
        gCurrentStage->moonOn = glare;
        if (!room) gPlacedBlocks.countA = gPlacedBlocks.countB = 0;
        renderFrame();
        std::vector<uint32_t> pixels((size_t)W * H);
        EXPECT_TRUE(harnessReadFrame(pixels.data(), W, H));
        return pixels;
    };
    frameWith(false, true);   // the first frame after a load starts from the loader's states
    std::vector<uint32_t> lit = frameWith(true, true);
    std::vector<uint32_t> unlit = frameWith(false, true);
    std::vector<uint32_t> openLit = frameWith(true, false);
    std::vector<uint32_t> open = frameWith(false, false);
    int32_t overRoom = 0, hidden = 0;
    for (size_t i = 0; i < lit.size(); ++i) {
        bool roomDrew = unlit[i] != open[i];
        bool glareDrew = openLit[i] != open[i];
        overRoom += roomDrew && lit[i] != unlit[i];
        hidden += roomDrew && glareDrew;
    }
    harnessShutdown();
    EXPECT_GT(hidden, 1000) << "the moon lies behind the room";
    EXPECT_EQ(overRoom, 0) << "and never shows over it";
}

}  // namespace
