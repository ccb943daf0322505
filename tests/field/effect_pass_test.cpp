// The 3D effect pass, the overlay pass and the lens flare on the recording
// device: what each quad shows and where it stands (read back from the
// template quads, the device's world transform and the sprite batch), which
// particles each pass draws, and the glare's brightness and size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "field/effect_meshes.h"
#include "field/effect_passes.h"
#include "field/particles.h"
#include "field/resources.h"
#include "field/stage_light.h"
#include "field/world_renderer.h"
#include "shop/shop.h"
#include "tests/field/effects_fixture.h"

namespace {

class EffectPass : public EffectsFixture {
protected:
    void SetUp() override {
        EffectsFixture::SetUp();
        ASSERT_TRUE(GFX_RECORDING.open());
        gGfxDevice = GFX_RECORDING.createDevice(GfxPresentParams{64, 48, GFX_FORMAT_A8R8G8B8, true, true, GFX_FORMAT_D16, false});
        ASSERT_NE(gGfxDevice, nullptr);
        buildEffectMeshes();
        gEffectGroupCount = 1;
        picture(gEffectImageTextures[0], 256, 256);
        picture(gKatterTexture, 64, 64);
        picture(gMagicGemTexture, 512, 256);
        picture(gEffectShotTexture, 256, 256);
        picture(gEffectTexture, 256, 256);
        picture(gFlareSlot, 256, 256);
        saved = gScreenSize;
        gScreenSize = ScreenSize{640, 480};
        gCurrentStage = &stage;
        gCamera.fov = 45.0f;
        gCamera.eye = Vector3{0.0f, 0.0f, 0.0f};
        gCamera.view = matrixLookAtRH(gCamera.eye, Vector3{0.0f, 0.0f, -1.0f}, Vector3{0.0f, 1.0f, 0.0f});
        setWorldFarPlane(WORLD_FAR_WIDE);
        gfxRecordClear();
    }
    void TearDown() override {
        for (int32_t i = 0; i < madeCount; ++i) *made[i] = TextureSlot{};
        gScreenSize = saved;
        gCurrentStage = nullptr;
        GFX_RECORDING.destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
        GFX_RECORDING.close();
        clearEffectMeshes();
        EffectsFixture::TearDown();
    }
    void picture(TextureSlot& slot, int32_t width, int32_t height) {
        slot.texture = gGfxDevice->createTexture(4, 4, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        slot.width = width;
        slot.height = height;
        made[madeCount++] = &slot;
    }
    // The pools' marks as the world drawing leaves them.
    static void marks() {
        EffectCounts& c = gWorldDraw.effectCounts;
        c = EffectCounts{};
        for (int32_t i = 0; i < ATTACK_OBJECT_POOL_SIZE; ++i)
            if (gAttackObjects[i].kind != 0) c.attackObjects = i + 1;
        for (int32_t i = 0; i < PICKUP_POOL_SIZE; ++i)
            if (gPickups[i].kind != -1) c.pickups = i + 1;
        for (int32_t i = 0; i < EFFECT_OBJECT_POOL_SIZE; ++i)
            if (gEffectObjects[i].kind != -1) c.effectObjects = i + 1;
    }
    static Matrix4 world() {
        Matrix4 m;
        gGfxDevice->getTransform(GFX_TS_WORLD, m.m);
        return m;
    }
    static float rowLength(const Matrix4& m, int32_t row) {
        return std::sqrt(m.m[row * 4] * m.m[row * 4] + m.m[row * 4 + 1] * m.m[row * 4 + 1] + m.m[row * 4 + 2] * m.m[row * 4 + 2]);
    }
    static int32_t count(const char* prefix) {
        int32_t n = 0;
        for (int32_t i = 0; i < gGfxRecord.count; ++i) n += strncmp(gGfxRecord.lines[i], prefix, strlen(prefix)) == 0;
        return n;
    }
    // The extent of a queued sprite quad in back-buffer pixels.
    static float quadWidth(int32_t firstVertex) {
        float lo = 1e9f, hi = -1e9f;
        for (int32_t k = 0; k < 6; ++k) {
            lo = std::fmin(lo, gSpriteBatch[firstVertex + k].x);
            hi = std::fmax(hi, gSpriteBatch[firstVertex + k].x);
        }
        return hi - lo;
    }

    StageRecord stage;
    ScreenSize saved = {};
    TextureSlot* made[16] = {};
    int32_t madeCount = 0;
};

TEST_F(EffectPass, CutterDecalGrowsOverItsFirstFiveTicks) {
    struct Case {
        int32_t age;
        float scale;
    };
    // Size 200 is a scale of 1 once grown.
    const Case cases[] = {{0, 0.0f}, {1, 0.2f}, {4, 0.8f}, {5, 1.0f}, {40, 1.0f}};
    for (int32_t kind : {119, 162}) {
        for (const Case& c : cases) {
            resetEffects(1);
            AttackObject& a = gAttackObjects[3];
            a.kind = kind;
            a.scale = 200.0f;
            a.age = c.age;
            a.position = Vector3{2.0f, 0.5f, -3.0f};
            marks();
            gfxRecordClear();
            drawEffectObjects3D();
            EXPECT_EQ(count("drawPrimitiveUP 1 2 24"), 1);
            Matrix4 m = world();
            EXPECT_NEAR(rowLength(m, 0), c.scale, 1e-5f) << "kind " << kind << " age " << c.age;
            EXPECT_FLOAT_EQ(m.m[12], 2.0f);
            EXPECT_FLOAT_EQ(m.m[14], -3.0f);
            // Laid flat: neither local axis leaves the ground.
            EXPECT_NEAR(m.m[1], 0.0f, 1e-6f);
            EXPECT_NEAR(m.m[5], 0.0f, 1e-6f);
        }
    }
}

TEST_F(EffectPass, GemsStepThroughSevenFramesInTheirKindsRow) {
    struct Case {
        int32_t kind, age, cell;
    };
    const Case cases[] = {{2, 0, 16}, {2, 21, 16}, {2, 3, 17}, {2, 20, 22}, {0, 5, 1}, {3, 44, 24 + 0}};
    for (const Case& c : cases) {
        resetEffects(1);
        gPickups[0].kind = c.kind;
        gPickups[0].age = c.age;
        marks();
        drawEffectObjects3D();
        float column = (float)(c.cell % 8), row = (float)(c.cell / 8);
        EXPECT_FLOAT_EQ(gIconQuad[0].u, (64.0f * column + 0.5f) / 512.0f) << "kind " << c.kind << " age " << c.age;
        EXPECT_FLOAT_EQ(gIconQuad[3].u, (64.0f * column + 63.5f) / 512.0f);
        EXPECT_FLOAT_EQ(gIconQuad[0].v, (64.0f * row + 0.5f) / 256.0f);
        EXPECT_FLOAT_EQ(gIconQuad[1].v, (64.0f * row + 63.0f) / 256.0f);
        EXPECT_EQ(gIconQuad[0].colour, 0xFF000000u);
    }
}

// The nearest pickup pulses and grows only when it is an item; a dropped
// item fades in after 30 ticks.
TEST_F(EffectPass, ItemPickupsFadeInAndTheNearestOnePulses) {
    struct Case {
        int32_t kind, state, age;
        bool nearest;
        uint32_t colour;
        float scale;
    };
    auto grey = [](int32_t age) { return (uint32_t)(int32_t)(std::sin((float)age * 0.3f) * 64.0f + 96.0f) * 0x010101u; };
    const Case cases[] = {
        {7, PICKUP_RISING, 0, false, 0x00000000u, 0.0192f},
        {7, PICKUP_RISING, 30, false, 0x00000000u, 0.0192f},
        {7, PICKUP_RISING, 31, false, 0x20000000u, 0.0192f},
        {7, PICKUP_RISING, 37, false, 0xE0000000u, 0.0192f},
        {7, PICKUP_RISING, 38, false, 0xFF000000u, 0.0192f},
        {7, PICKUP_LOOSE, 0, false, 0xFF000000u, 0.0192f},
        {7, PICKUP_SETTLED, 12, true, 0xFF000000u | grey(12), 0.02688f},
        {1, PICKUP_LOOSE, 12, true, 0xFF000000u, 0.0192f},   // a gem is drawn like every gem
    };
    for (const Case& c : cases) {
        resetEffects(1);
        gPickups[4].kind = c.kind;
        gPickups[4].state = c.state;
        gPickups[4].age = c.age;
        gParty.nearestPickup = c.nearest ? 4 : -1;
        marks();
        gfxRecordClear();
        drawEffectObjects3D();
        EXPECT_EQ(gIconQuad[2].colour, c.colour) << "state " << c.state << " age " << c.age;
        EXPECT_NEAR(rowLength(world(), 0), c.scale * rowLength(gBillboardMatrix, 0), 1e-6f);
        EXPECT_EQ(count("drawPrimitiveUP 1 2 24"), 1);
    }
}

// A key without an item row still stands on its place, with the first icon
// of the first sheet; an unidentified key shows cell 0 of its own sheet.
TEST_F(EffectPass, ShelfItemsStandOnTheirCellsOfTheShopFloor) {
    ItemDefinition savedRow = gItemDefinitions[0];
    int32_t savedCount = gItemDefinitionCount;
    gItemDefinitions[0] = ItemDefinition{};
    gItemDefinitions[0].valid = 1;
    gItemDefinitions[0].id = 13;
    gItemDefinitions[0].category = 0;
    gItemDefinitions[0].iconCell = 13;
    gItemDefinitionCount = 1;
    struct Case {
        int32_t key;
        int32_t cell;
    };
    const Case cases[] = {
        {13 << ITEM_KEY_ID_SHIFT, 13},
        {13 << ITEM_KEY_ID_SHIFT | ITEM_KEY_UNIDENTIFIED, 0},
        {4321 << ITEM_KEY_ID_SHIFT, 0},   // no row
    };
    gGameMode = GAME_MODE_FIELD;
    stage.maptype = 0;
    for (const Case& c : cases) {
        resetEffects(1);
        GameState& game = runningGameState();
        for (auto& row : game.shelves)
            for (int32_t& cell : row) cell = ITEM_KEY_NONE;
        game.shelves[3][5] = c.key;
        marks();
        gfxRecordClear();
        drawEffectObjects3D();
        EXPECT_EQ(count("drawPrimitiveUP 1 2 24"), 1) << "key " << c.key;
        Matrix4 m = world();
        EXPECT_FLOAT_EQ(m.m[12], 1.0f);
        EXPECT_FLOAT_EQ(m.m[13], 1.9f);
        EXPECT_FLOAT_EQ(m.m[14], -0.5f);
        float column = (float)(c.cell % 8), row = (float)(c.cell / 8);
        EXPECT_FLOAT_EQ(gIconQuad[0].u, (32.0f * column + 31.5f) / 256.0f) << "mirrored in local space";
        EXPECT_FLOAT_EQ(gIconQuad[2].u, (32.0f * column + 0.5f) / 256.0f);
        // Without a loaded sheet the coordinates stay finite.
        float height = itemIconSheet(0).height > 0 ? (float)itemIconSheet(0).height : 256.0f;
        EXPECT_FLOAT_EQ(gIconQuad[1].v, (32.0f * row + 31.0f) / height);
    }
    // Off the shop floor the shelves are not drawn.
    stage.maptype = 1;
    gfxRecordClear();
    drawEffectObjects3D();
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
    gItemDefinitions[0] = savedRow;
    gItemDefinitionCount = savedCount;
}

TEST_F(EffectPass, StreaksShowFivePicturesByPoolSlotAndNeedAStartedAge) {
    float firstU[6] = {};
    float firstV[6] = {};
    for (int32_t slot = 0; slot < 6; ++slot) {
        resetEffects(1);
        AttackObject& a = gAttackObjects[slot];
        a.kind = 126;
        a.scale = 100.0f;
        a.position = Vector3{0.0f, 0.0f, -10.0f};
        a.velocity = Vector3{1.0f, 0.0f, 0.0f};
        marks();
        drawEffectObjects3D();
        firstU[slot] = gEffectQuad[0].u;
        firstV[slot] = gEffectQuad[0].v;
    }
    for (int32_t i = 0; i < 5; ++i)
        for (int32_t j = i + 1; j < 5; ++j) EXPECT_FALSE(firstU[i] == firstU[j] && firstV[i] == firstV[j]) << i << " " << j;
    EXPECT_EQ(firstU[5], firstU[0]);
    EXPECT_EQ(firstV[5], firstV[0]);
    // A streak that has not started, and one with no velocity: the first is
    // not drawn, the second stands at its point.
    resetEffects(1);
    gAttackObjects[0] = AttackObject{};
    gAttackObjects[1] = AttackObject{};
    gAttackObjects[0].kind = 120;
    gAttackObjects[0].age = -1;
    gAttackObjects[1].kind = 160;
    gAttackObjects[1].scale = 100.0f;
    gAttackObjects[1].position = Vector3{3.0f, 1.0f, -8.0f};
    marks();
    gfxRecordClear();
    drawEffectObjects3D();
    EXPECT_EQ(count("drawPrimitiveUP 1 2 24"), 1);
    Matrix4 m = world();
    for (float v : m.m) EXPECT_TRUE(std::isfinite(v));
    EXPECT_FLOAT_EQ(m.m[12], 3.0f);
    EXPECT_FLOAT_EQ(m.m[14], -8.0f);
}

TEST_F(EffectPass, WithNothingLiveThePassSetsItsStatesAndBothProjections) {
    marks();
    gTextureCache = gEffectTexture.texture;
    gfxRecordClear();
    drawEffectObjects3D();
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
    EXPECT_EQ(count("setTransform 2"), 2) << "far 350, then 2000";
    EXPECT_EQ(gTextureCache, nullptr);
    Matrix4 wide = matrixPerspectiveFovRH(45.0f * 0.017453292f, 4.0f / 3.0f, 1.0f, 2000.0f);
    for (int32_t k = 0; k < 16; ++k) EXPECT_FLOAT_EQ(gCamera.projection.m[k], wide.m[k]);
    // It leaves depth test and writes off, culling and lighting off, the usual blend.
    struct Left {
        GfxRenderState state;
        uint32_t value;
    };
    const Left left[] = {{GFX_RS_ZENABLE, 0}, {GFX_RS_ZWRITEENABLE, 0}, {GFX_RS_CULLMODE, GFX_CULL_NONE}, {GFX_RS_LIGHTING, 0},
                         {GFX_RS_FOGENABLE, 0}, {GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA}, {GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA}};
    for (const Left& l : left) {
        std::string prefix = "setRenderState " + std::to_string((int)l.state) + " ";
        std::string last;
        for (int32_t i = 0; i < gGfxRecord.count; ++i)
            if (strncmp(gGfxRecord.lines[i], prefix.c_str(), prefix.size()) == 0) last = gGfxRecord.lines[i];
        EXPECT_EQ(last, prefix + std::to_string(l.value));
    }
}

TEST_F(EffectPass, ConfettiTakesItsColourFromItsPoolSlot) {
    for (int32_t slot : {0, 4, 9, 13}) {
        resetEffects(1);
        EffectObject& o = gEffectObjects[slot];
        o.kind = 146;
        o.frame = 2;
        o.scale = 0.2f;
        o.paramB = 400;
        marks();
        gfxRecordClear();
        drawEffectObjects3D();
        const uint8_t* rgb = CONFETTI_COLOURS[slot % 9];
        EXPECT_EQ(gConfettiQuad[0].colour, 0xFF000000u | (uint32_t)rgb[0] << 16 | (uint32_t)rgb[1] << 8 | rgb[2]);
        EXPECT_NEAR(rowLength(world(), 0), 2.0f * 0.2f * 0.005f, 1e-7f);
        EXPECT_EQ(count("drawPrimitiveUP 1 2 24"), 1);
    }
}

// The shadow pass ends with the placement marker on the shelf cell in front
// of the heroine while she walks the shop floor, pulsing in alpha.
TEST_F(EffectPass, PlacementMarkerPulsesOnTheCellInFrontWhileWalking) {
    picture(gItemWindowTexture, 1024, 1024);
    struct Case {
        int32_t floorState, vending, cellX;
        bool drawn;
    };
    const Case cases[] = {
        {SHOP_FLOOR_WALKING, 0, 3, true}, {SHOP_FLOOR_EDITING, 0, 3, false}, {SHOP_FLOOR_WALKING, 2, 3, false},
        {SHOP_FLOOR_WALKING, 0, -1, false},
    };
    for (const Case& c : cases) {
        resetEffects(1);
        gShopFloor.shopFloorState = c.floorState;
        gShopPlacement.shopEditState[1] = c.vending;
        gShopPlacement.placementCell = {c.cellX, 4};
        gShopPlacement.placementCursorPos[0] = -3.0f;
        gShopPlacement.placementCursorPos[1] = 1.0f;
        gTickCounter = 31;
        gfxRecordClear();
        drawShadows();
        EXPECT_EQ(count("drawPrimitiveUP 1 2 24"), c.drawn ? 1 : 0) << "state " << c.floorState << " vending " << c.vending;
        if (!c.drawn) continue;
        uint32_t alpha = (uint32_t)(int32_t)(std::sin(31.0f * 0.05f) * 32.0f + 159.0f);
        EXPECT_EQ(gMarkerQuad[0].colour, alpha << 24 | 0xFFFFFFu);
        Matrix4 m = world();
        EXPECT_FLOAT_EQ(m.m[0], -0.00368f) << "mirrored in x";
        EXPECT_FLOAT_EQ(m.m[12], -3.0f);
        EXPECT_FLOAT_EQ(m.m[13], 1.9f);
        EXPECT_FLOAT_EQ(m.m[14], 1.0f);
    }
}

// World particles are drawn only by the world passes and overlay particles
// only by the overlay pass; method 4 has no overlay draw.
TEST_F(EffectPass, WorldAndOverlayParticlesNeverCrossPasses) {
    for (int32_t method = 0; method < 5; ++method) {
        EffectDefinition& d = definition(method);
        d.count = 1;
        d.type = 2;
        d.drawMethod = (int8_t)method;
    }
    struct Case {
        bool overlay;
        int32_t worldDraws, overlayDraws;
    };
    for (const Case& c : {Case{false, 5, 0}, Case{true, 0, 4}}) {
        clearEffectPools();
        for (int32_t method = 0; method < 5; ++method) {
            if (c.overlay) spawnScreenEffect(100.0f, 100.0f, method, 1.0f, -1, 0);
            else spawnEffect(nullptr, 0.0f, 0.0f, -10.0f, method, 1.0f, -1, 0.0f, 0);
        }
        ASSERT_EQ(liveParticles(), 5);
        marks();
        gfxRecordClear();
        drawEffectObjects3D();
        drawWorldEffects();
        EXPECT_EQ(count("drawPrimitiveUP"), c.worldDraws) << (c.overlay ? "overlay" : "world");
        gfxRecordClear();
        drawOverlayEffects();
        EXPECT_EQ(count("drawPrimitiveUP"), c.overlayDraws) << (c.overlay ? "overlay" : "world");
    }
}

// ---- the lens flare ----

class LensFlare : public EffectPass {
protected:
    void SetUp() override {
        EffectPass::SetUp();
        stage.sunMode = STAGE_SUN_DAY;
        gFieldCamera.viewSpin.visibility = 8.0f;
    }
    // The screen point of a world point under the test's camera.
    static ScreenPoint at(float x, float y, float z) {
        cacheViewProjection();
        ScreenPoint p = {};
        mapWorldToScreen(x, y, z, &p);
        return p;
    }
    void sun(float x, float y, float z) {
        stage.sunpos[0] = x, stage.sunpos[1] = y, stage.sunpos[2] = z;
    }
};

TEST_F(LensFlare, GlareBrightnessFallsWithTheDistanceFromTheCentre) {
    const float xs[] = {-5.0f, 10.0f, 40.0f, 60.0f, 150.0f};
    for (float visibility : {8.0f, 3.0f}) {
        for (float x : xs) {
            resetLensFlare();
            gFieldCamera.viewSpin.visibility = visibility;
            sun(x, 20.0f, -100.0f);
            ScreenPoint p = at(x, 20.0f, -100.0f);
            ASSERT_LT(p.depth, 0);
            float d = std::hypot(320.0f - p.x, 240.0f - p.y);
            float b = std::fmax(0.0f, 1.0f - d / 448.0f);
            gfxRecordClear();
            drawSunGlare();
            const FlareState& f = gFlareState;
            EXPECT_NEAR(f.brightness, b, 1e-5f) << "x " << x;
            EXPECT_NEAR(f.distance, d, 1e-3f);
            EXPECT_NEAR(std::hypot(f.dx, f.dy), 1.0f, 1e-5f);
            if (b > 0.0f) {
                EXPECT_EQ(count("drawPrimitiveUP"), 1);
                EXPECT_NEAR(quadWidth(0), 20.0f * visibility * b + 8.0f, 1e-3f) << "x " << x;
                EXPECT_EQ(gSpriteBatch[0].z, 0.0f) << "the batch is left as it was";
            } else {
                EXPECT_EQ(count("drawPrimitiveUP"), 0) << "no glare 448 or more from the centre";
            }
        }
    }
    // The setting sun's glare: 2 v b + 96.
    stage.sunMode = STAGE_SUN_SETTING;
    gFieldCamera.viewSpin.visibility = 8.0f;
    sun(10.0f, 20.0f, -100.0f);
    drawSunGlare();
    EXPECT_NEAR(quadWidth(0), 16.0f * gFlareState.brightness + 96.0f, 1e-3f);
}

TEST_F(LensFlare, AtTheCentreTheLastBrightnessStaysAndBehindTheCameraItIsGone) {
    sun(30.0f, 20.0f, -100.0f);
    drawSunGlare();
    FlareState before = gFlareState;
    ASSERT_GT(before.brightness, 0.0f);
    sun(0.0f, 0.0f, -100.0f);
    ScreenPoint centre = at(0.0f, 0.0f, -100.0f);
    ASSERT_EQ(centre.x, 320.0f);
    ASSERT_EQ(centre.y, 240.0f);
    gfxRecordClear();
    drawSunGlare();
    EXPECT_EQ(gFlareState.brightness, before.brightness);
    EXPECT_EQ(gFlareState.dx, before.dx);
    EXPECT_EQ(gFlareState.distance, before.distance);
    EXPECT_EQ(gFlareState.x, 320.0f);
    EXPECT_NEAR(quadWidth(0), 20.0f * 8.0f * before.brightness + 8.0f, 1e-3f);
    // Behind the camera: brightness 0 at once, and the flare draws nothing.
    sun(0.0f, 0.0f, 100.0f);
    drawSunGlare();
    EXPECT_EQ(gFlareState.brightness, 0.0f);
    gfxRecordClear();
    drawLensFlare();
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
}

TEST_F(LensFlare, FullFlareHasGrey128AndAFlashOf64) {
    struct Case {
        float visibility, brightness;
        uint32_t grey, flashAlpha;
        float sizeFactor;
    };
    const Case cases[] = {{8.0f, 1.0f, 128, 64, 1.0f}, {8.0f, 0.5f, 64, 32, 0.75f}, {0.001f, 1.0f, 0, 0, 0.5000625f}};
    for (const Case& c : cases) {
        gFlareState = FlareState{200.0f, 100.0f, 0.6f, 0.8f, 50.0f, c.brightness};
        gFieldCamera.viewSpin.visibility = c.visibility;
        gfxRecordClear();
        drawLensFlare();
        EXPECT_EQ(count("drawPrimitiveUP 0 28 32"), 1) << "fourteen elements in one flush";
        EXPECT_EQ(count("drawPrimitiveUP 0 2 32"), 1) << "then the flash";
        EXPECT_EQ(gSpriteBatch[0].diffuse, c.flashAlpha << 24 | 0xFFFFFFu);
        EXPECT_EQ(quadWidth(0), 640.0f);
        // The flash overwrote the first element; the others stay in the batch.
        for (int32_t e = 1; e < FLARE_ELEMENT_COUNT; ++e) {
            EXPECT_EQ(gSpriteBatch[6 * e].diffuse, 0xFF000000u | c.grey * 0x010101u);
            EXPECT_NEAR(quadWidth(6 * e), c.sizeFactor * FLARE_ELEMENTS[e].size, 1e-3f) << "element " << e;
        }
        // Element 10 (t = 2) sits at the mirror point of the light.
        float cx = 0.0f;
        for (int32_t k = 0; k < 6; ++k) cx += gSpriteBatch[60 + k].x / 6.0f;
        EXPECT_NEAR(cx, 200.0f + 50.0f * 2.0f * 0.6f, 1.0f);
    }
    // No sun mode, no flare.
    stage.sunMode = STAGE_SUN_NONE;
    gfxRecordClear();
    drawLensFlare();
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
}

TEST_F(LensFlare, TheMoonIsDrawnAndTheFlareKeepsItsLastDirection) {
    stage.moonOn = 1;
    gFlareState = FlareState{100.0f, 100.0f, 0.6f, 0.8f, 50.0f, 0.5f};
    sun(20.0f, 10.0f, -100.0f);
    ScreenPoint p = at(20.0f, 10.0f, -100.0f);
    gfxRecordClear();
    drawSunGlare();
    EXPECT_EQ(count("drawPrimitiveUP"), 1);
    EXPECT_EQ(quadWidth(0), 128.0f);
    EXPECT_EQ(gFlareState.x, p.x);
    EXPECT_EQ(gFlareState.dx, 0.6f);
    EXPECT_EQ(gFlareState.brightness, 0.5f);
    sun(20.0f, 10.0f, 100.0f);
    drawSunGlare();
    EXPECT_EQ(gFlareState.brightness, 0.0f);
}

// Without its atlas the light is followed but nothing is drawn.
TEST_F(LensFlare, WithoutTheAtlasNothingIsDrawn) {
    gFlareSlot.width = gFlareSlot.height = 0;
    sun(10.0f, 20.0f, -100.0f);
    gfxRecordClear();
    drawSunGlare();
    drawLensFlare();
    EXPECT_GT(gFlareState.brightness, 0.0f);
    EXPECT_EQ(count("drawPrimitiveUP"), 0);
}

}  // namespace
