// engine/loaders.h: the loader threads that prepare the next scene, a stage
// of the field or a part of a scene, the stage-change request that starts
// one after a fade, and the loading sign.
//
// A loader runs on its own thread while the main thread ticks on. Every flag
// below belongs to the main thread: a starter sets them, and the tick after
// the loader's thread has finished (pollLoaderThread, first thing in a tick)
// clears them and sets the loader's completion state. The thread itself only
// loads and then raises one atomic "finished" word (release; the poll reads
// it with acquire), so the main thread sees everything the loader filled and
// the flags change only at tick boundaries, whatever the thread's timing.
// The thread writes nothing the main thread reads meanwhile: a scene's state
// is entered by the main thread in the loader's end, before its flags clear
// (the enter of gGameModes, gOverlayKinds, and enterWorld), or, for the
// field's floor start, set up on the thread while the main thread's ticks
// only step the screen effects and its frames draw the loading sign.
#pragma once
#include <cstdint>

struct StageChange {
    int32_t pending;
    int32_t nextStage;
    int32_t sameStage;     // set when carried out: the next stage equals the current one
    int32_t entryFloor;
    int32_t fadeInKind;
    int32_t holdFadeIn;
};
extern StageChange gStageChange;

extern int32_t gSceneLoading;      // a scene or world loader runs
extern int32_t gShowLoading;       // draw the loading sign for it
extern int32_t gPartLoading;       // a part loader runs
extern int32_t gShowPartLoading;
extern int32_t gEventLoaderMode;   // the argument of the last part-loader start
extern int32_t gEventReady;        // 1: an event script runs over the scene
extern int32_t gEventJustLoaded;   // 1 until the tick has done the event's fade-in
extern int32_t gPortraitState;     // PortraitState
enum PortraitState : int32_t {
    PORTRAIT_READY = 1,
    PORTRAIT_LOADING = 2,
};
extern int32_t gShopPartState;     // 2 loading, 1 ready
extern float gLoadingSignAngle;    // radians; turns while the sign shows

// The loaders. One runs at a time: a starter first finishes a loader that is
// still running. A thread that cannot be made runs its loader at once on the
// calling thread, so no flag is left set. A field scene or a world whose
// stage the stage index lacks is not loaded: a message box tells it and the
// game returns to the title.
void startSceneLoader();
void startWorldLoader();
// An event's loader mode: how the screen fades around it.
enum EventLoaderMode : int32_t {
    EVENT_LOADER_PLAIN = 0,
    EVENT_LOADER_FADE_IN_BOTH = 1,      // fades in when loaded and again at its end
    EVENT_LOADER_FADE_IN_AT_END = 2,
    EVENT_LOADER_CUT_OUT_AT_END = 3,    // fades out in 3 ticks at its end
    EVENT_LOADER_FADE_IN_CUT_OUT = 4,   // fades in when loaded, cuts out at its end
};
void startEventLoader(int32_t mode);
void startPortraitLoader(int32_t slot);
void startWallLoader(int32_t mode);
void startFloorLoader(int32_t mode);
void startRugLoader(int32_t mode);
void startTableLoader(int32_t mode);
// Main thread, once per tick: when the running loader's thread has finished,
// joins it and carries out its end (flags, completion state, fade-in).
void pollLoaderThread();
// Set by a headless run that must repeat exactly: each poll first waits for
// the running loader, so a load ends on the tick after its start whatever
// the thread's timing (and whatever tick of a frame started it).
extern int32_t gLoaderPollWaits;
// Blocks until the running loader's thread has finished its loading; its end
// is carried out by the next poll. Teardowns call it before they release
// what a loader fills; the test harness calls it to make loads take no ticks.
void waitForLoaderThread();
// Waits for a running loader, carries out its end and clears the part flags
// (a return to the title, the title screen, shut-down).
void closeLoaderThread();
bool isLoaderThreadRunning();
// Clears every loader flag and the stage change; no loader may be running.
void resetLoaderState();   // a loader was started and its end is still to come

void requestStageChange(int32_t stage, int32_t fadeKind, int32_t holdFadeIn, int32_t entryFloor);
bool isSceneLoading();

void drawLoadingIndicator();
