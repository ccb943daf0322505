#include "engine/frame_loop.h"

#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/fades.h"
#include "engine/glyph_cache.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/movie.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/scene_pictures.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "platform/clock.h"
#include "platform/gfx.h"

const uint32_t FRAME_PERIODS[FRAME_SKIP_MAX + 1] = {50, 100, 150, 250, 500};

int32_t gGameMode;
int32_t gTickCounter;
int32_t gUpdateCount;
int32_t gFrameCounter;
float gTimeOfDay;
uint32_t gMeasuredFps;

constexpr uint32_t CLEAR_COLOR_DEFAULT = 0xFF17F0FF;

// Pacing: the time of the last run frame (ms) and the remainder carried
// from it (thirds of a millisecond).
struct FramePacing {
    uint32_t lastFrameMs;
    uint32_t restThirds;
    // Frame-rate measurement.
    uint32_t framesDrawn;
    uint32_t framesAtMeasure;
    uint32_t measureMs;
};
static FramePacing sPacing;

// Empty until the game fills it at start-up; modes 4 and 12 stay empty.
GameModeEntry gGameModes[GAME_MODE_COUNT];

static const GameModeEntry* currentModeEntry() {
    if (gGameMode < 0 || gGameMode >= GAME_MODE_COUNT) return nullptr;
    return &gGameModes[gGameMode];
}

uint32_t getTimeMs() { return (uint32_t)(gClock->nowMicros() / 1000); }

void resetFrameLoop() {
    sPacing.lastFrameMs = getTimeMs();
    sPacing.restThirds = 0;
    sPacing.framesDrawn = 0;
    sPacing.framesAtMeasure = 0;
    sPacing.measureMs = sPacing.lastFrameMs;
    gFrameCounter = 0;
    gMeasuredFps = 0;
    gTimeOfDay = 0.0f;
}

int runFrame() {
    // Out-of-range settings would index past the period table.
    int32_t fs = gFrameSkip < 0 ? 0 : (gFrameSkip > FRAME_SKIP_MAX ? FRAME_SKIP_MAX : gFrameSkip);
    uint32_t now = getTimeMs();
    // Unsigned arithmetic: the clock may wrap.
    uint32_t acc = 3 * now - 3 * sPacing.lastFrameMs + sPacing.restThirds;
    if (acc >= FRAME_PERIODS[0]) pollInput();

    uint32_t period = FRAME_PERIODS[fs];
    if (acc < period) {
        if (acc < period - 10) {
            uint32_t d = period - acc - 10;
            uint32_t sleepMs = d > 10 ? 5 : d / 3 + 1;
            gClock->sleepMicros((uint64_t)sleepMs * 1000);
        }
        return 1;
    }
    // After a stall only the remainder within one period is kept, so the
    // game runs one frame instead of catching up in a burst.
    sPacing.lastFrameMs = now;
    sPacing.restThirds = acc % period;

    for (int32_t i = 0; i <= fs; ++i) {
        updateTick();
        updateSound();
    }
    if (!gOpenGraphics || !gGfxDevice) return 0;
    renderFrame();
    ++gFrameCounter;
    gInputState[0].raw = 0;
    gInputState[1].raw = 0;
    return 1;
}

void runEventStep() {
    if (gEventJustLoaded == 1) {
        if (gEventLoaderMode == EVENT_LOADER_FADE_IN_BOTH || gEventLoaderMode == EVENT_LOADER_FADE_IN_CUT_OUT)
            startFadeIn(0, 17);
        gEventJustLoaded = 0;
    }
    if (gGameMode == GAME_MODE_FIELD) callHook(gSceneHooks.fieldEventTick);
    if (gEventReady == 1 && gSceneHooks.stepEvent && gSceneHooks.stepEvent() != 0) {
        gEventReady = 0;
        releaseEventTextures();
        gBlackout = 0;
        if (gEventLoaderMode == EVENT_LOADER_FADE_IN_BOTH || gEventLoaderMode == EVENT_LOADER_FADE_IN_AT_END)
            startFadeIn(0, 17);
        else if (gEventLoaderMode == EVENT_LOADER_CUT_OUT_AT_END || gEventLoaderMode == EVENT_LOADER_FADE_IN_CUT_OUT)
            startFadeOut(0, 3);
        callHook(gSceneHooks.updateQueuedEvent);
    }
}

static const OverlayKindEntry* currentOverlayKind() {
    int32_t kind = gOverlayScreen.kind;
    return kind >= 0 && kind < OVERLAY_KIND_COUNT ? &gOverlayKinds[kind] : nullptr;
}

static void runOverlayStep() {
    runEventStep();
    if (const OverlayKindEntry* overlay = currentOverlayKind()) callHook(overlay->update);
}

