// The overlay screens: the open and close counters, the mode switch and its
// loader, the toggle's refusals, and the effects drawn from the off-screen
// targets (on the recording device for the quads, on the headless OpenGL
// device for what the targets hold).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_state.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "game/state_registry.h"
#include "tests/engine/capturing_device.h"
#include "tests/engine/sound_effects_probe.h"
#include "tests/harness/harness.h"

namespace {

int sOpenCalls, sLoadCalls, sUpdateCalls;
void probeOpen() { ++sOpenCalls; }
void probeLoad() { ++sLoadCalls; }
void probeUpdate() { ++sUpdateCalls; }

// A booted game on the recording device in the town map, the pause menu's
// hooks swapped for probes, sound marked ready so requested effects stay
// where the test reads them.
class OverlayTicks : public ::testing::Test {
protected:
    void boot(int32_t frameSkip) {
        HarnessOptions options;
        options.gfx = &GFX_RECORDING;
        options.frameSkip = frameSkip;
        ASSERT_EQ(harnessBoot(options), STARTUP_OK);
        savedKind = gOverlayKinds[OVERLAY_PAUSE_MENU];
        savedOpen = gSceneHooks.openOverlayScreen;
        gOverlayKinds[OVERLAY_PAUSE_MENU].load = probeLoad;
        gOverlayKinds[OVERLAY_PAUSE_MENU].update = probeUpdate;
        gSceneHooks.openOverlayScreen = probeOpen;
        sOpenCalls = sLoadCalls = sUpdateCalls = 0;
        gSound.ready = 1;
        clearSounds();
        gGameMode = GAME_MODE_WORLD_MAP;
    }
    void TearDown() override {
        gOverlayKinds[OVERLAY_PAUSE_MENU] = savedKind;
        gSceneHooks.openOverlayScreen = savedOpen;
        clearSounds();
        harnessShutdown();
    }
    static void clearSounds() { memset(gSound.effectRequests, 0, sizeof gSound.effectRequests); }
    OverlayKindEntry savedKind = {};
    void (*savedOpen)() = nullptr;
};

TEST_F(OverlayTicks, CounterClimbsToTwelveAndSwitchesToTheOverlayAtThree) {
    boot(0);
    setPointerPosition(100.0f, 50.0f);
    glidePointerTo(300.0f, 90.0f);   // kept where it is heading
    gAfterimageStep = 5;
    toggleOverlayScreen(OVERLAY_PAUSE_MENU);
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_MENU_OPEN});
    EXPECT_EQ(gOverlayScreen.savedMode, GAME_MODE_WORLD_MAP);
    EXPECT_EQ(gOverlayScreen.pointerShown, 1);
    EXPECT_EQ(gOverlayScreen.pointerX, 300.0f);
    EXPECT_EQ(gOverlayScreen.pointerY, 90.0f);
    EXPECT_EQ(gAfterimageStep, 0) << "opening ends a running afterimage";
    std::vector<int32_t> counters;
    for (int32_t tick = 0; tick < 14; ++tick) {
        counters.push_back(gOverlayScreen.openCounter);
        int32_t seen = gOverlayScreen.openCounter;
        harnessRunTicks(1);
        EXPECT_EQ(gGameMode == GAME_MODE_OVERLAY, seen >= 3) << "tick seeing counter " << seen;
    }
    EXPECT_EQ(counters, (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 12, 12}));
    EXPECT_EQ(sOpenCalls, 1);
    EXPECT_EQ(sLoadCalls, 1);
    EXPECT_EQ(sUpdateCalls, 14 - 3) << "the overlay runs once the counter is above 3";
}

// Frame skip runs several ticks on one count: the scene still switches, and
// its loader starts, once.
TEST_F(OverlayTicks, FrameSkipStartsTheOverlayOnce) {
    for (int32_t fs : {1, 2, 4}) {
        boot(fs);
        toggleOverlayScreen(OVERLAY_PAUSE_MENU);
        harnessRunTicks(12 * (fs + 1));
        EXPECT_EQ(gGameMode, GAME_MODE_OVERLAY) << "fs " << fs;
        EXPECT_EQ(gOverlayScreen.openCounter, 12) << "fs " << fs;
        EXPECT_EQ(sOpenCalls, 1) << "fs " << fs;
        EXPECT_EQ(sLoadCalls, 1) << "fs " << fs;
        TearDown();
    }
    boot(0);
}

