#include "engine/loaders.h"

#include <atomic>
#include <cstdio>

#include "engine/device.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/overlay_screen.h"
#include "engine/scene_hooks.h"
#include "engine/scene_pictures.h"
#include "engine/skin_model_states.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "platform/thread.h"
#include "platform/window.h"

StageChange gStageChange;
int32_t gSceneLoading;
int32_t gShowLoading;
int32_t gPartLoading;
int32_t gShowPartLoading;
int32_t gEventLoaderMode;
int32_t gEventReady;
int32_t gEventJustLoaded;
int32_t gPortraitState;
int32_t gShopPartState;
float gLoadingSignAngle;

enum LoaderKind : int32_t {
    LOADER_NONE,
    LOADER_SCENE,
    LOADER_WORLD,
    LOADER_EVENT,
    LOADER_PORTRAITS_A,
    LOADER_PORTRAITS_B,
    LOADER_SHOP_WALLS,
    LOADER_SHOP_FLOORS,
    LOADER_SHOP_RUGS,
    LOADER_SHOP_TABLES,
};

// What the thread reads, fixed by the starter before the thread exists.
struct LoaderJob {
    LoaderKind kind;
    int32_t gameMode;
    int32_t overlayKind;
    int32_t sameStage;
};

static WorkerThread sLoaderThread;
static LoaderJob sLoaderJob;                   // main thread while no loader runs
static std::atomic<int32_t> sLoaderFinished{0};
static int32_t sLoaderPending;                 // main thread: a loader's end is still to come

// The scene's own work by the mode fixed in the job; an overlay's by its kind.
static void loadSceneForMode(const LoaderJob& job) {
    if (job.gameMode == GAME_MODE_OVERLAY) {
        if (job.overlayKind >= 0 && job.overlayKind < OVERLAY_KIND_COUNT) callHook(gOverlayKinds[job.overlayKind].load);
        return;
    }
    if (job.gameMode >= 0 && job.gameMode < GAME_MODE_COUNT) callHook(gGameModes[job.gameMode].load);
}

// The scene's entry: what its state needs, set up on the main thread once
// its pictures are in. Nothing reads a scene's state while it loads (ticks
// step only the screen effects and the sound, frames draw the sign), so a
// scene whose entry came before its pictures on a single thread enters the
// same state after them here.
static void enterSceneForMode(const LoaderJob& job) {
    if (job.gameMode == GAME_MODE_OVERLAY) {
        if (job.overlayKind >= 0 && job.overlayKind < OVERLAY_KIND_COUNT) callHook(gOverlayKinds[job.overlayKind].enter);
        return;
    }
    if (job.gameMode >= 0 && job.gameMode < GAME_MODE_COUNT) callHook(gGameModes[job.gameMode].enter);
}

static void runLoaderJob(const LoaderJob& job) {
    switch (job.kind) {
    case LOADER_SCENE: loadSceneForMode(job); break;
    case LOADER_WORLD:
        if (gSceneHooks.loadWorld) gSceneHooks.loadWorld(job.sameStage);
        break;
    case LOADER_EVENT: callHook(gSceneHooks.loadEventTextures); break;
    case LOADER_PORTRAITS_A: callHook(gSceneHooks.loadCustomerPortraits[0]); break;
    case LOADER_PORTRAITS_B: callHook(gSceneHooks.loadCustomerPortraits[1]); break;
    case LOADER_SHOP_WALLS:
    case LOADER_SHOP_FLOORS:
    case LOADER_SHOP_RUGS:
    case LOADER_SHOP_TABLES: callHook(gSceneHooks.loadShopPart[job.kind - LOADER_SHOP_WALLS]); break;
    case LOADER_NONE: break;
    }
}

static void loaderThreadMain(void* arg) {
    runLoaderJob(*static_cast<const LoaderJob*>(arg));
    sLoaderFinished.store(1, std::memory_order_release);
}

// The loader's end, on the main thread: the loaded scene's entry, then its
// flags and completion state.
static void finishLoader() {
    threadJoin(sLoaderThread);
    sLoaderPending = 0;
    applyLoadedModelStates();
    switch (sLoaderJob.kind) {
    case LOADER_SCENE:
        enterSceneForMode(sLoaderJob);
        gSceneLoading = 0;
        break;
    case LOADER_WORLD:
        callHook(gSceneHooks.enterWorld);
        gSceneLoading = 0;
        break;
    case LOADER_EVENT:
        gPartLoading = gShowPartLoading = 0;
        gEventReady = 1;
        setKeepEventMusic(0);
        gEventJustLoaded = 1;
        break;
    case LOADER_PORTRAITS_A:
    case LOADER_PORTRAITS_B:
        gPartLoading = gShowPartLoading = 0;
        gPortraitState = PORTRAIT_READY;
        break;
    case LOADER_SHOP_WALLS:
    case LOADER_SHOP_FLOORS:
    case LOADER_SHOP_RUGS:
    case LOADER_SHOP_TABLES:
        gPartLoading = gShowPartLoading = 0;
        gShopPartState = 1;
        if (gEventLoaderMode == 1) startFadeIn(0, 17);
        break;
    case LOADER_NONE: break;
    }
    sLoaderJob.kind = LOADER_NONE;
}

int32_t gLoaderPollWaits;

void pollLoaderThread() {
    if (sLoaderPending && gLoaderPollWaits) waitForLoaderThread();
    if (sLoaderPending && sLoaderFinished.load(std::memory_order_acquire)) finishLoader();
}

