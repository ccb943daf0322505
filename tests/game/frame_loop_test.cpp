// Frame pacing under the virtual clock, the logic tick, the mode dispatch and
// the drawn frame (clear colours, lost device, reset and reload).
#include <gtest/gtest.h>

#include <vector>

#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/stage_index.h"
#include "game/startup.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "tests/harness/harness.h"

static HarnessOptions skipping(int32_t frameSkip) {
    HarnessOptions options;
    options.frameSkip = frameSkip;
    return options;
}


// Runs the loop turn by turn, 1 ms of virtual time per turn, up to a time.
static void runUntilMs(uint64_t ms) {
    while (gClock->nowMicros() < ms * 1000) {
        clockVirtualAdvance(1000);
        messageLoopStep();
    }
}

TEST(FrameLoopPacing, SixtyTicksPerSimulatedSecond) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    int32_t ticks = gTickCounter;
    int32_t frames = gFrameCounter;
    runUntilMs(1000);
    EXPECT_EQ(gTickCounter - ticks, 60);
    EXPECT_EQ(gFrameCounter - frames, 60);
    runUntilMs(10000);
    EXPECT_EQ(gTickCounter - ticks, 600);
    harnessShutdown();
}

TEST(FrameLoopPacing, FrameSkipRunsSeveralTicksPerDrawnFrame) {
    // A frame every 1/60, 1/30, 1/20, 1/12 and 1/6 s with 1 to 5 ticks each:
    // the two slowest settings run the game itself slower.
    const int32_t FRAMES_IN_3S[5] = {180, 90, 60, 36, 18};
    for (int32_t fs = 0; fs <= 4; ++fs) {
        ASSERT_EQ(harnessBoot(skipping(fs)), STARTUP_OK);
        runUntilMs(3000);
        EXPECT_EQ(gFrameCounter, FRAMES_IN_3S[fs]) << "fs " << fs;
        EXPECT_EQ(gTickCounter, FRAMES_IN_3S[fs] * (fs + 1)) << "fs " << fs;
        harnessShutdown();
    }
}

TEST(FrameLoopPacing, OutOfRangeFrameSkipIsClamped) {
    for (int32_t fs : {-3, 9}) {
        ASSERT_EQ(harnessBoot(skipping(fs)), STARTUP_OK);
        runUntilMs(1000);
        int32_t want = fs < 0 ? 60 : 6;   // like 0 and like 4
        EXPECT_EQ(gFrameCounter, want) << "fs " << fs;
        harnessShutdown();
    }
}

TEST(FrameLoopPacing, LongStallRunsOneFrameNotABurst) {
    for (int32_t fs : {0, 2}) {
        ASSERT_EQ(harnessBoot(skipping(fs)), STARTUP_OK);
        clockVirtualAdvance(5000 * 1000);   // five seconds dragging the window
        int32_t ticks = gTickCounter;
        runFrame();
        EXPECT_EQ(gTickCounter - ticks, fs + 1) << "fs " << fs;
        EXPECT_EQ(gFrameCounter, 1);
        // The next frame comes a whole period later, not at once.
        ticks = gTickCounter;
        runFrame();
        EXPECT_EQ(gTickCounter, ticks) << "fs " << fs;
        harnessShutdown();
    }
}

struct SleepCase {
    uint32_t elapsedMs;   // since the last frame; acc = 3 x elapsed
    uint64_t sleptMs;
    int32_t ticks;
};

TEST(FrameLoopPacing, SleepsOnlyWhenWellAheadOfTheNextFrame) {
    const SleepCase CASES[] = {
        {0, 5, 0},    // acc 0: d = 40 > 10, 5 ms
        {6, 5, 0},    // acc 18: d = 22
        {10, 4, 0},   // acc 30: d = 10, 10 / 3 + 1
        {12, 2, 0},   // acc 36: d = 4, 4 / 3 + 1
        {13, 1, 0},   // acc 39: d = 1
        {14, 0, 0},   // acc 42 >= 40: spin
        {16, 0, 0},   // acc 48
        {17, 0, 1},   // acc 51: a frame
    };
    for (const SleepCase& c : CASES) {
        ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
        clockVirtualSet(c.elapsedMs * 1000);
        runFrame();
        EXPECT_EQ(clockVirtualSleptMicros(), c.sleptMs * 1000) << "elapsed " << c.elapsedMs;
        EXPECT_EQ(gTickCounter, c.ticks) << "elapsed " << c.elapsedMs;
        harnessShutdown();
    }
}

