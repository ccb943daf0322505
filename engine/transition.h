// engine/transition.h: screen fades, the blackout, stage-change requests and
// the loader threads that prepare the next scene.
// The fade advances once per tick (stepTransition); scene code polls
// isFadeOutDone every tick and acts on the one tick it is true.
#pragma once
#include <cstdint>

extern int32_t gFadeState;     // 0 none, 1 fading out, -1 fading in
extern int32_t gFadeCounter;   // ticks
extern int32_t gFadeKind;      // kind 2 has its own end ticks
extern int32_t gFadeLength;    // ticks
extern int32_t gBlackout;      // 1: the screen is held black

struct StageChange {
    int32_t pending;
    int32_t nextStage;
    int32_t sameStage;     // set when carried out: the next stage equals the current one
    int32_t entryFloor;
    int32_t fadeInKind;
    int32_t holdFadeIn;
};
extern StageChange gStageChange;

// Loader flags: written by the starters on the main thread and by the
// loaders when they finish.
extern int32_t gSceneLoading;      // a scene or world loader runs
extern int32_t gShowLoading;       // draw the loading sign for it
extern int32_t gPartLoading;       // a part loader runs
extern int32_t gShowPartLoading;
extern int32_t gEventLoaderMode;
extern int32_t gEventReady;        // 1: an event script runs over the scene
extern int32_t gEventJustLoaded;   // 1 until the tick has done the event's fade-in

void startFadeOut(int32_t kind, int32_t length);
void startFadeIn(int32_t kind, int32_t length);
void stepTransition();
bool isFadeOutDone();
bool isFadeInDone();
void initTransitionTiles();
void setBlackout();

void startSceneLoader();
void startWorldLoader();
void requestStageChange(int32_t stage, int32_t fadeKind, int32_t holdFadeIn, int32_t entryFloor);
bool isSceneLoading();
void closeLoaderThread();

void drawTransitionOverlay();
void drawBlackout();
void drawLoadingIndicator();
