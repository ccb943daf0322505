#include "game/headless_run.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <unistd.h>

#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "game/window_proc.h"
#include "platform/clock.h"
#include "platform/profile.h"
#include "platform/thread.h"

HeadlessRun gHeadlessRun;
static char sPreviousDir[1024];
static bool sMadeGameDir;
static bool sWaitForLoaders = true;

static bool setError(char* error, size_t errorSize, const char* format, ...) __attribute__((format(printf, 3, 4)));
static bool setError(char* error, size_t errorSize, const char* format, ...) {
    if (error && errorSize) {
        va_list args;
        va_start(args, format);
        vsnprintf(error, errorSize, format, args);
        va_end(args);
    }
    return false;
}

bool linkGameData(const char* dataDir, const char* gameDir, char* error, size_t errorSize) {
    DIR* dir = opendir(dataDir);
    if (!dir) return setError(error, errorSize, "no game data in %s (build the gamedata target)", dataDir);
    bool ok = true;
    while (dirent* entry = readdir(dir)) {
        const char* name = entry->d_name;
        if (!strcmp(name, ".") || !strcmp(name, "..") || !strcmp(name, "tollivand") || !strcmp(name, "tolli.ini") ||
            !strcmp(name, "save.dat") || !strcmp(name, "_save.dat"))
            continue;
        char from[1024], to[1024];
        if (snprintf(from, sizeof from, "%s/%s", dataDir, name) >= (int)sizeof from ||
            snprintf(to, sizeof to, "%s/%s", gameDir, name) >= (int)sizeof to || symlink(from, to) != 0) {
            ok = setError(error, errorSize, "cannot link %s/%s into %s", dataDir, name, gameDir);
            break;
        }
    }
    closedir(dir);
    return ok;
}

// The boot reads frame skip and screen size from the folder's settings file,
// as the game does.
static bool writeSettings(const HeadlessOptions& options, char* error, size_t errorSize) {
    static const int32_t SCREEN_WIDTHS[4] = {640, 800, 1024, 1280};
    int32_t screen = 0;
    while (screen < 3 && SCREEN_WIDTHS[screen] != options.screenWidth) ++screen;
    char ini[600];
    snprintf(ini, sizeof ini, "%s/tolli.ini", gHeadlessRun.gameDir);
    if (!profileWriteInt(ini, "setup", "fps", options.frameSkip) || !profileWriteInt(ini, "setup", "screen", screen))
        return setError(error, errorSize, "cannot write %s", ini);
    return true;
}

static void removeMadeGameDir() {
    if (!sMadeGameDir) return;
    std::error_code ignored;
    std::filesystem::remove_all(gHeadlessRun.gameDir, ignored);
    sMadeGameDir = false;
}

HeadlessOptions scriptRunOptions(const InputScript& script, const char* dataDir) {
    HeadlessOptions options;
    options.dataDir = dataDir;
    options.seed = script.seed;
    options.frameSkip = script.frameSkip;
    options.gfx = &GFX_HEADLESS;
    options.audio = &AUDIO_HEADLESS;
    return options;
}

