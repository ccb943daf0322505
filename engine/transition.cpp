#include "engine/transition.h"

#include <algorithm>
#include <atomic>

#include "dungeon/departure.h"
#include "dungeon/floor_start.h"
#include "engine/frame_loop.h"
#include "engine/overlay_screen.h"
#include "engine/scene_pictures.h"
#include "engine/shell.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "field/resources.h"
#include "platform/thread.h"
#include "shop/day_end.h"
#include "story/ending.h"
#include "story/event.h"
#include "story/title.h"
#include "story/world_map.h"

int32_t gFadeState;
int32_t gFadeCounter;
int32_t gFadeKind;
int32_t gFadeLength;
int32_t gBlackout;
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

// Kind 2 fades end at their own ticks, whatever their length.
constexpr int32_t FADE_KIND_FIXED = 2;
constexpr int32_t FIXED_FADE_OUT_END = 31;
constexpr int32_t FIXED_FADE_IN_END = 30;

void startFadeOut(int32_t kind, int32_t length) {
    gFadeState = 1;
    gFadeCounter = 1;
    gFadeKind = kind;
    gFadeLength = length;
}

void startFadeIn(int32_t kind, int32_t length) {
    gFadeState = -1;
    gFadeCounter = 0;
    gFadeKind = kind;
    gFadeLength = length;
}

void stepTransition() {
    if (gFadeState == 1) {
        // The fade-out holds the screen covered one tick past its end. A
        // short kind-2 fade still counts on to its fixed end, or it would
        // never be done.
        int32_t end = gFadeLength;
        if (gFadeKind == FADE_KIND_FIXED && end < FIXED_FADE_OUT_END) end = FIXED_FADE_OUT_END;
        if (++gFadeCounter > end + 1) gFadeCounter = end + 1;
    } else if (gFadeState == -1) {
        if (++gFadeCounter > gFadeLength) {
            gFadeCounter = 0;
            gFadeState = 0;
        }
    }
}

bool isFadeOutDone() {
    if (gFadeState != 1) return false;
    return gFadeCounter == (gFadeKind == FADE_KIND_FIXED ? FIXED_FADE_OUT_END : gFadeLength);
}

bool isFadeInDone() {
    if (gFadeState != -1) return true;
    return gFadeCounter == (gFadeKind == FADE_KIND_FIXED ? FIXED_FADE_IN_END : gFadeLength);
}

void initTransitionTiles() {
    gFadeState = 0;
    gFadeCounter = 0;
    gBlackout = 0;
}

void setBlackout() { gBlackout = 1; }

// ---- loader threads ----

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

static void loadSceneForMode(const LoaderJob& job) {
    switch (job.gameMode) {
    case 0: loadTitleTextures(); enterTitleScreen(); break;
    case 1: loadFieldResources(); startFloor(); break;
    case 2: loadGameOverTextures(); break;
    case 3: loadEndingTextures(); startEnding(); break;
    case 5: startEvent(); loadEventTextures(); break;
    case 6: loadMarketTextures(); break;
    case 7: loadEndingSaveTextures(); break;
    case 8: enterWorldMap(); loadWorldMapTextures(); break;
    case 9:
        switch (job.overlayKind) {
        case 0: loadPauseTextures(); break;
        case 1: openDayReport(); loadResultsTextures(); break;
        case 2: startItemChoice(); loadItemSelectTextures(); break;
        default: break;
        }
        break;
    case 10: loadOpeningTextures(); break;
    case 11: initDepartureScreen(); loadDepartTextures(); break;
    case 13: loadChurchTextures(); break;
    case 14: loadPlazaTextures(); break;
    case 15: loadTavernTextures(); break;
    case 16: loadPlazaIdleTextures(); break;
    default: break;
    }
}

static void runLoaderJob(const LoaderJob& job) {
    switch (job.kind) {
    case LOADER_SCENE: loadSceneForMode(job); break;
    case LOADER_WORLD:
        if (!job.sameStage) {
            releaseStageModels();
            bindStageModels();
        }
        releaseEnemyModels();
        loadFloorEnemies();
        startFloor();
        break;
    case LOADER_EVENT: loadEventTextures(); break;
    case LOADER_PORTRAITS_A: loadCustomerPortraitsA(); break;
    case LOADER_PORTRAITS_B: loadCustomerPortraitsB(); break;
    case LOADER_SHOP_WALLS: loadShopWalls(); break;
    case LOADER_SHOP_FLOORS: loadShopFloors(); break;
    case LOADER_SHOP_RUGS: loadShopRugs(); break;
    case LOADER_SHOP_TABLES: loadShopTables(); break;
    case LOADER_NONE: break;
    }
}

