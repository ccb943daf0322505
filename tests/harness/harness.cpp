#include "tests/harness/harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/transition.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/thread.h"
#include "platform/window.h"

HarnessRun gHarness;
static char sPreviousDir[1024];
static bool sMadeGameDir;

// Globals a previous boot in the same process may have left behind.
static void resetGameGlobals(const HarnessOptions& options) {
    gInputState[0] = InputRecord{};
    gInputState[1] = InputRecord{};
    gOverlayScreen = OverlayScreenState{};
    gFrozenFrameStep = 0;
    gAfterimageStep = 0;
    gStageChange = StageChange{};
    gSceneLoading = gShowLoading = gPartLoading = gShowPartLoading = 0;
    gEventReady = gEventJustLoaded = gEventLoaderMode = 0;
    runningGameState() = GameState{};
    gScreenSize = {options.screenWidth, options.screenHeight};
    gWindowed = 1;
    gWindowAspectLock = 1;
    gFrameSkip = options.frameSkip;
    gDispFps = 0;
    gSfNoUse = 0;
    gDeviceOk = 1;
}

StartupResult harnessBoot(const HarnessOptions& options) {
    threadMarkMain();
    gHarness = HarnessRun{};
    if (options.gameDir) {
        snprintf(gHarness.gameDir, sizeof gHarness.gameDir, "%s", options.gameDir);
    } else {
        snprintf(gHarness.gameDir, sizeof gHarness.gameDir, "/tmp/tolli_game_XXXXXX");
        if (!mkdtemp(gHarness.gameDir)) abort();
    }
    sMadeGameDir = !options.gameDir;
    if (!getcwd(sPreviousDir, sizeof sPreviousDir)) sPreviousDir[0] = 0;
    if (chdir(gHarness.gameDir) != 0) abort();

    headlessWindowReset();
    headlessWindowSetCreateFails(options.windowFails);
    clockVirtualSet(0);
    gClock = &CLOCK_VIRTUAL;
    gWindow = &WINDOW_HEADLESS;
    gGfxBackend = options.gfx;
    gInputBackend = &INPUT_SCRIPTED;
    inputScriptSetButtons(0);
    resetGameGlobals(options);

    gHarness.startup = startupApp(gHarness.gameDir);
    if (gHarness.startup == STARTUP_OK) {
        // The window is shown and active before the first frame, as a
        // desktop does on showing it.
        harnessPostEvent(WINDOW_EVENT_ACTIVATE, 1, 0);
        harnessPumpEvents();
    }
    seedRandom(options.seed);
    return gHarness.startup;
}

static uint16_t scriptedButtons(int32_t tick, const InputScriptStep* script, int32_t steps) {
    uint16_t held = 0;
    for (int32_t i = 0; i < steps && script[i].tick <= tick; ++i) held = script[i].buttons;
    return held;
}

void harnessRunTicks(int32_t n, const InputScriptStep* script, int32_t steps) {
    if (gHarness.startup != STARTUP_OK) return;
    int32_t target = gTickCounter + n;
    while (!gHarness.quit && gTickCounter < target) {
        inputScriptSetButtons(scriptedButtons(gTickCounter, script, steps));
        clockVirtualAdvance(1000);
        if (!messageLoopStep()) gHarness.quit = true;
    }
}

void harnessPumpEvents() {
    if (gHarness.startup != STARTUP_OK) return;
    WindowEvent event;
    // The loop takes one event per turn; turn until none is left.
    for (int guard = 0; guard < 1000 && !gHarness.quit; ++guard) {
        if (!gWindow->pollEvent(&event)) break;
        if (event.kind == WINDOW_EVENT_QUIT) {
            gHarness.quit = true;
            break;
        }
        mainWndProc(event);
    }
}

void harnessPostEvent(int32_t kind, int32_t a, int32_t b) {
    WindowEvent event = {};
    event.kind = kind;
    event.a = a;
    event.b = b;
    windowPostEvent(event);
}

bool harnessReadFrame(uint32_t* argb, int32_t width, int32_t height) {
    return gD3DDevice && gD3DDevice->readBackBuffer(argb, width, height);
}

int32_t harnessShutdown() {
    gHarness.exitCode = shutdownAfterLoop(gHarness.startup);
    if (sPreviousDir[0] && chdir(sPreviousDir) != 0) abort();
    if (sMadeGameDir) {
        std::error_code ignored;
        std::filesystem::remove_all(gHarness.gameDir, ignored);
    }
    return gHarness.exitCode;
}
