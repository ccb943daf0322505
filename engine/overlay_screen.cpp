#include "engine/overlay_screen.h"

OverlayScreenState gOverlayScreen;
int32_t gFrozenFrameStep;
int32_t gAfterimageStep;
int32_t gAfterimageLength = 32;
int32_t gScreenCaptured;
TextureSlot gAfterimageTexture;
TextureSlot gTransitionTexture;
GfxSurface* gSavedRenderTarget;
GfxSurface* gSavedDepthSurface;

// While opening, a counter climbs to 12 and stays; while closing it runs on
// to 20 and wraps to 0.
static void advanceOpenCounter(int32_t& counter) {
    if (counter <= 0) return;
    ++counter;
    if (gOverlayScreen.opening) {
        if (counter > 12) counter = 12;
    } else if (counter >= 20) {
        counter = 0;
    }
}

void stepScreenEffects() {
    if (gFrozenFrameStep > 0 && ++gFrozenFrameStep >= 32) gFrozenFrameStep = 0;
    if (gAfterimageStep > 0 && ++gAfterimageStep >= gAfterimageLength) gAfterimageStep = 0;
    advanceOpenCounter(gOverlayScreen.openCounter);
}

void stepOverlayRenderCounter() { advanceOpenCounter(gOverlayScreen.renderCounter); }

// Opening and closing the overlays arrive with the overlay screens themselves.
void toggleOverlayScreen(int32_t) {}
void openPauseMenu() { toggleOverlayScreen(0); }

void clearOverlayOpening() { gOverlayScreen.opening = 0; }

// Needs the render-target pictures; arrives with the overlay screens.
void drawAfterimage() {}

void resetOverlayScreen() {
    gOverlayScreen = OverlayScreenState{};
    gFrozenFrameStep = 0;
    gAfterimageStep = 0;
    gAfterimageLength = 32;
    gScreenCaptured = 0;
    gSavedRenderTarget = nullptr;
    gSavedDepthSurface = nullptr;
}
