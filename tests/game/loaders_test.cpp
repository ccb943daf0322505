// Stage-change requests, the loader threads and the fade and blackout
// covers, through the real frame loop on the headless device with real
// threads.
#include <gtest/gtest.h>

#include <thread>

#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/scene_hooks.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "game/startup.h"
#include "game/window_proc.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/engine/recorded_filters.h"
#include "tests/engine/texture_registry_probe.h"
#include "tests/harness/harness.h"

// The scene tests boot the game on the sample data; the loaders then run on
// real threads. Those that read the screen back draw with OpenGL.
class Loader : public ::testing::Test {
protected:
    void boot(bool waitForLoaders, const GfxBackend* gfx = &GFX_RECORDING) {
        HarnessOptions options;
        options.waitForLoaders = waitForLoaders;
        options.gfx = gfx;
        ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    }
    void TearDown() override {
        harnessShutdown();
        gThreadStartRefusals = 0;
    }
    // Runs ticks until the running loader has ended (bounded).
    int32_t ticksUntilLoaded() { return harnessRunTicksWhile(isLoaderThreadRunning); }
};

static uint32_t centrePixel() {
    static uint32_t frame[640 * 480];
    if (!harnessReadFrame(frame, 640, 480)) return 0;
    return frame[240 * 640 + 320];
}

TEST_F(Loader, FadeOutCoversTheScreenBlackOrWhiteByKind) {
    boot(true, &GFX_HEADLESS);
    struct Case { int32_t kind; uint32_t colour; };
    for (const Case& c : {Case{0, 0xFF000000u}, Case{1, 0xFFFFFFFFu}}) {
        requestStageChange(gStageIndex, c.kind, 1, 0);
        harnessRunTicks(16);
        EXPECT_EQ(centrePixel(), c.colour) << c.kind;
        harnessRunTicks(4);   // the change is carried out; the fade-in is held
        gFadeState = 0;
        gFadeCounter = 0;
    }
}

TEST_F(Loader, BlackoutHoldsTheScreenBlack) {
    boot(true, &GFX_HEADLESS);
    gGameMode = GAME_MODE_PLAZA_IDLE;   // a town place draws the blackout over itself
    harnessRunTicks(2);
    EXPECT_NE(centrePixel(), 0xFF000000u);
    setBlackout();
    harnessRunTicks(1);
    EXPECT_EQ(centrePixel(), 0xFF000000u);
    initTransitionTiles();
    harnessRunTicks(1);
    EXPECT_NE(centrePixel(), 0xFF000000u);
}

// The fade cover, the blackout and the loading sign stretch small cells of
// their pictures over the screen; each sets linear filtering itself, so a
// scene that drew with point sampling does not leave them blocky.
TEST_F(Loader, CoversAndTheSignFilterLinearlyWhateverTheSceneLeft) {
    HarnessOptions options;
    options.gfx = &GFX_RECORDING;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    struct Case {
        const char* what;
        void (*draw)();
    };
    const Case CASES[] = {
        {"fade-out", [] {
             startFadeOut(0, 17);
             gFadeCounter = 8;
             drawTransitionOverlay();
         }},
        {"fade-in", [] {
             startFadeIn(1, 17);
             gFadeCounter = 8;
             drawTransitionOverlay();
         }},
        {"blackout", [] {
             setBlackout();
             drawBlackout();
         }},
        {"loading sign", [] {
             gShowLoading = 1;
             drawLoadingIndicator();
         }},
    };
    for (const Case& c : CASES) {
        gfxRecordClear();
        leavePointFiltering();
        c.draw();
        RecordedFilterDraws draws = recordedFilterDraws();
        EXPECT_GT(draws.draws, 0) << c.what;
        EXPECT_EQ(draws.linear, draws.draws) << c.what;
        initTransitionTiles();
        gShowLoading = 0;
    }
}

TEST_F(Loader, StageChangeWaitsForItsFadeOutAndIsDroppedWhileASceneLoads) {
    boot(true);
    gSceneLoading = 1;
    requestStageChange(3, 0, 0, 2);
    EXPECT_EQ(gStageChange.pending, 0);
    EXPECT_EQ(gFadeState, 0);
    gSceneLoading = 0;

    const int32_t stageBefore = gStageIndex;
    requestStageChange(3, 0, 0, 2);
    EXPECT_EQ(gStageChange.pending, 1);
    EXPECT_EQ(gFadeState, 1);
    harnessRunTicks(16);   // the fade-out reaches 17 on the 16th tick
    EXPECT_EQ(gStageChange.pending, 1);
    EXPECT_EQ(gStageIndex, stageBefore);
    harnessRunTicks(1);    // the tick that sees it done carries the change out
    EXPECT_EQ(gStageChange.pending, 0);
    EXPECT_EQ(gStageIndex, 3);
    EXPECT_EQ(gStageChange.entryFloor, 2);
    EXPECT_EQ(gFadeState, -1);   // not held: the fade-in starts at once
}

