#include "game/startup.h"

#include <cstdio>
#include <ctime>

#include "engine/archive.h"
#include "engine/config_index.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/font_files.h"
#include "engine/frame_loop.h"
#include "engine/game_folder.h"
#include "engine/game_globals.h"
#include "engine/glyph_cache.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/movie.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "dungeon/dungeon.h"
#include "field/field.h"
#include "game/index_files.h"
#include "game/mode_table.h"
#include "game/state_registry.h"
#include "game/window_proc.h"
#include "platform/log.h"
#include "platform/signals.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "story/story.h"

ShellTrace gShellTrace;
static int32_t sQuitCode;

static const char WINDOW_TITLE[] = "TOLLIVAND Ver. 1.108";

// グラフィックの初期化に失敗しました。
// ビデオボードがスペックを満たしているか、ドライバに問題が無いか確かめてください。
static const char GRAPHICS_FAILED_TEXT[] =
    "\x83\x4F\x83\x89\x83\x74\x83\x42\x83\x62\x83\x4E\x82\xCC\x8F\x89\x8A\xFA\x89\xBB\x82\xC9\x8E\xB8\x94\x73"
    "\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42\n"
    "\x83\x72\x83\x66\x83\x49\x83\x7B\x81\x5B\x83\x68\x82\xAA\x83\x58\x83\x79\x83\x62\x83\x4E\x82\xF0\x96\x9E"
    "\x82\xBD\x82\xB5\x82\xC4\x82\xA2\x82\xE9\x82\xA9\x81\x41\x83\x68\x83\x89\x83\x43\x83\x6F\x82\xC9\x96\xE2"
    "\x91\xE8\x82\xAA\x96\xB3\x82\xA2\x82\xA9\x8A\x6D\x82\xA9\x82\xDF\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2"
    "\x81\x42";

static void traceStep(const char* name) {
    if (gShellTrace.count < SHELL_TRACE_MAX) gShellTrace.steps[gShellTrace.count++] = name;
}

bool createMainWindow() {
    gAppActive = 0;
    WindowDesc desc = {};
    desc.title = WINDOW_TITLE;
    desc.clientWidth = gScreenSize.width;
    desc.clientHeight = gScreenSize.height;
    desc.fullScreen = !gWindowed;
    desc.usePosition = gWindowed && gUseWindowPos;
    desc.x = gWindowPos[0];
    desc.y = gWindowPos[1];
    desc.shortcuts = MENU_SHORTCUTS;
    desc.shortcutCount = MENU_SHORTCUT_COUNT;
    if (!gWindow || !gWindow->create(desc)) return false;
    gWindow->setCommandChecked(MENU_ASPECT_LOCK, gWindowAspectLock == 1);
    return true;
}

int shutdownApp() {
    // A movie still playing lets go of its picture and sound first.
    stopMedia();
    dropPicturePrefetch();
    traceStep("releaseAllTextures");
    releaseAllTextures();
    traceStep("releaseSystemTextures");
    releaseSystemTextures();
    if (gGfxDevice) {
        traceStep("releaseDevice");
        gOpenGraphics->destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
    }
    if (gOpenGraphics) {
        traceStep("releaseGraphicsDevice");
        gOpenGraphics->close();
        gOpenGraphics = nullptr;
    }
    traceStep("releaseInputDevices");
    releaseInputDevices();
    traceStep("unloadSounds");
    unloadSounds();
    dropSoundPrefetch();
    traceStep("shutdownSound");
    shutdownSound();
    return 1;
}

void returnToTitle() {
    // A running loader is finished first: it may be reading the mode and
    // filling the textures released below.
    closeLoaderThread();
    gGameMode = GAME_MODE_TITLE;
    gEventReady = 0;
    releaseAllTextures();
    clearOverlayOpening();
    gRun.runEndState = 0;
    gRun.runEndTimer = 0;
    initTransitionTiles();
    enterTitleScreen();
    resetDialogs();
    resetTradeConfirm();
    loadSystemTextures();
    loadTitleTextures();
}

