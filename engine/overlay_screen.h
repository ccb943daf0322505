// engine/overlay_screen.h: the screens that open over a running scene (pause
// menu, day results, item choice) and the full-screen effects that render the
// frame into the off-screen target (frozen-frame fade, afterimage).
// toggleOverlayScreen runs in a tick; stepScreenEffects once per drawn frame
// (and per tick while a loader runs); the drawing functions in the drawn
// frame. What the toggle needs of the scenes it reaches through the scene
// hooks (engine/scene_hooks.h). Main thread only.
#pragma once
#include <cstdint>

#include "engine/textures.h"

enum OverlayKind : int32_t {
    OVERLAY_PAUSE_MENU = 0,
    OVERLAY_RESULTS = 1,
    OVERLAY_ITEM_CHOICE = 2,
};

// The counters' landmarks: the mode switches to the overlay at 3, it stays
// open at 12 and closing runs from 13 until it wraps to 0 at 20.
constexpr int32_t OVERLAY_SWITCH_COUNT = 3;
constexpr int32_t OVERLAY_OPEN_COUNT = 12;
constexpr int32_t OVERLAY_CLOSED_COUNT = 20;

struct OverlayScreenState {
    int32_t kind;            // OverlayKind last asked for
    int32_t openCounter;     // tick side: 0 closed, 1..12 opening/open, 13..19 closing
    int32_t renderCounter;   // the same, advanced once per drawn frame; drawing reads it
    int32_t opening;         // 1 from opening until closing starts
    // What the interrupted scene gets back when the overlay closes.
    int32_t savedMode;
    int32_t pointerShown;
    float pointerX, pointerY;
    int32_t itemListOpen;
    int32_t itemListType;
    int32_t itemInfoState;
};
extern OverlayScreenState gOverlayScreen;
extern int32_t gFrozenFrameStep;   // 0 off, 1..31 running
extern int32_t gAfterimageStep;    // 0 off, 1..n-1 running
extern int32_t gAfterimageLength;  // n
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

// What the field's own rules say to an overlay asked for on a field stage.
enum OverlayRuling : int32_t {
    OVERLAY_ALLOW = 0,
    OVERLAY_REFUSE = 1,          // refused with the refusal sound
    OVERLAY_REFUSE_SILENT = 2,   // refused without a sound
};

// Opens the overlay of that kind, or closes it when it is open; refusals
// sound SOUND_REFUSED or nothing. The result is ignored by every caller.
void toggleOverlayScreen(int32_t kind);
void openPauseMenu();
void openResultsScreen();
void openItemSelectScreen();
// The counters run on to the end of closing; for overlays that leave
// without the toggle.
void clearOverlayOpening();
void stepScreenEffects();
void stepOverlayRenderCounter();
void startFrozenFrameFade();
// Ignored while an overlay opens, is open or closes.
void startAfterimage(int32_t length);
// The overlay transition (12 blurred layers) and the frozen-frame fade.
void drawOverlayTransition();
// drawOverlayTransition, then this frame laid over the last one.
void drawAfterimage();
// The effects need both off-screen targets; "sfnouse", or targets the
// device could not make, leave only the plain fallbacks.
bool offscreenTargetsInUse();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetOverlayScreen();

// The afterimage's opacity at a step of a length n: 255 - floor(200 sin(pi step / n)).
int32_t afterimageAlpha(int32_t step, int32_t length);
// The transition's opacity at render counter c (above 2).
int32_t transitionAlpha(int32_t counter);