TEST_F(Loader, SceneLoaderRunsOnItsThreadWhileTheSignShows) {
    boot(false);
    releaseTitleTextures();
    ASSERT_FALSE(isRegistered(gScenePictures[0]));
    gGameMode = GAME_MODE_TITLE;
    startSceneLoader();
    EXPECT_EQ(gSceneLoading, 1);
    EXPECT_EQ(gShowLoading, 1);
    EXPECT_TRUE(isLoaderThreadRunning());
    float angleBefore = gLoadingSignAngle;
    int32_t ticks = ticksUntilLoaded();
    EXPECT_GE(ticks, 1);   // its end comes with a tick, never in between
    EXPECT_EQ(gSceneLoading, 0);
    EXPECT_TRUE(isRegistered(gScenePictures[0]));
    EXPECT_GT(gLoadingSignAngle, angleBefore);   // the sign turned while it loaded
    harnessRunTicks(1);
    EXPECT_EQ(gShowLoading, 0);
}

// The thread only loads: the title's state (and the forced music it clears)
// stays as it was until the main thread carries out the loader's end.
TEST_F(Loader, TheTitleIsEnteredAtTheLoadersEndNotOnItsThread) {
    boot(false);
    ticksUntilLoaded();
    releaseTitleTextures();
    gGameMode = GAME_MODE_TITLE;
    gTitle.menuCount = 0;
    gTitle.idleTicks = 500;
    gTitle.windowClosing = 0;
    forceMusicTrack(14);
    startSceneLoader();
    waitForLoaderThread();   // loaded; the end is still to come
    EXPECT_TRUE(isRegistered(gScenePictures[0]));
    EXPECT_EQ(gSceneLoading, 1);
    EXPECT_EQ(gTitle.menuCount, 0);
    EXPECT_EQ(gTitle.idleTicks, 500);
    EXPECT_EQ(gTitle.windowClosing, 0);
    EXPECT_EQ(gForcedTrack, 14);
    harnessRunTicks(1);
    EXPECT_EQ(gSceneLoading, 0);
    EXPECT_GE(gTitle.menuCount, 4);
    EXPECT_LE(gTitle.idleTicks, 1);
    EXPECT_EQ(gForcedTrack, -1);
}

static std::thread::id sMainThread;
static int32_t sEnters, sEntersOffMain, sLoadingAtEnter;
static void probeEnter() {
    ++sEnters;
    if (std::this_thread::get_id() != sMainThread) ++sEntersOffMain;
    sLoadingAtEnter = gSceneLoading;
}

TEST_F(Loader, ScenesOverlaysAndStagesAreEnteredOnTheMainThreadBeforeTheFlagsClear) {
    boot(false);
    ticksUntilLoaded();
    sMainThread = std::this_thread::get_id();
    struct Case {
        const char* what;
        void (**enter)();
        int32_t mode;
        int32_t overlayKind;
        void (*start)();
    };
    const Case CASES[] = {
        {"the town map", &gGameModes[GAME_MODE_WORLD_MAP].enter, GAME_MODE_WORLD_MAP, 0, startSceneLoader},
        {"the day report", &gOverlayKinds[1].enter, GAME_MODE_OVERLAY, 1, startSceneLoader},
        {"the item choice", &gOverlayKinds[2].enter, GAME_MODE_OVERLAY, 2, startSceneLoader},
        {"a stage of the field", &gSceneHooks.enterWorld, GAME_MODE_FIELD, 0, startWorldLoader},
    };
    const int32_t kindBefore = gOverlayScreen.kind;
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.what);
        void (*saved)() = *c.enter;
        *c.enter = probeEnter;
        sEnters = sEntersOffMain = 0;
        sLoadingAtEnter = -1;
        gGameMode = c.mode;
        gOverlayScreen.kind = c.overlayKind;
        c.start();
        waitForLoaderThread();
        EXPECT_EQ(sEnters, 0);   // not by the thread
        pollLoaderThread();
        EXPECT_EQ(sEnters, 1);
        EXPECT_EQ(sEntersOffMain, 0);
        EXPECT_EQ(sLoadingAtEnter, 1);
        EXPECT_EQ(gSceneLoading, 0);
        *c.enter = saved;
    }
    gOverlayScreen.kind = kindBefore;
    gGameMode = GAME_MODE_TITLE;
}

