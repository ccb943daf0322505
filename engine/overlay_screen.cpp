#include "engine/overlay_screen.h"

#include <cmath>
#include <numbers>

#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/scene_pictures.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/story_flags.h"

OverlayScreenState gOverlayScreen;
int32_t gFrozenFrameStep;
int32_t gAfterimageStep;
int32_t gAfterimageLength = 32;
int32_t gScreenCaptured;
TextureSlot gAfterimageTexture;
TextureSlot gTransitionTexture;
GfxSurface* gSavedRenderTarget;
GfxSurface* gSavedDepthSurface;

constexpr int32_t FROZEN_FRAME_END = 32;
constexpr int32_t STRIP_HEIGHT = 256;
constexpr uint32_t STRIP_CLEAR = 0xFF0000C8;
constexpr uint32_t BLUR_CLEAR_PAUSE = 0xFF173C8C;
constexpr uint32_t BLUR_CLEAR_OTHER = 0xFF3C3C3C;
constexpr uint32_t BLUR_LAYER_COLOUR = 0x14DCDCDC;   // alpha 20, grey 220
constexpr int32_t BLUR_LAYERS = 12;

// While opening, a counter climbs to 12 and stays; while closing it runs on
// to 20 and wraps to 0.
static void advanceOpenCounter(int32_t& counter) {
    if (counter <= 0) return;
    ++counter;
    if (gOverlayScreen.opening) {
        if (counter > OVERLAY_OPEN_COUNT) counter = OVERLAY_OPEN_COUNT;
    } else if (counter >= OVERLAY_CLOSED_COUNT) {
        counter = 0;
    }
}

void stepScreenEffects() {
    if (gFrozenFrameStep > 0 && ++gFrozenFrameStep >= FROZEN_FRAME_END) gFrozenFrameStep = 0;
    if (gAfterimageStep > 0 && ++gAfterimageStep >= gAfterimageLength) gAfterimageStep = 0;
    advanceOpenCounter(gOverlayScreen.openCounter);
}

void stepOverlayRenderCounter() { advanceOpenCounter(gOverlayScreen.renderCounter); }

void startFrozenFrameFade() { gFrozenFrameStep = 1; }

void startAfterimage(int32_t length) {
    if (gOverlayScreen.openCounter != 0) return;
    gAfterimageStep = 1;
    gAfterimageLength = length;
}

void clearOverlayOpening() { gOverlayScreen.opening = 0; }

// Modes whose scenes never take an overlay: game over, ending, the save
// after the ending and the opening.
static bool modeRefusesOverlay(int32_t mode) {
    return mode == GAME_MODE_GAME_OVER || mode == GAME_MODE_ENDING || mode == GAME_MODE_ENDING_SAVE ||
           mode == GAME_MODE_OPENING;
}

// The field's rules, each later one overriding the ruling before it.
static int32_t fieldRuling(int32_t kind) {
    int32_t ruling = gSceneHooks.fieldOverlayRuling ? gSceneHooks.fieldOverlayRuling(kind) : OVERLAY_ALLOW;
    const uint8_t* flags = runningGameState().storyFlags;
    if (flags[FLAG_STORY_VISIT]) ruling = OVERLAY_REFUSE_SILENT;
    if (flags[FLAG_EVENT_0_8_DUE]) ruling = OVERLAY_REFUSE_SILENT;
    if (flags[FLAG_EVENT_9_1_DUE]) ruling = OVERLAY_REFUSE;
    if (flags[FLAG_STANDING_WALKER]) ruling = OVERLAY_REFUSE;
    return ruling;
}

static void releaseOverlayPictures(int32_t kind) {
    if (kind == OVERLAY_PAUSE_MENU) releasePauseTextures();
    else if (kind == OVERLAY_RESULTS) releaseResultsTextures();
    else releaseItemSelectTextures();
}