static void runModeUpdate() {
    const GameModeEntry* entry = currentModeEntry();
    if (!entry) return;
    if (entry->prelude) callHook(gSceneHooks.modePrelude);
    if (entry->eventGate && gEventReady) {
        runEventStep();
        return;
    }
    if (entry->update) entry->update();
}

int updateTick() {
    ++gUpdateCount;
    pollLoaderThread();
    pollSaveWrite();
    if (gGameMode != GAME_MODE_TITLE) ++runningGameState().playTicks;
    ageGlyphCache();
    if (gSceneLoading) {
        stepScreenEffects();
        return 1;
    }
    gShowLoading = 0;
    deriveInputEdges(gInputState[0]);
    deriveInputEdges(gInputState[1]);

    if (pollMedia()) {
        if (gInputState[0].pressed & BUTTON_CONFIRM) {
            stopMedia();
            gCurrentTrack = -1;
            callHook(gSceneHooks.movieSkipped);
        }
        return 1;
    }
    if ((gInputState[0].pressed & BUTTON_MENU) && !isSceneLoading() && gGameMode != GAME_MODE_TITLE) toggleOverlayScreen(0);
    // With frame skip several ticks of one frame see the counter at 3; the
    // overlay's scene and loader start on the first of them only.
    if (gOverlayScreen.openCounter == OVERLAY_SWITCH_COUNT && gGameMode != GAME_MODE_OVERLAY) {
        gGameMode = GAME_MODE_OVERLAY;
        callHook(gSceneHooks.openOverlayScreen);
        startSceneLoader();
    }
    callHook(gSceneHooks.stepItemListSlide);

    if (gStageChange.pending) {
        if (!isFadeOutDone()) {
            stepTransition();
            return 1;
        }
        gStageChange.sameStage = gStageIndex == gStageChange.nextStage;
        gStageIndex = gStageChange.nextStage;
        gFloorIndex = gStageChange.entryFloor;
        startWorldLoader();
        if (!gStageChange.holdFadeIn) startFadeIn(gStageChange.fadeInKind, 17);
        gStageChange.pending = 0;
        return 1;
    }

    if (gOverlayScreen.openCounter > 0) {
        if (gGameMode == GAME_MODE_OVERLAY && gOverlayScreen.openCounter > 3) runOverlayStep();
    } else {
        runModeUpdate();
    }

    // The shown day phase only eases forward; a new day starts from below.
    float phase = (float)runningGameState().dayPhase;
    if (gTimeOfDay < phase) {
        if (gTimeOfDay < phase - 1.0f) gTimeOfDay = phase - 1.0f;
        gTimeOfDay += 0.005f;
        if (gTimeOfDay > phase) gTimeOfDay = phase;
        if (gTimeOfDay > 3.5f) gTimeOfDay = 3.5f;
    }
    stepTransition();
    ++gTickCounter;
    return 1;
}

static bool overlayCovers(int32_t counter) { return counter >= 4 && counter <= 12; }

// Modes whose own draw gives way to an event's background pictures.
static bool modeYieldsToEventBackground(int32_t mode) {
    switch (mode) {
    case GAME_MODE_GAME_OVER:
    case GAME_MODE_ENDING:
    case GAME_MODE_MARKET:
    case GAME_MODE_ENDING_SAVE:
    case GAME_MODE_WORLD_MAP:
    case GAME_MODE_DEPARTURE:
    case GAME_MODE_CHURCH:
    case GAME_MODE_PLAZA:
    case GAME_MODE_TAVERN:
    case GAME_MODE_PLAZA_IDLE: return true;
    default: return false;
    }
}

static int32_t eventBackgroundCount() {
    return gSceneHooks.eventBackgroundCount ? gSceneHooks.eventBackgroundCount() : 0;
}

static void chooseRenderTarget() {
    bool wantCapture = gAfterimageStep > 0 || gFrozenFrameStep == 2 || gOverlayScreen.renderCounter == 2;
    // Without the off-screen targets the frame is drawn straight to the back
    // buffer, and the effects draw their plain fallbacks.
    if (wantCapture && offscreenTargetsInUse()) {
        gSavedRenderTarget = gGfxDevice->getRenderTarget();
        gSavedDepthSurface = gGfxDevice->getDepthStencilSurface();
        gGfxDevice->setRenderTarget(gRenderTargetSurfaces[0], gSavedDepthSurface);
        gScreenCaptured = 1;
        gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        gGfxDevice->setTransform(GFX_TS_PROJECTION, gCamera.projection.m);
        return;
    }
    int32_t counter = gOverlayScreen.renderCounter;
    if (counter >= 3 && counter <= 12) return;
    if (gGameMode == GAME_MODE_FIELD) {
        if (!gCurrentStage) return;
        const int32_t* c = gCurrentStage->backcolor;
        uint32_t argb = 0xFF000000u | (uint32_t)(c[0] & 0xFF) << 16 | (uint32_t)(c[1] & 0xFF) << 8 | (uint32_t)(c[2] & 0xFF);
        gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, argb, 1.0f, 0);
        return;
    }
    gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, CLEAR_COLOR_DEFAULT, 1.0f, 0);
}

