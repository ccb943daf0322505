#include "engine/fades.h"

#include <algorithm>

#include "engine/device.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"

int32_t gFadeState;
int32_t gFadeCounter;
int32_t gFadeKind;
int32_t gFadeLength;
int32_t gBlackout;

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

static const SpriteSource BLACK_CELL = {9.0f, 1.0f, 15.0f, 7.0f};
static const SpriteSource WHITE_CELL = {1.0f, 1.0f, 7.0f, 7.0f};

// The cover's own sampling, set every frame rather than left to whatever
// the scene drew last.
static void setCoverStates() {
    gGfxDevice->setRenderState(GFX_RS_FOGENABLE, 0);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
}

// One full-screen quad of the system picture, its alpha modulated by the colour's.
static void drawCover(const SpriteSource& cell, uint32_t argb) {
    setCoverStates();
    gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
    gGfxDevice->setTexture(0, gSystemTexture.texture);
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
        setCoverStates();
        return;
    }
    uint32_t alpha = (uint32_t)fadeOverlayAlpha();
    drawCover(gFadeKind == 0 ? BLACK_CELL : WHITE_CELL, alpha << 24 | 0xFFFFFFu);
}

void drawBlackout() {
    if (!gBlackout) {
        gGfxDevice->setRenderState(GFX_RS_FOGENABLE, 0);
        return;
    }
    drawCover(BLACK_CELL, 0xFF000000u);
}

void resetFades() {
    initTransitionTiles();
    gFadeKind = 0;
    gFadeLength = 0;
}