TEST(FrameLoopInput, PolledAfterASixtiethAndClearedAfterEachDrawnFrame) {
    ASSERT_EQ(harnessBoot(skipping(1)), STARTUP_OK);   // 2 ticks a frame, every 1/30 s
    harnessHoldButtons(BUTTON_CONFIRM);
    clockVirtualSet(10 * 1000);   // acc 30: too early to poll
    runFrame();
    EXPECT_EQ(gInputState[0].raw, 0);
    clockVirtualSet(17 * 1000);   // acc 51: polled, but no frame yet
    runFrame();
    EXPECT_EQ(gInputState[0].raw, BUTTON_CONFIRM);
    EXPECT_EQ(gTickCounter, 0);

    // A short tap: released before the frame, yet both ticks see it held,
    // and only the first sees it pressed.
    harnessHoldButtons(0);
    clockVirtualSet(34 * 1000);   // acc 102: a frame of two ticks
    runFrame();
    EXPECT_EQ(gTickCounter, 2);
    EXPECT_EQ(gInputState[0].previous, BUTTON_CONFIRM);
    EXPECT_EQ(gInputState[0].pressed, 0);
    EXPECT_EQ(gInputState[0].raw, 0);   // cleared after the drawn frame
    harnessShutdown();
}

TEST(FrameLoopInput, RepeatPulsesOnThePressThenAfterThirteenThenEveryFive) {
    InputRecord record = {};
    std::vector<int> repeats, presses;
    for (int tick = 0; tick < 30; ++tick) {
        record.raw = BUTTON_LEFT;
        deriveInputEdges(record);
        if (record.repeat & BUTTON_LEFT) repeats.push_back(tick);
        if (record.pressed & BUTTON_LEFT) presses.push_back(tick);
    }
    EXPECT_EQ(repeats, (std::vector<int>{0, 13, 18, 23, 28}));
    EXPECT_EQ(presses, (std::vector<int>{0}));
}

// Probes that stand in for a scene.
static int sUpdates, sDraws, sReloads;
static void probeUpdate() { ++sUpdates; }
static void probeDraw() { ++sDraws; }
static void probeReload() { ++sReloads; }

struct ModeSwap {
    int32_t mode;
    GameModeEntry saved;
    ModeSwap(int32_t m, uint8_t prelude, uint8_t eventGate) : mode(m), saved(gGameModes[m]) {
        gGameModes[m] = {probeUpdate, probeDraw, probeReload, saved.load, saved.enter, prelude, eventGate, 0};
        sUpdates = sDraws = sReloads = 0;
    }
    ~ModeSwap() { gGameModes[mode] = saved; }
};

TEST(FrameLoopDispatch, TheCurrentModeRunsItsUpdateAndDraw) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    for (int32_t mode : {GAME_MODE_TITLE, GAME_MODE_GAME_OVER, GAME_MODE_WORLD_MAP, GAME_MODE_PLAZA_IDLE}) {
        ModeSwap swap(mode, mode != GAME_MODE_TITLE, mode != GAME_MODE_TITLE);
        gGameMode = mode;
        harnessRunTicks(3);
        EXPECT_EQ(sUpdates, 3) << "mode " << mode;
        EXPECT_EQ(sDraws, 3) << "mode " << mode;
        // While an event runs over a gated mode only the event step runs.
        gEventReady = 1;
        harnessRunTicks(1);
        EXPECT_EQ(sUpdates, mode == GAME_MODE_TITLE ? 4 : 3) << "mode " << mode;
        gEventReady = 0;
    }
    // No handler: nothing runs, nothing breaks.
    for (int32_t mode : {GAME_MODE_UNUSED_4, GAME_MODE_UNUSED_12, GAME_MODE_COUNT, GameMode(-1)}) {
        gGameMode = mode;
        harnessRunTicks(2);
    }
    gGameMode = GAME_MODE_TITLE;
    harnessShutdown();
}

