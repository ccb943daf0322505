#include "tests/harness/harness.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <dirent.h>
#include <unistd.h>

#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "game/startup.h"
#include "game/window_proc.h"
#include "platform/clock.h"
#include "platform/input.h"
#include "platform/profile.h"
#include "platform/thread.h"
#include "platform/window.h"

HarnessRun gHarness;
static char sPreviousDir[1024];
static bool sMadeGameDir;
static bool sWaitForLoaders = true;

// Links every file of the packed data folder into the game folder, so that
// what the game writes (settings, saves) stays in the temporary folder.
static void linkGameData(const char* dataDir, const char* gameDir) {
    DIR* dir = opendir(dataDir);
    if (!dir) {
        fprintf(stderr, "harness: no game data in %s (build the gamedata target)\n", dataDir);
        abort();
    }
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (!strcmp(name, ".") || !strcmp(name, "..") || !strcmp(name, "tollivand") || !strcmp(name, "tolli.ini") ||
            !strcmp(name, "save.dat") || !strcmp(name, "_save.dat"))
            continue;
        char from[1024], to[1024];
        snprintf(from, sizeof from, "%s/%s", dataDir, name);
        snprintf(to, sizeof to, "%s/%s", gameDir, name);
        if (symlink(from, to) != 0) abort();
    }
    closedir(dir);
}

// The boot reads frame skip and screen size from the folder's settings file,
// as the game does.
static void writeHarnessSettings(const HarnessOptions& options) {
    static const int32_t SCREEN_WIDTHS[4] = {640, 800, 1024, 1280};
    int32_t screen = 0;
    while (screen < 3 && SCREEN_WIDTHS[screen] != options.screenWidth) ++screen;
    char ini[600];
    snprintf(ini, sizeof ini, "%s/tolli.ini", gHarness.gameDir);
    if (!profileWriteInt(ini, "setup", "fps", options.frameSkip) || !profileWriteInt(ini, "setup", "screen", screen))
        abort();
}

StartupResult harnessBoot(const HarnessOptions& options) {
    threadMarkMain();
    gHarness = HarnessRun{};
    sWaitForLoaders = options.waitForLoaders;
    if (options.gameDir) {
        snprintf(gHarness.gameDir, sizeof gHarness.gameDir, "%s", options.gameDir);
    } else {
        snprintf(gHarness.gameDir, sizeof gHarness.gameDir, "/tmp/tolli_game_XXXXXX");
        if (!mkdtemp(gHarness.gameDir)) abort();
    }
    sMadeGameDir = !options.gameDir;
    if (sMadeGameDir) {
        if (options.dataDir) linkGameData(options.dataDir, gHarness.gameDir);
        writeHarnessSettings(options);
    }
    if (!getcwd(sPreviousDir, sizeof sPreviousDir)) sPreviousDir[0] = 0;
    if (chdir(gHarness.gameDir) != 0) abort();

    headlessWindowReset();
    headlessWindowSetCreateFails(options.windowFails);
    clockVirtualSet(0);
    gClock = &CLOCK_VIRTUAL;
    gWindow = &WINDOW_HEADLESS;
    gGfxBackend = options.gfx;
    gInputBackend = &INPUT_SCRIPTED;
    inputScriptReset();

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

void harnessHoldButtons(uint16_t buttons) {
    inputScriptReleaseKeys();
    for (int i = 0; i < PAD_BINDING_COUNT; ++i) {
        int16_t code = gPadBindings[0][i];
        if ((buttons & PAD_BINDING_BITS[i]) && code >= 1 && code <= KEY_CODE_COUNT)
            inputScriptSetKey(KEY_CODE_TABLE[code - 1], true);
    }
}

static uint16_t scriptedButtons(int32_t tick, const InputScriptStep* script, int32_t steps) {
    uint16_t held = 0;
    for (int32_t i = 0; i < steps && script[i].tick <= tick; ++i) held = script[i].buttons;
    return held;
}

void harnessRunTicks(int32_t n, const InputScriptStep* script, int32_t steps) {
    if (gHarness.startup != STARTUP_OK) return;
    int32_t target = gUpdateCount + n;
    while (!gHarness.quit && gUpdateCount < target) {
        if (sWaitForLoaders) waitForLoaderThread();
        harnessHoldButtons(scriptedButtons(gUpdateCount, script, steps));
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