bool headlessBoot(const HeadlessOptions& options, char* error, size_t errorSize) {
    threadMarkMain();
    gHeadlessRun = HeadlessRun{};
    sWaitForLoaders = options.waitForLoaders;
    gLoaderPollWaits = options.waitForLoaders ? 1 : 0;
    gSaveWriteWaits = gLoaderPollWaits;
    sMadeGameDir = false;
    if (options.gameDir) {
        if (snprintf(gHeadlessRun.gameDir, sizeof gHeadlessRun.gameDir, "%s", options.gameDir) >=
            (int)sizeof gHeadlessRun.gameDir)
            return setError(error, errorSize, "the game folder's path is too long");
    } else {
        snprintf(gHeadlessRun.gameDir, sizeof gHeadlessRun.gameDir, "/tmp/tolli_game_XXXXXX");
        if (!mkdtemp(gHeadlessRun.gameDir))
            return setError(error, errorSize, "cannot make a temporary game folder: %s", strerror(errno));
        sMadeGameDir = true;
        if ((options.dataDir && !linkGameData(options.dataDir, gHeadlessRun.gameDir, error, errorSize)) ||
            !writeSettings(options, error, errorSize)) {
            removeMadeGameDir();
            return false;
        }
    }
    if (!getcwd(sPreviousDir, sizeof sPreviousDir)) sPreviousDir[0] = 0;
    if (chdir(gHeadlessRun.gameDir) != 0) {
        setError(error, errorSize, "cannot enter %s: %s", gHeadlessRun.gameDir, strerror(errno));
        removeMadeGameDir();
        return false;
    }

    headlessWindowReset();
    headlessWindowSetCreateFails(options.windowFails);
    clockVirtualSet(0);
    gClock = &CLOCK_VIRTUAL;
    gWindow = &WINDOW_HEADLESS;
    gGfxBackend = options.gfx ? options.gfx : &GFX_HEADLESS;
    gInputBackend = &INPUT_SCRIPTED;
    if (options.audio) gAudioBackend = options.audio;
    inputScriptReset();
    gHeadlessRun.startup = startupApp(gHeadlessRun.gameDir);
    if (gHeadlessRun.startup == STARTUP_OK) {
        // The window is shown and active before the first frame, as a
        // desktop does on showing it.
        headlessPostEvent(WINDOW_EVENT_ACTIVATE, 1, 0);
        headlessPumpEvents();
    }
    seedRandom(options.seed);
    return true;
}

void headlessHoldButtons(uint16_t buttons) {
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

void headlessRunTicks(int32_t n, const InputScriptStep* script, int32_t steps, HeadlessFrameHook onFrame,
                      void* context) {
    if (gHeadlessRun.startup != STARTUP_OK) return;
    int32_t target = gUpdateCount + n;
    while (!gHeadlessRun.quit && gUpdateCount < target) {
        if (sWaitForLoaders) waitForLoaderThread();
        headlessHoldButtons(scriptedButtons(gUpdateCount, script, steps));
        clockVirtualAdvance(1000);
        int32_t frames = gFrameCounter;
        if (!messageLoopStep()) gHeadlessRun.quit = true;
        if (onFrame && gFrameCounter != frames) onFrame(context);
    }
}

void headlessRunScript(const InputScript& script, HeadlessFrameHook onFrame, void* context) {
    headlessRunTicks(script.ticks - gUpdateCount, script.steps.data(), (int32_t)script.steps.size(), onFrame, context);
}

void headlessPumpEvents() {
    if (gHeadlessRun.startup != STARTUP_OK) return;
    WindowEvent event;
    // The loop takes one event per turn; turn until none is left.
    for (int guard = 0; guard < 1000 && !gHeadlessRun.quit; ++guard) {
        if (!gWindow->pollEvent(&event)) break;
        if (event.kind == WINDOW_EVENT_QUIT) {
            gHeadlessRun.quit = true;
            break;
        }
        mainWndProc(event);
    }
}

void headlessPostEvent(int32_t kind, int32_t a, int32_t b) {
    WindowEvent event = {};
    event.kind = kind;
    event.a = a;
    event.b = b;
    windowPostEvent(event);
}

bool headlessReadFrame(uint32_t* argb, int32_t width, int32_t height) {
    return gGfxDevice && gGfxDevice->readBackBuffer(argb, width, height);
}

int32_t headlessShutdown() {
    gHeadlessRun.exitCode = shutdownAfterLoop(gHeadlessRun.startup);
    if (sPreviousDir[0] && chdir(sPreviousDir) != 0) {
        fprintf(stderr, "headless run: cannot return to %s\n", sPreviousDir);
        abort();
    }
    removeMadeGameDir();
    // Later code in the process (other tests) waits as a real run does.
    gLoaderPollWaits = 0;
    gSaveWriteWaits = 0;
    return gHeadlessRun.exitCode;
}
