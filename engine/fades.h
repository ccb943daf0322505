// engine/fades.h: screen fades and the blackout. The fade advances once per
// tick (stepTransition); scene code polls isFadeOutDone every tick and acts
// on the one tick it is true. The covers are drawn from the system picture.
#pragma once
#include <cstdint>

extern int32_t gFadeState;     // 0 none, 1 fading out, -1 fading in
extern int32_t gFadeCounter;   // ticks
extern int32_t gFadeKind;      // kind 2 has its own end ticks
extern int32_t gFadeLength;    // ticks
extern int32_t gBlackout;      // 1: the screen is held black

void startFadeOut(int32_t kind, int32_t length);
void startFadeIn(int32_t kind, int32_t length);
void stepTransition();
bool isFadeOutDone();
bool isFadeInDone();
void initTransitionTiles();
void setBlackout();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFades();

// The fade cover's alpha, 0..255, for the current fade counter.
int32_t fadeOverlayAlpha();
void drawTransitionOverlay();
void drawBlackout();