TEST(FrameLoopDispatch, PlayTimeCountsOutsideTheTitleOnly) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    harnessRunTicks(5);
    EXPECT_EQ(runningGameState().playTicks, 0);
    gGameMode = GAME_MODE_UNUSED_4;
    harnessRunTicks(5);
    EXPECT_EQ(runningGameState().playTicks, 5);
    harnessShutdown();
}

TEST(FrameLoopDispatch, OverlayOpeningFreezesTheSceneAndSwitchesAtThree) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    ModeSwap swap(GAME_MODE_WORLD_MAP, 1, 1);
    gGameMode = GAME_MODE_WORLD_MAP;
    gOverlayScreen.kind = 0;
    gOverlayScreen.opening = 1;
    gOverlayScreen.openCounter = 1;
    gOverlayScreen.renderCounter = 1;
    gOverlayScreen.savedMode = GAME_MODE_WORLD_MAP;
    harnessRunTicks(1);   // the tick sees counter 1; the frame moves it to 2
    EXPECT_EQ(sUpdates, 0);
    EXPECT_EQ(sDraws, 1);   // frozen, but still drawn
    harnessRunTicks(1);
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    harnessRunTicks(1);   // this tick sees counter 3
    EXPECT_EQ(gGameMode, GAME_MODE_OVERLAY);
    EXPECT_EQ(sDraws, 2);   // from render counter 4 only the overlay is drawn
    harnessRunTicks(3);
    EXPECT_EQ(sUpdates, 0);
    EXPECT_EQ(sDraws, 2);
    harnessShutdown();
}

TEST(FrameLoopTick, StageChangeWaitsForTheFadeOutThenLoads) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    gGameMode = GAME_MODE_UNUSED_4;
    requestStageChange(3, 0, 0, 2);
    int32_t ticks = gTickCounter;
    int32_t frames = gFrameCounter;
    // 16 waiting ticks step the fade; the tick counter does not move.
    for (int i = 0; i < 16; ++i) {
        clockVirtualAdvance(17 * 1000);
        runFrame();
    }
    EXPECT_EQ(gTickCounter, ticks);
    EXPECT_EQ(gFrameCounter, frames + 16);
    EXPECT_TRUE(gStageChange.pending);
    EXPECT_TRUE(isFadeOutDone());
    clockVirtualAdvance(17 * 1000);
    runFrame();
    EXPECT_FALSE(gStageChange.pending);
    EXPECT_EQ(gStageIndex, 3);
    EXPECT_EQ(gFloorIndex, 2);
    EXPECT_EQ(gStageChange.sameStage, 0);
    EXPECT_EQ(gFadeState, -1);   // fading in
    EXPECT_EQ(gTickCounter, ticks);
    harnessRunTicks(1);
    EXPECT_EQ(gTickCounter, ticks + 1);

    requestStageChange(3, 0, 1, 0);   // held fade-in, same stage
    harnessRunTicks(1);
    for (int i = 0; i < 17; ++i) {
        clockVirtualAdvance(17 * 1000);
        runFrame();
    }
    EXPECT_EQ(gStageChange.sameStage, 1);
    EXPECT_EQ(gFadeState, 1);   // still covered
    gSceneLoading = 1;
    requestStageChange(5, 0, 0, 0);   // ignored while loading
    EXPECT_FALSE(gStageChange.pending);
    gSceneLoading = 0;
    harnessShutdown();
}

TEST(FrameLoopTick, TimeOfDayEasesUpwardOnly) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    gGameMode = GAME_MODE_UNUSED_4;
    runningGameState().dayPhase = 2;
    harnessRunTicks(1);
    EXPECT_FLOAT_EQ(gTimeOfDay, 1.005f);
    harnessRunTicks(300);
    EXPECT_FLOAT_EQ(gTimeOfDay, 2.0f);
    runningGameState().dayPhase = 0;
    harnessRunTicks(10);
    EXPECT_FLOAT_EQ(gTimeOfDay, 2.0f);
    runningGameState().dayPhase = 4;
    harnessRunTicks(1000);
    EXPECT_FLOAT_EQ(gTimeOfDay, 3.5f);
    harnessShutdown();
}