static void openOverlay(int32_t kind) {
    if (gOverlayScreen.openCounter != 0) return;
    gAfterimageStep = 0;
    if (kind == OVERLAY_PAUSE_MENU) playSoundEffect(SOUND_MENU_OPEN);
    OverlayScreenState& o = gOverlayScreen;
    o.savedMode = gGameMode;
    o.pointerShown = isPointerShown() ? 1 : 0;
    getPointerPosition(&o.pointerX, &o.pointerY);
    o.openCounter = 1;
    o.renderCounter = 1;
    o.opening = 1;
    callHook(gSceneHooks.saveOverlayScene);
}

static void closeOverlay(int32_t kind) {
    OverlayScreenState& o = gOverlayScreen;
    if (o.openCounter < OVERLAY_OPEN_COUNT) return;
    gGameMode = o.savedMode;
    callHook(gSceneHooks.leaveOverlayScene);
    hidePointer();
    releaseOverlayPictures(kind);
    o.opening = 0;
    if (o.pointerShown) setPointerPosition(o.pointerX, o.pointerY);
    callHook(gSceneHooks.restoreOverlayScene);
}

void toggleOverlayScreen(int32_t kind) {
    OverlayScreenState& o = gOverlayScreen;
    if ((gGameMode == GAME_MODE_OVERLAY || o.openCounter > 0) && kind != o.kind) {
        playSoundEffect(SOUND_REFUSED);
        return;
    }
    if (gPartLoading) return;
    o.kind = kind;
    int32_t ruling = modeRefusesOverlay(gGameMode) ? OVERLAY_REFUSE : OVERLAY_ALLOW;
    if (gEventReady) {
        if (gSceneHooks.requestEventSkip && gSceneHooks.requestEventSkip()) {
            playSoundEffect(SOUND_CONFIRM);
            return;
        }
        ruling = OVERLAY_REFUSE;
    } else if (isDialogActive()) {
        ruling = OVERLAY_REFUSE;
    } else if (gGameMode == GAME_MODE_FIELD) {
        ruling = fieldRuling(kind);
    }
    if (ruling == OVERLAY_REFUSE) playSoundEffect(SOUND_REFUSED);
    if (ruling != OVERLAY_ALLOW) return;

    // A fade holds back only the pause menu; the scenes open the others.
    if ((gFadeState != 0 || gFrozenFrameStep != 0) && kind == OVERLAY_PAUSE_MENU) return;
    if (gSceneHooks.runEndHoldsOverlay && gSceneHooks.runEndHoldsOverlay(kind)) return;
    gFrozenFrameStep = 0;
    if (gGameMode != GAME_MODE_OVERLAY) openOverlay(kind);
    else closeOverlay(kind);
}

void openPauseMenu() { toggleOverlayScreen(OVERLAY_PAUSE_MENU); }
void openResultsScreen() { toggleOverlayScreen(OVERLAY_RESULTS); }
void openItemSelectScreen() { toggleOverlayScreen(OVERLAY_ITEM_CHOICE); }

int32_t afterimageAlpha(int32_t step, int32_t length) {
    const double pi = std::numbers::pi;
    return 255 - (int32_t)std::floor(200.0 * std::sin(pi * (double)step / (double)length));
}

int32_t transitionAlpha(int32_t counter) {
    int32_t a = 22 * counter;
    if (a > 255) a = 255;
    if (counter > OVERLAY_OPEN_COUNT) a -= 32 * (counter - OVERLAY_OPEN_COUNT);
    return a;
}

bool offscreenTargetsInUse() {
    return gSfNoUse == 0 && gRenderTargetSurfaces[0] && gRenderTargetSurfaces[1];
}

// Ends a capture: the frame drawn so far is in the screen-size target.
static void restoreCapturedTarget() {
    if (!gSavedRenderTarget) return;
    gGfxDevice->setRenderTarget(gSavedRenderTarget, gSavedDepthSurface);
    gSavedRenderTarget = nullptr;
    gSavedDepthSurface = nullptr;
}

static void setLinearFiltering() {
    gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
}

// One quad over the whole screen of the target's whole picture.
static void drawFullScreen(GfxTexture* texture, const TextureSlot& slot, const SpriteSource& src, uint32_t argb) {
    gGfxDevice->setTexture(0, texture);
    SpriteDest dst = {0.0f, 0.0f, 640.0f, 480.0f};
    addSpriteQuad(dst, src, slot, argb);
    flushSprites();
}