void waitForLoaderThread() { threadJoin(sLoaderThread); }

bool isLoaderThreadRunning() { return sLoaderPending != 0; }

// One loader at a time: a starter first finishes the one before, so its
// end cannot clear the flags the new start sets.
static void finishRunningLoader() {
    if (sLoaderPending) finishLoader();
}

static void launchLoader(LoaderKind kind) {
    sLoaderJob = LoaderJob{kind, gGameMode, gOverlayScreen.kind, gStageChange.sameStage};
    sLoaderFinished.store(0, std::memory_order_relaxed);
    sLoaderPending = 1;
    if (!threadStart(sLoaderThread, loaderThreadMain, &sLoaderJob)) {
        // No thread: load here and now, so no flag stays set.
        runLoaderJob(sLoaderJob);
        finishLoader();
    }
}

// A stage the game must enter that a damaged stage index lacks would load
// an empty floor that never moves on: the player is told, and the game goes
// back to the title instead.
static void reportMissingStage() {
    char text[128];
    snprintf(text, sizeof text, "idx/stage.idx: stage %d is missing; the game returns to the title", gStageIndex);
    showMessageBox(text, "error", MESSAGE_BOX_OK);
    callHook(gSceneHooks.returnToTitle);
}

static void startSceneOrWorld(LoaderKind kind) {
    finishRunningLoader();
    bool field = kind == LOADER_WORLD || gGameMode == GAME_MODE_FIELD;
    if (kind == LOADER_SCENE && gGameMode == GAME_MODE_FIELD) followShopSize();
    if (field && !stageExists(gStageIndex)) {
        reportMissingStage();
        return;
    }
    gSceneLoading = 1;
    gShowLoading = 1;
    // The field's stage is bound here, on the main thread, so that the
    // loader thread finds it bound (the frames meanwhile clear with its colour).
    if (field) bindCurrentStage();
    launchLoader(kind);
}

void startSceneLoader() {
    // The event scene's pictures are those its script names, so the script
    // is compiled here first, as for an event over a scene.
    if (gGameMode == GAME_MODE_EVENT_SCENE) {
        finishRunningLoader();
        callHook(gSceneHooks.startEvent);
    }
    startSceneOrWorld(LOADER_SCENE);
}
void startWorldLoader() { startSceneOrWorld(LOADER_WORLD); }

static void setPartFlags(int32_t mode) {
    gPartLoading = 1;
    gShowPartLoading = 1;
    gEventLoaderMode = mode;
}

void startEventLoader(int32_t mode) {
    finishRunningLoader();
    setPartFlags(mode);
    // The script is compiled here, before its pictures load on the thread.
    callHook(gSceneHooks.startEvent);
    launchLoader(LOADER_EVENT);
}

void startPortraitLoader(int32_t slot) {
    finishRunningLoader();
    gPortraitState = PORTRAIT_LOADING;
    setPartFlags(slot);
    launchLoader(slot == 0 ? LOADER_PORTRAITS_A : LOADER_PORTRAITS_B);
}

static void startShopPartLoader(LoaderKind kind, int32_t mode) {
    finishRunningLoader();
    gShopPartState = 2;
    setPartFlags(mode);
    launchLoader(kind);
}

void startWallLoader(int32_t mode) { startShopPartLoader(LOADER_SHOP_WALLS, mode); }
void startFloorLoader(int32_t mode) { startShopPartLoader(LOADER_SHOP_FLOORS, mode); }
void startRugLoader(int32_t mode) { startShopPartLoader(LOADER_SHOP_RUGS, mode); }
void startTableLoader(int32_t mode) { startShopPartLoader(LOADER_SHOP_TABLES, mode); }

void closeLoaderThread() {
    finishRunningLoader();
    gPartLoading = 0;
    gShowPartLoading = 0;
}

void requestStageChange(int32_t stage, int32_t fadeKind, int32_t holdFadeIn, int32_t entryFloor) {
    if (gSceneLoading) return;
    gStageChange.fadeInKind = fadeKind;
    startFadeOut(fadeKind, 17);
    gStageChange.nextStage = stage;
    gStageChange.entryFloor = entryFloor;
    gStageChange.holdFadeIn = holdFadeIn;
    gStageChange.pending = 1;
}

bool isSceneLoading() { return gSceneLoading != 0; }

void drawLoadingIndicator() {
    if (!gShowLoading && !gShowPartLoading) return;
    gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    gGfxDevice->setTexture(0, gNowLoadingTexture.texture);
    SpriteDest sign = {512.0f, 400.0f, 128.0f, 64.0f};
    addSpriteQuad(sign, SpriteSource{64.0f, 0.0f, 192.0f, 64.0f}, gNowLoadingTexture, 0xFFFFFFFF);
    flushSprites();
    gLoadingSignAngle += 0.3f;
    drawRotatedSquare(RotatedSquare{496.0f, 440.0f, 32.0f, gLoadingSignAngle},
                      SpriteUv{0.00078125f, 0.003125f, 0.25f, 1.0f}, 0xFFFFFFFF);
}

void resetLoaderState() {
    closeLoaderThread();
    gStageChange = StageChange{};
    gSceneLoading = gShowLoading = gPartLoading = gShowPartLoading = 0;
    gEventLoaderMode = gEventReady = gEventJustLoaded = 0;
    gPortraitState = gShopPartState = 0;
    gLoadingSignAngle = 0.0f;
}
