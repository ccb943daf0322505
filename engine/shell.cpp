#include "engine/shell.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

#include "dungeon/field_frame.h"
#include "engine/archive.h"
#include "engine/debug_text.h"
#include "engine/dialogs.h"
#include "engine/font_files.h"
#include "engine/frame_loop.h"
#include "engine/glyph_cache.h"
#include "engine/index_files.h"
#include "engine/input.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/transition.h"
#include "field/effect_objects.h"
#include "field/resources.h"
#include "platform/log.h"
#include "platform/thread.h"
#include "shop/market.h"
#include "shop/trends.h"
#include "story/title.h"

CameraState gCamera;
int32_t gAppActive;
const GfxBackend* gDirect3D;
GfxDevice* gD3DDevice;
GfxPresentParams gPresentParams;
GfxDisplayMode gDisplayMode;
int32_t gDeviceOk = 1;
GfxTexture* gRenderTargetTextures[2];
GfxSurface* gRenderTargetSurfaces[2];
int32_t gMakeFont;
char gModuleDir[512];
int32_t gModuleDirLength;
ShellTrace gShellTrace;

static int32_t sQuitCode;

const WindowShortcut MENU_SHORTCUTS[] = {
    {'q', WINDOW_MOD_CTRL, MENU_EXIT},
    {'t', WINDOW_MOD_CTRL, MENU_RETURN_TO_TITLE},
    {'a', WINDOW_MOD_CTRL, MENU_ASPECT_LOCK},
    {'1', WINDOW_MOD_CTRL, MENU_SCALE_50},
    {'2', WINDOW_MOD_CTRL, MENU_SCALE_100},
    {'3', WINDOW_MOD_CTRL, MENU_SCALE_150},
    {'4', WINDOW_MOD_CTRL, MENU_SCALE_200},
    {'5', WINDOW_MOD_CTRL, MENU_SCALE_300},
    {WINDOW_KEY_F1, WINDOW_MOD_NONE, MENU_ABOUT},
};
const int32_t MENU_SHORTCUT_COUNT = sizeof MENU_SHORTCUTS / sizeof MENU_SHORTCUTS[0];

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

// エフェクトデータ１を保存しました (and ２, ３, ４): the effect editor's bank saves.
static const char* const EFFECT_SAVED_TEXTS[4] = {
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x50\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x51\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x52\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
    "\x83\x47\x83\x74\x83\x46\x83\x4E\x83\x67\x83\x66\x81\x5B\x83\x5E\x82\x53\x82\xF0\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD",
};

static const char ABOUT_TEXT[] =
    "Tollivand v.1.108\n"
    "\n"
    "Keyboard shortcuts:\n"
    "Ctrl+T  Return to Title Screen\n"
    "Ctrl+Q  Exit\n"
    "Ctrl+A  Fix window aspect ratio\n"
    "Ctrl+1..5  Display scaling 50% / 100% / 150% / 200% / 300%\n"
    "F1  About";

static void traceStep(const char* name) {
    if (gShellTrace.count < SHELL_TRACE_MAX) gShellTrace.steps[gShellTrace.count++] = name;
}

// The program's folder from the running executable, cut after the last '/'.
static void findModuleDir() {
    char path[sizeof gModuleDir];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        strcpy(gModuleDir, "./");
    } else {
        path[n] = 0;
        char* slash = strrchr(path, '/');
        if (slash) slash[1] = 0;
        snprintf(gModuleDir, sizeof gModuleDir, "%s", path);
    }
    gModuleDirLength = (int32_t)strlen(gModuleDir);
}

static void setModuleDir(const char* gameDir) {
    size_t len = strlen(gameDir);
    bool slash = len > 0 && gameDir[len - 1] == '/';
    snprintf(gModuleDir, sizeof gModuleDir, "%s%s", gameDir, slash ? "" : "/");
    gModuleDirLength = (int32_t)strlen(gModuleDir);
}

const char* getModuleDir() { return gModuleDir; }

// Start-up traces go nowhere; the loaders report failures in message boxes.
void writeDebugLog(const char*) {}

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

void setDefaultCamera() {
    gCamera.eye = {0.0f, 180.0f, -45.0f};
    gCamera.target = {0.0f, 0.0f, 0.0f};
    gCamera.yaw = 0.0f;
    gCamera.fov = 45.0f;
}

static void setDefaultLightAndMaterial() {
    gCamera.light = GfxLight{};
    gCamera.light.type = GFX_LIGHT_DIRECTIONAL;
    gCamera.light.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    gCamera.light.specular = {0.5f, 0.5f, 0.5f, 0.0f};
    gCamera.light.ambient = {0.4f, 0.4f, 0.4f, 0.0f};
    gCamera.material = GfxMaterial{};
    gCamera.material.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    gCamera.material.ambient = {1.0f, 1.0f, 1.0f, 0.0f};
}