static void drawCapturedScreen(int32_t alpha) {
    drawFullScreen(gRenderTargetTextures[0], gAfterimageTexture, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f},
                   (uint32_t)alpha << 24 | 0x00FFFFFFu);
}

// The blurred backdrop, built once when the transition starts: the captured
// screen shrunk into the strip's left half, then the strip laid twelve times
// over the screen-size target, each layer a little more zoomed.
static void buildBlurredBackdrop(int32_t kind) {
    GfxSurface* backBuffer = gGfxDevice->getBackBuffer();
    GfxSurface* depth = gGfxDevice->getDepthStencilSurface();

    gGfxDevice->setRenderTarget(gRenderTargetSurfaces[1], depth);
    gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, STRIP_CLEAR, 1.0f, 0);
    gGfxDevice->setTransform(GFX_TS_PROJECTION, gCamera.projection.m);
    gGfxDevice->setTexture(0, gRenderTargetTextures[0]);
    // The strip has a fixed size, so the quad is given in its pixels.
    addSpriteQuadPixels(SpriteDest{0.0f, 0.0f, 640.0f, (float)STRIP_HEIGHT}, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f},
                        gAfterimageTexture, 0xFFFFFFFF);
    flushSprites();
    gGfxDevice->setRenderTarget(backBuffer, depth);

    gGfxDevice->setRenderTarget(gRenderTargetSurfaces[0], depth);
    gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, kind == OVERLAY_PAUSE_MENU ? BLUR_CLEAR_PAUSE : BLUR_CLEAR_OTHER,
                      1.0f, 0);
    gGfxDevice->setTransform(GFX_TS_PROJECTION, gCamera.projection.m);
    gGfxDevice->setTexture(0, gRenderTargetTextures[1]);
    for (int32_t i = 0; i < BLUR_LAYERS; ++i) {
        float w = (float)(kind == OVERLAY_PAUSE_MENU ? 4 * i + 4 : 2 * i + 4);
        SpriteDest dst = {0.0f, 0.0f, 640.0f, 480.0f};
        addSpriteQuad(dst, SpriteSource{w, w / 2.0f, 640.0f - w, (float)STRIP_HEIGHT - w / 2.0f}, gTransitionTexture,
                      BLUR_LAYER_COLOUR);
    }
    flushSprites();
    gGfxDevice->setRenderTarget(backBuffer, depth);
}

void drawOverlayTransition() {
    int32_t c = gOverlayScreen.renderCounter;
    bool offscreen = offscreenTargetsInUse();
    if (c > 1) {
        if (c == 2 && offscreen) restoreCapturedTarget();
        set2DRenderStates();
        setLinearFiltering();
        if (c > 2 && !offscreen) {
            int32_t a = 16 * c > 255 ? 255 : 16 * c;
            drawFullScreen(gSystemTexture.texture, gSystemTexture, SpriteSource{1.0f, 1.0f, 7.0f, 7.0f},
                           (uint32_t)a << 24 | 0x5Fu);
        } else if (c > 2) {
            if (c == OVERLAY_SWITCH_COUNT) buildBlurredBackdrop(gOverlayScreen.kind);
            drawCapturedScreen(transitionAlpha(c));
        }
    }
    if (gFrozenFrameStep > 1 && offscreen) {
        if (gFrozenFrameStep == 2) restoreCapturedTarget();
        set2DRenderStates();
        drawCapturedScreen(gFrozenFrameStep == 2 ? 255 : 255 - 8 * gFrozenFrameStep);
    }
}

void drawAfterimage() {
    drawOverlayTransition();
    if (!offscreenTargetsInUse() || gAfterimageStep <= 0) return;
    set2DRenderStates();
    restoreCapturedTarget();
    drawCapturedScreen(afterimageAlpha(gAfterimageStep, gAfterimageLength));
}

void resetOverlayScreen() {
    gOverlayScreen = OverlayScreenState{};
    gFrozenFrameStep = 0;
    gAfterimageStep = 0;
    gAfterimageLength = 32;
    gScreenCaptured = 0;
    gSavedRenderTarget = nullptr;
    gSavedDepthSurface = nullptr;
}