TEST_F(OverlayTicks, ClosingNeedsTheCounterAtTwelveThenRunsToZero) {
    boot(0);
    toggleOverlayScreen(OVERLAY_PAUSE_MENU);
    harnessRunTicks(5);
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY);
    toggleOverlayScreen(OVERLAY_PAUSE_MENU);
    EXPECT_EQ(gGameMode, GAME_MODE_OVERLAY) << "toggling while it opens does nothing";
    EXPECT_EQ(gOverlayScreen.opening, 1);
    harnessRunTicks(10);
    ASSERT_EQ(gOverlayScreen.openCounter, 12);

    gPointer.shown = 0;
    gOverlayScreen.pointerShown = 1;
    gOverlayScreen.pointerX = 200.0f;
    gOverlayScreen.pointerY = 96.0f;
    gShopFloor.shopFloorState = SHOP_FLOOR_ITEM_INFO;
    toggleOverlayScreen(OVERLAY_PAUSE_MENU);
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_WALKING) << "the shop floor leaves its item information";
    EXPECT_EQ(gOverlayScreen.opening, 0);
    EXPECT_TRUE(isPointerShown());
    EXPECT_EQ(gPointer.x, 200.0f);
    EXPECT_EQ(gPointer.y, 96.0f);
    std::vector<int32_t> counters;
    for (int32_t tick = 0; tick < 9; ++tick) {
        harnessRunTicks(1);
        counters.push_back(gOverlayScreen.openCounter);
    }
    EXPECT_EQ(counters, (std::vector<int32_t>{13, 14, 15, 16, 17, 18, 19, 0, 0}));
}

TEST_F(OverlayTicks, MenuOverTheResultsScreenIsRefused) {
    boot(0);
    gOverlayScreen.kind = OVERLAY_RESULTS;
    gOverlayScreen.openCounter = 12;
    gOverlayScreen.opening = 1;
    gOverlayScreen.savedMode = GAME_MODE_FIELD;
    gGameMode = GAME_MODE_OVERLAY;
    toggleOverlayScreen(OVERLAY_PAUSE_MENU);
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_REFUSED});
    EXPECT_EQ(gGameMode, GAME_MODE_OVERLAY);
    EXPECT_EQ(gOverlayScreen.kind, OVERLAY_RESULTS);
    EXPECT_EQ(gOverlayScreen.openCounter, 12);
}

// What the toggle does when asked on a scene in this state.
struct RefusalCase {
    const char* name;
    int32_t mode;
    int32_t kind;
    int32_t storyFlag;      // set for the case; 0 none
    int32_t shopDayPhase;
    int32_t fadeState;
    int32_t runEndTimer;    // the run ends with this timer; -1 it does not
    bool opens;
    bool refusalSound;
};
const RefusalCase REFUSAL_CASES[] = {
    {"game over", GAME_MODE_GAME_OVER, 0, 0, 0, 0, -1, false, true},
    {"ending", GAME_MODE_ENDING, 0, 0, 0, 0, -1, false, true},
    {"after-ending save", GAME_MODE_ENDING_SAVE, 0, 0, 0, 0, -1, false, true},
    {"opening", GAME_MODE_OPENING, 0, 0, 0, 0, -1, false, true},
    {"results in game over", GAME_MODE_GAME_OVER, 1, 0, 0, 0, -1, false, true},
    {"town map", GAME_MODE_WORLD_MAP, 0, 0, 0, 0, -1, true, false},
    {"shop before the day", GAME_MODE_FIELD, 0, 0, 0, 0, -1, true, false},
    {"shop day begun", GAME_MODE_FIELD, 0, 0, 1, 0, -1, false, true},
    {"results, shop day begun", GAME_MODE_FIELD, 1, 0, 1, 0, -1, true, false},
    {"flag 165", GAME_MODE_FIELD, 0, FLAG_EVENT_9_1_DUE, 0, 0, -1, false, true},
    {"flag 181", GAME_MODE_FIELD, 2, FLAG_STANDING_WALKER, 0, 0, -1, false, true},
    {"flag 144", GAME_MODE_FIELD, 0, FLAG_STORY_VISIT, 0, 0, -1, false, false},
    {"flag 168", GAME_MODE_FIELD, 1, FLAG_EVENT_0_8_DUE, 0, 0, -1, false, false},
    {"flag 144 over a begun day", GAME_MODE_FIELD, 0, FLAG_STORY_VISIT, 1, 0, -1, false, false},
    {"menu during a fade", GAME_MODE_FIELD, 0, 0, 0, 1, -1, false, false},
    {"results during a fade", GAME_MODE_FIELD, 1, 0, 0, -1, -1, true, false},
    {"item choice during a fade", GAME_MODE_FIELD, 2, 0, 0, 1, -1, true, false},
    {"menu while a run ends", GAME_MODE_FIELD, 0, 0, 0, 0, 10, false, false},
    {"item choice early in a run's end", GAME_MODE_FIELD, 2, 0, 0, 0, 119, true, false},
    {"item choice late in a run's end", GAME_MODE_FIELD, 2, 0, 0, 0, 120, false, false},
};