TEST(FrameLoopRender, ClearsToTheTitleColourOutsideTheField) {
    ASSERT_EQ(harnessBoot(harnessDrawingOptions()), STARTUP_OK);
    gGameMode = GAME_MODE_UNUSED_4;   // a mode that draws nothing over the clear (the title draws its own screen)
    harnessRunTicks(2);
    static uint32_t pixels[640 * 480];
    ASSERT_TRUE(harnessReadFrame(pixels, 640, 480));
    for (uint32_t p : {pixels[0], pixels[639], pixels[240 * 640 + 320], pixels[640 * 480 - 1]})
        EXPECT_EQ(p, 0xFF17F0FFu);

    // The field clears to its stage's colour.
    StageRecord stage = {{10, 20, 30}};
    gCurrentStage = &stage;
    // The new game's first scenes are seen, so no event blacks the screen out.
    runningGameState().storyFlags[16] = runningGameState().storyFlags[17] = 1;
    gGameMode = GAME_MODE_FIELD;
    harnessRunTicks(1);
    ASSERT_TRUE(harnessReadFrame(pixels, 640, 480));
    EXPECT_EQ(pixels[300 * 640 + 400], 0xFF0A141Eu) << "clear of the HUD";
    gCurrentStage = nullptr;
    harnessShutdown();
}

TEST(FrameLoopRender, LostDeviceIsResetAndTheModeReloaded) {
    ASSERT_EQ(harnessBoot(harnessDrawingOptions()), STARTUP_OK);
    ModeSwap swap(GAME_MODE_TITLE, 0, 0);
    harnessRunTicks(1);
    gGfxDevice->simulateDeviceLoss();
    harnessRunTicks(1);   // present reports the loss; the same frame resets
    EXPECT_EQ(gDeviceOk, 1);
    EXPECT_EQ(sReloads, 1);
    EXPECT_NE(gRenderTargetSurfaces[0], nullptr);
    EXPECT_NE(gRenderTargetSurfaces[1], nullptr);
    harnessRunTicks(1);
    static uint32_t pixels[640 * 480];
    ASSERT_TRUE(harnessReadFrame(pixels, 640, 480));
    EXPECT_EQ(pixels[1234], 0xFF17F0FFu);
    EXPECT_EQ(sReloads, 1);
    harnessShutdown();
}

TEST(FrameLoopRender, RecordedFrameOrder) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    gfxRecordClear();
    harnessRunTicks(1);
    int32_t clear = gfxRecordFind("clear 3 ff17f0ff", 0);
    int32_t cullNone = gfxRecordFind("setRenderState 0 1", 0);
    int32_t begin = gfxRecordFind("beginScene", 0);
    int32_t cullCcw = gfxRecordFind("setRenderState 0 3", 0);
    int32_t unbind = gfxRecordFind("setTexture 0 null", 0);
    int32_t end = gfxRecordFind("endScene", 0);
    int32_t present = gfxRecordFind("present", 0);
    ASSERT_GE(clear, 0);
    EXPECT_LT(clear, cullNone);
    EXPECT_LT(cullNone, begin);
    EXPECT_LT(begin, cullCcw);
    EXPECT_LT(cullCcw, unbind);
    EXPECT_LT(unbind, end);
    EXPECT_LT(end, present);
    harnessShutdown();
}

TEST(FrameLoopDeterminism, SameSeedAndInputRepeatBitForBit) {
    const InputScriptStep SCRIPT[] = {{0, 0}, {5, BUTTON_CONFIRM}, {9, 0}, {20, BUTTON_LEFT | BUTTON_UP}};
    uint32_t states[2];
    int32_t ticks[2];
    uint16_t previous[2];
    for (int run = 0; run < 2; ++run) {
        HarnessOptions options = skipping(1);
        options.seed = 1234;
        ASSERT_EQ(harnessBoot(options), STARTUP_OK);
        harnessRunTicks(120, SCRIPT, 4);
        randomInt();
        states[run] = gRandomState;
        ticks[run] = gTickCounter;
        previous[run] = gInputState[0].previous;
        harnessShutdown();
    }
    EXPECT_EQ(states[0], states[1]);
    EXPECT_EQ(ticks[0], ticks[1]);
    EXPECT_EQ(previous[0], previous[1]);
    EXPECT_EQ(previous[0], BUTTON_LEFT | BUTTON_UP);
}