StartupResult startupApp(const char* gameDir) {
    ignoreFileSizeSignal();
    installGameWiring();
    resetGameState();
    gShellTrace.count = 0;
    sQuitCode = 0;
    traceStep("initGameGlobals");
    initGameGlobals();
    traceStep("seedRandom");
    seedRandom((uint32_t)time(nullptr));

    if (gameDir) setModuleDir(gameDir);
    else findModuleDir();
    if (snprintf(gIniPath, sizeof gIniPath, "%stolli.ini", gModuleDir) >= (int)sizeof gIniPath) {
        logLine("The game folder's path is too long.");
        return STARTUP_NO_WINDOW;
    }
    traceStep("loadSettings");
    loadSettings();

    traceStep("createMainWindow");
    if (!createMainWindow()) {
        logLine("The main window could not be created.");
        return STARTUP_NO_WINDOW;
    }
    // The sounds decode and the font files are read on workers while the
    // archive opens and the graphics driver starts; initSound and
    // loadFontFiles take them.
    startSoundPrefetch();
    startFontPrefetch();
    traceStep("openArchive");
    if (!openArchive()) return STARTUP_NO_ARCHIVE;
    startStartupPicturePrefetch();
    traceStep("initGraphicsDevice");
    if (!initGraphicsDevice()) {
        showMessageBox(GRAPHICS_FAILED_TEXT, "error", MESSAGE_BOX_OK);
        return STARTUP_NO_GRAPHICS;
    }
    traceStep("clearDebugText");
    clearDebugText();
    traceStep("initInputDevices");
    initInputDevices();
    traceStep("prepareSkinnedModels");
    prepareSkinnedModels();
    traceStep("loadIndexFiles");
    loadIndexFiles();
    traceStep("initGlyphCache");
    initGlyphCache();
    traceStep("initSound");
    initSound();
    if (gMakeFont) {
        traceStep("buildFontFiles");
        buildFontFiles();
    }
    traceStep("loadFontFiles");
    loadFontFiles();
    traceStep("loadSystemTextures");
    loadSystemTextures();
    gStageIndex = 0;
    traceStep("loadSaveFile");
    loadSaveFile();
    gGameMode = GAME_MODE_TITLE;
    traceStep("resetNewsAndEvents");
    resetNewsAndEvents();
    traceStep("loadTitleTextures");
    loadTitleTextures();
    dropPicturePrefetch();
    traceStep("enterTitleScreen");
    enterTitleScreen();
    resetFrameLoop();
    traceStep("messageLoop");
    return STARTUP_OK;
}

bool messageLoopStep() {
    WindowEvent event;
    if (gWindow->pollEvent(&event)) {
        if (event.kind == WINDOW_EVENT_QUIT) {
            sQuitCode = event.a;
            return false;
        }
        mainWndProc(event);
        return true;
    }
    if (gAppActive) runFrame();
    else gWindow->waitEvent();
    return true;
}

int32_t shutdownAfterLoop(StartupResult result) {
    if (result == STARTUP_NO_WINDOW) return 1;
    // A loader still running reads the archive and fills textures.
    closeLoaderThread();
    // A save still being written is finished, its failure shown while the
    // window is there.
    finishSaveWrite();
    if (result != STARTUP_NO_ARCHIVE) {
        traceStep("saveSettings");
        saveSettings();
        traceStep("closeArchive");
        closeArchive();
    }
    traceStep("freeFontFiles");
    freeFontFiles();
    traceStep("shutdownApp");
    shutdownApp();
    gWindow->destroy();
    windowClearEvents();
    // Nothing is saved at exit. A start-up that failed is not a success.
    return result == STARTUP_OK ? sQuitCode : 1;
}

int winMain() {
    threadMarkMain();
    StartupResult result = startupApp(nullptr);
    if (result == STARTUP_OK) {
        while (messageLoopStep()) {
        }
    }
    return shutdownAfterLoop(result);
}