TEST_F(OverlayTicks, RefusalsFollowTheSceneAndItsFlags) {
    boot(0);
    StageRecord shop;
    shop.maptype = 0;
    GameStateScope state;
    gCurrentStage = &shop;
    GameState& game = runningGameState();
    for (const RefusalCase& c : REFUSAL_CASES) {
        resetOverlayScreen();
        clearSounds();
        gGameMode = c.mode;
        if (c.storyFlag) game.storyFlags[c.storyFlag] = 1;
        gShopDayPhase = c.shopDayPhase;
        gFadeState = c.fadeState;
        gRun.runEndState = c.runEndTimer >= 0 ? 1 : 0;
        gRun.runEndTimer = c.runEndTimer >= 0 ? c.runEndTimer : 0;

        toggleOverlayScreen(c.kind);
        EXPECT_EQ(gOverlayScreen.openCounter, c.opens ? 1 : 0) << c.name;
        bool refused = false;
        for (int32_t number : requestedEffects()) refused = refused || number == SOUND_REFUSED;
        EXPECT_EQ(refused, c.refusalSound) << c.name;

        if (c.storyFlag) game.storyFlags[c.storyFlag] = 0;
        gShopDayPhase = 0;
        gFadeState = 0;
        gRun.runEndState = gRun.runEndTimer = 0;
    }
}

// Frames drawn on the recording device through a capturing device, so the
// effect quads can be read.
class OverlayFrames : public ::testing::Test {
protected:
    void SetUp() override {
        HarnessOptions options;
        options.gfx = &GFX_RECORDING;
        ASSERT_EQ(harnessBoot(options), STARTUP_OK);
        real = gGfxDevice;
        capture = new CapturingDevice(real);
        gGfxDevice = capture;
    }
    void TearDown() override {
        gGfxDevice = real;
        delete capture;
        resetOverlayScreen();
        harnessShutdown();
    }
    // The quads of one frame drawn with the screen-size target's picture.
    std::vector<uint32_t> capturedQuadColours() {
        capture->quads.clear();
        renderFrame();
        std::vector<uint32_t> colours;
        for (const DrawnQuad& q : capture->quads)
            if (q.texture == gRenderTargetTextures[0]) colours.push_back(q.argb);
        return colours;
    }
    GfxDevice* real = nullptr;
    CapturingDevice* capture = nullptr;
};

TEST_F(OverlayFrames, FrozenFrameDissolvesEightAStep) {
    startFrozenFrameFade();
    std::vector<uint32_t> want = {0xFFFFFFFF};   // the frame steps it to 2: captured and drawn opaque
    EXPECT_EQ(capturedQuadColours(), want);
    EXPECT_EQ(gScreenCaptured, 1);
    EXPECT_EQ(gGfxDevice->getRenderTarget(), gGfxDevice->getBackBuffer()) << "the capture is ended";
    for (int32_t step = 3; step <= 31; ++step) {
        std::vector<uint32_t> colours = capturedQuadColours();
        ASSERT_EQ(colours.size(), 1u) << "step " << step;
        EXPECT_EQ(colours[0] >> 24, (uint32_t)(255 - 8 * step)) << "step " << step;
    }
    EXPECT_TRUE(capturedQuadColours().empty());
    EXPECT_EQ(gFrozenFrameStep, 0);
}

TEST_F(OverlayFrames, AfterimageLaysEachFrameOverTheLast) {
    startAfterimage(8);
    for (int32_t step = 2; step < 8; ++step) {
        std::vector<uint32_t> colours = capturedQuadColours();
        ASSERT_EQ(colours.size(), 1u) << "step " << step;
        EXPECT_EQ(colours[0], (uint32_t)afterimageAlpha(step, 8) << 24 | 0xFFFFFF) << "step " << step;
        EXPECT_EQ(gScreenCaptured, 1);
        EXPECT_EQ(gGfxDevice->getRenderTarget(), gGfxDevice->getBackBuffer());
    }
    EXPECT_TRUE(capturedQuadColours().empty());
    EXPECT_EQ(gAfterimageStep, 0);
}

TEST_F(OverlayFrames, AfterimageWaitsWhileAnOverlayAnimates) {
    gOverlayScreen.openCounter = 15;
    startAfterimage(8);
    EXPECT_EQ(gAfterimageStep, 0);
}

