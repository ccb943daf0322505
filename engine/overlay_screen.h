// engine/overlay_screen.h: the screens that open over a running scene (pause
// menu, day results, item choice) and the full-screen effects that render the
// frame into the off-screen target (frozen-frame fade, afterimage).
#pragma once
#include <cstdint>

#include "engine/textures.h"

struct OverlayScreenState {
    int32_t kind;            // 0 pause menu, 1 results, 2 item choice
    int32_t openCounter;     // tick side: 0 closed, 1..12 opening/open, 13..19 closing
    int32_t renderCounter;   // the same, advanced once per drawn frame
    int32_t opening;         // 1 from opening until closing starts
    int32_t savedMode;       // the interrupted game mode
};
extern OverlayScreenState gOverlayScreen;
extern int32_t gFrozenFrameStep;   // 0 off, 1..31 running
extern int32_t gAfterimageStep;    // 0 off, 1..n-1 running
extern int32_t gAfterimageLength;
extern int32_t gScreenCaptured;    // this frame was drawn into the off-screen target

// Slots without pictures holding the sizes of the two off-screen targets
// (640 x 480 and 1280 x 256, set with the system pictures), against which
// the effects' source rectangles become texture coordinates.
extern TextureSlot gAfterimageTexture;
extern TextureSlot gTransitionTexture;

// The targets in use when a frame was captured; the effect's drawing sets
// them back.
struct GfxSurface;
extern GfxSurface* gSavedRenderTarget;
extern GfxSurface* gSavedDepthSurface;

void stepScreenEffects();
void stepOverlayRenderCounter();
void toggleOverlayScreen(int32_t kind);
void openPauseMenu();
void clearOverlayOpening();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetOverlayScreen();
void drawAfterimage();