int initDirect3D() {
    gDirect3D = gGfxBackend;
    if (!gDirect3D || !gDirect3D->open()) {
        gDirect3D = nullptr;
        return 0;
    }
    if (!gDirect3D->getDisplayMode(&gDisplayMode)) return 0;

    gPresentParams = GfxPresentParams{};
    gPresentParams.backBufferWidth = gScreenSize.width;
    gPresentParams.backBufferHeight = gScreenSize.height;
    gPresentParams.backBufferFormat = gDisplayMode.format;
    gPresentParams.windowed = gWindowed != 0;
    gPresentParams.autoDepthStencil = true;
    gPresentParams.depthStencilFormat = GFX_FORMAT_D16;
    // The frame loop paces itself; only full screen waits for the display.
    gPresentParams.vsync = !gWindowed;

    // Without a device nothing can be drawn: treated like a failed start of
    // graphics rather than running on blind.
    gD3DDevice = gDirect3D->createDevice(gPresentParams);
    if (!gD3DDevice) return 0;
    gDeviceOk = 1;

    setDefaultCamera();
    setDefaultLightAndMaterial();
    return 1;
}

void releaseRenderTargets() {
    for (int i = 0; i < 2; ++i) {
        if (gRenderTargetTextures[i] && gD3DDevice) gD3DDevice->releaseTexture(gRenderTargetTextures[i]);
        gRenderTargetTextures[i] = nullptr;
        gRenderTargetSurfaces[i] = nullptr;
    }
}

int createRenderTargets() {
    if (gSfNoUse || !gD3DDevice) return 1;
    // Called again after a reset and on the return to the title: never leak
    // the targets of an earlier call.
    releaseRenderTargets();
    // 0: a copy of the screen in the display's format; 1: the 1280 x 256 strip.
    gRenderTargetTextures[0] = gD3DDevice->createTexture(gScreenSize.width, gScreenSize.height, 1,
                                                         GFX_USAGE_RENDER_TARGET, gDisplayMode.format, GFX_POOL_DEFAULT);
    gRenderTargetTextures[1] =
        gD3DDevice->createTexture(1280, 256, 1, GFX_USAGE_RENDER_TARGET, GFX_FORMAT_A8R8G8B8, GFX_POOL_DEFAULT);
    for (int i = 0; i < 2; ++i) {
        if (gRenderTargetTextures[i]) gRenderTargetSurfaces[i] = gD3DDevice->getSurfaceLevel(gRenderTargetTextures[i], 0);
    }
    return 1;
}

// The skinned-model slots take the device when the skinned models arrive.
void prepareSkinnedModels() {}

int shutdownApp() {
    traceStep("releaseAllTextures");
    releaseAllTextures();
    traceStep("releaseSystemTextures");
    releaseSystemTextures();
    if (gD3DDevice) {
        traceStep("releaseDevice");
        gDirect3D->destroyDevice(gD3DDevice);
        gD3DDevice = nullptr;
    }
    if (gDirect3D) {
        traceStep("releaseDirect3D");
        gDirect3D->close();
        gDirect3D = nullptr;
    }
    traceStep("releaseDirectInput");
    releaseDirectInput();
    traceStep("unloadSounds");
    unloadSounds();
    traceStep("shutdownSound");
    shutdownSound();
    return 1;
}

void returnToTitle() {
    // A running loader is finished first: it may be reading the mode and
    // filling the textures released below.
    closeLoaderThread();
    gGameMode = 0;
    gEventReady = 0;
    releaseAllTextures();
    clearOverlayOpening();
    gRunEndState = 0;
    gRunEndTimer = 0;
    initTransitionTiles();
    enterTitleScreen();
    resetDialogs();
    resetTradeConfirm();
    loadSystemTextures();
    loadTitleTextures();
}

void applyAspectLock(int32_t edge, int32_t rect[4], const WindowMetrics& m) {
    int32_t h = (rect[2] - rect[0] - 2 * m.frame) * 480 / 640 + 2 * m.frame + m.menu + m.caption;
    switch (edge) {
    case WINDOW_EDGE_LEFT:
    case WINDOW_EDGE_RIGHT:
    case WINDOW_EDGE_BOTTOM_LEFT:
    case WINDOW_EDGE_BOTTOM_RIGHT:
    case WINDOW_EDGE_BOTTOM:
        rect[3] = rect[1] + h;
        break;
    case WINDOW_EDGE_TOP:
    case WINDOW_EDGE_TOP_LEFT:
    case WINDOW_EDGE_TOP_RIGHT:
        rect[1] = rect[3] - h;
        if (rect[1] < 0) {
            rect[1] = 0;
            rect[3] = h;
        }
        break;
    default:
        break;
    }
}