// Without off-screen targets the transition is a dark blue veil of the
// system picture's white cell and the other effects draw nothing.
TEST_F(OverlayFrames, WithoutTargetsTheTransitionIsAVeil) {
    releaseRenderTargets();
    gOverlayScreen.opening = 1;
    gOverlayScreen.renderCounter = 2;
    startFrozenFrameFade();
    capture->quads.clear();
    renderFrame();   // render counter 3
    renderFrame();
    renderFrame();   // render counter 5
    std::vector<uint32_t> veils;
    for (const DrawnQuad& q : capture->quads)
        if (q.argb == (48u << 24 | 0x5F) || q.argb == (64u << 24 | 0x5F) || q.argb == (80u << 24 | 0x5F))
            veils.push_back(q.argb);
    EXPECT_EQ(veils, (std::vector<uint32_t>{48u << 24 | 0x5F, 64u << 24 | 0x5F, 80u << 24 | 0x5F}));
    EXPECT_EQ(gScreenCaptured, 0);
    EXPECT_EQ(gGfxDevice->getRenderTarget(), gGfxDevice->getBackBuffer());
}

// The real OpenGL device: the first frame of the transition builds the blur
// in the targets.
TEST(OverlayReadBack, BlurStripIsClearedToBlue) {
    ASSERT_EQ(harnessBoot(harnessDrawingOptions()), STARTUP_OK);
    ASSERT_NE(gRenderTargetSurfaces[1], nullptr);
    gGameMode = GAME_MODE_WORLD_MAP;
    gOverlayScreen.kind = OVERLAY_PAUSE_MENU;
    gOverlayScreen.opening = 1;
    gOverlayScreen.openCounter = 1;
    gOverlayScreen.renderCounter = 1;
    gOverlayScreen.savedMode = GAME_MODE_WORLD_MAP;
    harnessRunTicks(1);   // render counter 2: the frame is captured
    EXPECT_EQ(gScreenCaptured, 1);
    harnessRunTicks(1);   // 3: the strip and the blurred layers
    ASSERT_EQ(gOverlayScreen.renderCounter, 3);

    static uint32_t strip[1280 * 256];
    ASSERT_TRUE(gGfxDevice->readRenderTarget(gRenderTargetSurfaces[1], strip, 1280, 256));
    // The shrunk screen covers the left half; the right half keeps the clear.
    for (int32_t y : {0, 128, 255})
        for (int32_t x : {641, 900, 1279}) EXPECT_EQ(strip[y * 1280 + x], 0xFF0000C8u) << x << "," << y;
    EXPECT_NE(strip[128 * 1280 + 320], 0xFF0000C8u);

    // The screen-size target: twelve faint layers over the pause menu's blue.
    static uint32_t screen[640 * 480];
    ASSERT_TRUE(gGfxDevice->readRenderTarget(gRenderTargetSurfaces[0], screen, 640, 480));
    uint32_t centre = screen[240 * 640 + 320];
    EXPECT_NE(centre, 0xFF173C8Cu) << "the layers were drawn over the clear";
    EXPECT_EQ(centre >> 24, 0xFFu);
    EXPECT_FALSE(gGfxDevice->readRenderTarget(gRenderTargetSurfaces[1], strip, 640, 256)) << "size must match";
    EXPECT_FALSE(gGfxDevice->readRenderTarget(gGfxDevice->getBackBuffer(), screen, 640, 480)) << "not a target";
    resetOverlayScreen();
    harnessShutdown();
}


// The lines of the recorded device log that switch or clear targets.
std::vector<std::string> targetLines() {
    std::vector<std::string> lines;
    for (int32_t i = 0; i < gGfxRecord.count; ++i) {
        std::string line = gGfxRecord.lines[i];
        if (line.rfind("setRenderTarget", 0) == 0 || line.rfind("clear", 0) == 0) lines.push_back(line);
    }
    return lines;
}

TEST_F(OverlayFrames, TransitionSwitchesTargetsAndRestoresTheBackBuffer) {
    gGameMode = GAME_MODE_WORLD_MAP;
    gOverlayScreen.kind = OVERLAY_ITEM_CHOICE;
    gOverlayScreen.opening = 1;
    gOverlayScreen.renderCounter = 1;
    gfxRecordClear();
    renderFrame();   // 2: captured
    renderFrame();   // 3: the blur
    renderFrame();   // 4: the blur laid over what the back buffer holds
    // The targets were made first, as slots 0 (screen size) and 1 (strip);
    // the town map clears the screen for its own draw in the frames it draws.
    const std::vector<std::string> want = {
        "setRenderTarget tex0 depth",   "clear 3 ff000000 1.000000 0", "clear 1 ff000000 1.000000 0",
        "setRenderTarget backbuffer depth", "clear 1 ff000000 1.000000 0",
        "setRenderTarget tex1 depth",   "clear 3 ff0000c8 1.000000 0", "setRenderTarget backbuffer depth",
        "setRenderTarget tex0 depth",   "clear 3 ff3c3c3c 1.000000 0", "setRenderTarget backbuffer depth",
    };
    EXPECT_EQ(targetLines(), want);
    EXPECT_EQ(gGfxDevice->getRenderTarget(), gGfxDevice->getBackBuffer());
}

}   // namespace