// Returns whether the mode's draw already drew the afterimage.
static bool drawCurrentMode() {
    const GameModeEntry* entry = currentModeEntry();
    if (!entry) return false;
    if (gGameMode == GAME_MODE_FIELD) {
        if (!gEventReady) {
            callHook(entry->draw);
            return entry->draw && entry->drawsAfterimage;
        }
        if (eventBackgroundCount() == 0) callHook(gSceneHooks.drawFieldUnderEvent);
        drawBlackout();
        callHook(gSceneHooks.drawEventScene);
        return false;
    }
    bool yields = modeYieldsToEventBackground(gGameMode);
    bool hidden = yields && gEventReady && eventBackgroundCount() > 0;
    if (!hidden) callHook(entry->draw);
    if (yields) {
        drawBlackout();
        if (gEventReady) callHook(gSceneHooks.drawEventScene);
    }
    return false;
}

void reloadCurrentModeTextures() {
    int32_t mode = gGameMode;
    if (mode == GAME_MODE_OVERLAY) {
        // The overlay's own pictures, then those of the scene it interrupted.
        if (const OverlayKindEntry* overlay = currentOverlayKind()) callHook(overlay->reload);
        mode = gOverlayScreen.savedMode;
    }
    if (mode < 0 || mode >= GAME_MODE_COUNT || mode == GAME_MODE_OVERLAY) return;
    callHook(gGameModes[mode].reload);
}

static void recoverLostDevice() {
    if (gGfxDevice->testCooperativeLevel() != GFX_DEVICE_NOT_RESET) return;
    // A loader may still be creating textures in the groups released here.
    waitForLoaderThread();
    callHook(gSceneHooks.releaseAllTextures);
    if (gGfxDevice->reset(gPresentParams) != GFX_OK) return;   // tried again next frame
    gDeviceOk = 1;
    loadSystemTextures();
    reloadCurrentModeTextures();
    if (gEventReady) callHook(gSceneHooks.loadEventTextures);
}

static void measureFrameRate() {
    ++sPacing.framesDrawn;
    uint32_t now = getTimeMs();
    uint32_t elapsed = now - sPacing.measureMs;
    if (elapsed > 1000) {
        gMeasuredFps = (sPacing.framesDrawn - sPacing.framesAtMeasure) * 1000 / elapsed;
        sPacing.framesAtMeasure = sPacing.framesDrawn;
        sPacing.measureMs = now;
    }
}

void renderFrame() {
    // The movie stands in for the whole frame, as its window covered the screen.
    if (pollMedia()) {
        if (gDeviceOk) drawMovieFrame();
        if (!gDeviceOk) recoverLostDevice();
        return;
    }
    stepScreenEffects();
    stepOverlayRenderCounter();

    if (gDeviceOk) {
        gSpriteVertexCount = 0;
        gScreenCaptured = 0;
        chooseRenderTarget();
        gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        gGfxDevice->beginScene();

        int32_t counter = gOverlayScreen.renderCounter;
        bool afterimageDrawn = false;
        if (!gShowLoading && !overlayCovers(counter)) afterimageDrawn = drawCurrentMode();
        if (!afterimageDrawn) drawAfterimage();
        if (overlayCovers(counter) && !gShowLoading) {
            if (const OverlayKindEntry* overlay = currentOverlayKind()) callHook(overlay->draw);
            if (gEventReady) callHook(gSceneHooks.drawEventScene);
        }
        if (gGameMode == GAME_MODE_FIELD || overlayCovers(counter)) callHook(gSceneHooks.drawLoadingBand);
        drawTransitionOverlay();
        drawLoadingIndicator();
        if (gGameMode == GAME_MODE_FIELD) callHook(gSceneHooks.drawFieldOverlayEnd);

        gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
        if (gDispFps == 0) drawFpsCounter();
        gGfxDevice->setTexture(0, nullptr);
        gGfxDevice->endScene();
        if (gGfxDevice->present() == GFX_DEVICE_LOST) gDeviceOk = 0;
    }
    if (!gDeviceOk) recoverLostDevice();
    measureFrameRate();
}

void resetFrameLoopState() {
    gGameMode = GAME_MODE_TITLE;
    gTickCounter = 0;
    gUpdateCount = 0;
    gFrameCounter = 0;
    gTimeOfDay = 0.0f;
    gMeasuredFps = 0;
    sPacing = FramePacing{};
}