static void loaderThreadMain(void* arg) {
    runLoaderJob(*static_cast<const LoaderJob*>(arg));
    sLoaderFinished.store(1, std::memory_order_release);
}

// The loader's end, on the main thread: its flags and completion state.
static void finishLoader() {
    threadJoin(sLoaderThread);
    sLoaderPending = 0;
    switch (sLoaderJob.kind) {
    case LOADER_SCENE:
    case LOADER_WORLD: gSceneLoading = 0; break;
    case LOADER_EVENT:
        gPartLoading = gShowPartLoading = 0;
        gEventReady = 1;
        setKeepEventMusic(0);
        gEventJustLoaded = 1;
        break;
    case LOADER_PORTRAITS_A:
    case LOADER_PORTRAITS_B:
        gPartLoading = gShowPartLoading = 0;
        gPortraitState = 1;
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

void pollLoaderThread() {
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

static void startSceneOrWorld(LoaderKind kind) {
    finishRunningLoader();
    gSceneLoading = 1;
    gShowLoading = 1;
    launchLoader(kind);
}

void startSceneLoader() { startSceneOrWorld(LOADER_SCENE); }
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
    startEvent();
    launchLoader(LOADER_EVENT);
}

void startPortraitLoader(int32_t slot) {
    finishRunningLoader();
    gPortraitState = 2;
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

// ---- drawing ----

static const SpriteSource BLACK_CELL = {9.0f, 1.0f, 15.0f, 7.0f};
static const SpriteSource WHITE_CELL = {1.0f, 1.0f, 7.0f, 7.0f};

// One full-screen quad of the system picture, its alpha modulated by the colour's.
static void drawCover(const SpriteSource& cell, uint32_t argb) {
    gD3DDevice->setRenderState(GFX_RS_FOGENABLE, 0);
    gD3DDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    gD3DDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    gD3DDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gD3DDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gD3DDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    gD3DDevice->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    gD3DDevice->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    gD3DDevice->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
    gD3DDevice->setTexture(0, gSystemTexture.texture);
    SpriteDest dst = {0.0f, 0.0f, 640.0f, 480.0f};
    addSpriteQuad(dst, cell, gSystemTexture, argb);
    flushSprites();
}

int32_t fadeOverlayAlpha() {
    if (gFadeCounter == 0) return 0;
    // A fade of two ticks or fewer covers at once rather than divide by zero.
    float step = 256.0f / (float)(gFadeLength > 3 ? gFadeLength - 2 : 1);
    int32_t a = gFadeState == -1 ? (int32_t)(255.0f - step * (float)(gFadeCounter - 2))
                                 : (int32_t)(step * (float)gFadeCounter);
    return std::clamp(a, 0, 255);
}

void drawTransitionOverlay() {
    if (gFadeCounter == 0) {
        gD3DDevice->setRenderState(GFX_RS_FOGENABLE, 0);
        return;
    }
    uint32_t alpha = (uint32_t)fadeOverlayAlpha();
    drawCover(gFadeKind == 0 ? BLACK_CELL : WHITE_CELL, alpha << 24 | 0xFFFFFFu);
}

void drawBlackout() {
    if (!gBlackout) {
        gD3DDevice->setRenderState(GFX_RS_FOGENABLE, 0);
        return;
    }
    drawCover(BLACK_CELL, 0xFF000000u);
}

void drawLoadingIndicator() {
    if (!gShowLoading && !gShowPartLoading) return;
    gD3DDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gD3DDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gD3DDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    gD3DDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    gD3DDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    gD3DDevice->setTexture(0, gNowLoadingTexture.texture);
    SpriteDest sign = {512.0f, 400.0f, 128.0f, 64.0f};
    addSpriteQuad(sign, SpriteSource{64.0f, 0.0f, 192.0f, 64.0f}, gNowLoadingTexture, 0xFFFFFFFF);
    flushSprites();
    gLoadingSignAngle += 0.3f;
    drawRotatedSquare(RotatedSquare{496.0f, 440.0f, 32.0f, gLoadingSignAngle},
                      SpriteUv{0.00078125f, 0.003125f, 0.25f, 1.0f}, 0xFFFFFFFF);
}