// The event scene's pictures are its script's: the script is compiled on
// the main thread before the thread starts to load them.
TEST_F(Loader, TheEventScenesScriptIsCompiledBeforeItsLoaderStarts) {
    boot(false);
    ticksUntilLoaded();
    sMainThread = std::this_thread::get_id();
    void (*saved)() = gSceneHooks.startEvent;
    gSceneHooks.startEvent = probeEnter;
    sEnters = sEntersOffMain = 0;
    gGameMode = GAME_MODE_EVENT_SCENE;
    startSceneLoader();
    EXPECT_EQ(sEnters, 1);
    EXPECT_EQ(sEntersOffMain, 0);
    ticksUntilLoaded();
    EXPECT_EQ(sEnters, 1);
    gSceneHooks.startEvent = saved;
    gGameMode = GAME_MODE_TITLE;
}

TEST_F(Loader, PartLoadersSetTheirCompletionStates) {
    boot(true);
    struct Case {
        void (*start)(int32_t);
        int32_t mode;
        int32_t* state;
        int32_t fadeState;   // after the end
    };
    const Case CASES[] = {
        {startPortraitLoader, 0, &gPortraitState, 0},
        {startPortraitLoader, 5, &gPortraitState, 0},
        {startWallLoader, 1, &gShopPartState, -1},   // mode 1 fades the screen in by itself
        {startFloorLoader, 0, &gShopPartState, 0},
        {startRugLoader, 1, &gShopPartState, -1},
        {startTableLoader, 2, &gShopPartState, 0},
    };
    for (const Case& c : CASES) {
        gFadeState = 0;
        c.start(c.mode);
        EXPECT_EQ(*c.state, 2);
        EXPECT_EQ(gPartLoading, 1);
        EXPECT_EQ(gShowPartLoading, 1);
        EXPECT_EQ(gEventLoaderMode, c.mode);
        harnessRunTicks(1);
        EXPECT_EQ(*c.state, 1);
        EXPECT_EQ(gPartLoading, 0);
        EXPECT_EQ(gShowPartLoading, 0);
        EXPECT_EQ(gFadeState, c.fadeState) << c.mode;
    }
}

TEST_F(Loader, EventLoaderMakesTheEventReady) {
    boot(true);
    startEventLoader(4);
    EXPECT_EQ(gPartLoading, 1);
    EXPECT_EQ(gEventReady, 0);
    pollLoaderThread();
    waitForLoaderThread();
    pollLoaderThread();
    EXPECT_EQ(gEventReady, 1);
    EXPECT_EQ(gEventJustLoaded, 1);
    EXPECT_EQ(gPartLoading, 0);
    gEventReady = 0;
    gEventJustLoaded = 0;
    // The game lets an event's meshes go only when the next event starts;
    // they go now, while the device they were made on still stands.
    resetEventState();
}

TEST_F(Loader, AStartThatGetsNoThreadLoadsAtOnce) {
    boot(true);
    releaseTitleTextures();
    gGameMode = GAME_MODE_TITLE;
    gThreadStartRefusals = 1;
    startSceneLoader();
    EXPECT_EQ(gThreadStartRefusals, 0);
    EXPECT_FALSE(isLoaderThreadRunning());
    EXPECT_EQ(gSceneLoading, 0);   // no flag left set forever
    EXPECT_TRUE(isRegistered(gScenePictures[0]));
    gThreadStartRefusals = 1;
    startWallLoader(0);
    EXPECT_EQ(gShopPartState, 1);
    EXPECT_EQ(gPartLoading, 0);
}

TEST_F(Loader, ANewLoaderFinishesTheOneBeforeWithoutLosingItsOwnFlags) {
    boot(false);
    startWallLoader(0);
    startPortraitLoader(0);   // the wall loader is finished first
    EXPECT_EQ(gShopPartState, 1);
    EXPECT_EQ(gPortraitState, 2);
    EXPECT_EQ(gPartLoading, 1);
    ticksUntilLoaded();
    EXPECT_EQ(gPortraitState, 1);
    EXPECT_EQ(gPartLoading, 0);
}

TEST_F(Loader, ReturnToTitleDuringALoadWaitsForItAndTheTitleComesUp) {
    boot(false);
    gGameMode = GAME_MODE_TITLE;
    startSceneLoader();
    harnessPostEvent(WINDOW_EVENT_COMMAND, MENU_RETURN_TO_TITLE);
    harnessPumpEvents();
    EXPECT_FALSE(isLoaderThreadRunning());
    EXPECT_EQ(gSceneLoading, 0);
    EXPECT_EQ(gGameMode, GAME_MODE_TITLE);
    EXPECT_TRUE(isRegistered(gScenePictures[0]));
    harnessRunTicks(5);
    EXPECT_EQ(gShowLoading, 0);
}

TEST_F(Loader, ShutDownDuringALoadJoinsTheThread) {
    boot(false);
    gGameMode = GAME_MODE_TITLE;
    startSceneLoader();
    // TearDown shuts down at once, with the loader possibly still running.
}