static void scaleWindow(int32_t k) {
    WindowMetrics m = gWindow->metrics();
    int32_t clientW = gScreenSize.width * k / 2;
    int32_t clientH = gScreenSize.height * k / 2;
    int32_t rect[4];
    gWindow->getPosition(&rect[0], &rect[1]);
    rect[2] = rect[0] + clientW + 2 * m.frame;
    rect[3] = rect[1] + clientH + m.caption + m.menu + 2 * m.frame;
    gWindow->setOuterRect(rect);
}

static void closeMainWindow() {
    // The window itself is destroyed at the end of shut-down, after the
    // device that draws into it.
    gWindow->getPosition(&gWindowPos[0], &gWindowPos[1]);
    WindowEvent quit = {};
    quit.kind = WINDOW_EVENT_QUIT;
    quit.a = 0;
    windowPostEvent(quit);
}

static void handleCommand(int32_t command) {
    static const int32_t SCALE_HALVES[5] = {1, 2, 3, 4, 6};
    switch (command) {
    case MENU_EXIT: {
        WindowEvent close = {};
        close.kind = WINDOW_EVENT_CLOSE;
        windowPostEvent(close);
        break;
    }
    case MENU_RETURN_TO_TITLE:
        if (gEffectEditorOn) {
            saveEffectBank(0);
            showMessageBox(EFFECT_SAVED_TEXTS[0], "system", MESSAGE_BOX_OK);
        } else {
            returnToTitle();
        }
        break;
    case MENU_ASPECT_LOCK:
        gWindowAspectLock = gWindowAspectLock ? 0 : 1;
        gWindow->setCommandChecked(MENU_ASPECT_LOCK, gWindowAspectLock == 1);
        break;
    case MENU_SCALE_50:
    case MENU_SCALE_100:
    case MENU_SCALE_150:
    case MENU_SCALE_200:
    case MENU_SCALE_300:
        scaleWindow(SCALE_HALVES[command - MENU_SCALE_50]);
        break;
    case MENU_ABOUT:
        showMessageBox(ABOUT_TEXT, "About", MESSAGE_BOX_OK);
        break;
    case MENU_SAVE_EFFECTS_2:
    case MENU_SAVE_EFFECTS_3:
    case MENU_SAVE_EFFECTS_4:
        if (gEffectEditorOn) {
            int32_t bank = command - MENU_SAVE_EFFECTS_2 + 1;
            saveEffectBank(bank);
            showMessageBox(EFFECT_SAVED_TEXTS[bank], "system", MESSAGE_BOX_OK);
        }
        break;
    default:
        break;
    }
}

void mainWndProc(const WindowEvent& event) {
    switch (event.kind) {
    case WINDOW_EVENT_ACTIVATE:
        gAppActive = event.b == 0 ? 1 : 0;
        // Deactivated without being minimised lets the devices go; any other
        // change takes them back.
        setInputAcquired(!(event.a == 0 && event.b == 0));
        break;
    case WINDOW_EVENT_CLOSE:
        if (gWindowed && !gTitle.quitChosen && event.a != WINDOW_CLOSE_FORCED) {
            int32_t answer = showMessageBox("Do you really want to quit the game?", "EXIT?", MESSAGE_BOX_YES_NO);
            if (answer != MESSAGE_BOX_ANSWER_YES) break;
        }
        closeMainWindow();
        break;
    case WINDOW_EVENT_KEY_DOWN:
        if (event.a != WINDOW_KEY_ESCAPE || isSceneLoading()) break;
        if (gGameMode != 0) {
            openPauseMenu();
        } else if (isTitleIdle()) {
            WindowEvent close = {};
            close.kind = WINDOW_EVENT_CLOSE;
            windowPostEvent(close);
        }
        break;
    case WINDOW_EVENT_COMMAND:
        handleCommand(event.a);
        break;
    case WINDOW_EVENT_SIZING:
        if (gWindowAspectLock == 1) {
            int32_t rect[4] = {event.rect[0], event.rect[1], event.rect[2], event.rect[3]};
            applyAspectLock(event.a, rect, gWindow->metrics());
            gWindow->setOuterRect(rect);
        }
        break;
    default:
        break;
    }
}

StartupResult startupApp(const char* gameDir) {
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
    traceStep("openArchive");
    if (!openArchive()) return STARTUP_NO_ARCHIVE;
    traceStep("initDirect3D");
    if (!initDirect3D()) {
        showMessageBox(GRAPHICS_FAILED_TEXT, "error", MESSAGE_BOX_OK);
        return STARTUP_NO_GRAPHICS;
    }
    traceStep("clearDebugText");
    clearDebugText();
    traceStep("initDirectInput");
    initDirectInput();
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
    gGameMode = 0;
    traceStep("resetNewsAndEvents");
    resetNewsAndEvents();
    traceStep("loadTitleTextures");
    loadTitleTextures();
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
