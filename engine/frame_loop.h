// engine/frame_loop.h: frame pacing, the logic tick and the drawn frame.
// runFrame is called by the message loop whenever no window event waits; it
// polls input once 1/60 s has passed and, once the frame period of the
// frame-skip setting has passed, runs fs + 1 ticks and draws one frame.
// Each game mode binds an update, a draw and a picture reload in gGameModes.
#pragma once
#include <cstdint>

constexpr int GAME_MODE_COUNT = 17;
constexpr int FRAME_SKIP_MAX = 4;

// Frame period in thirds of a millisecond by frame skip (1/60 .. 1/6 s).
extern const uint32_t FRAME_PERIODS[FRAME_SKIP_MAX + 1];

extern int32_t gGameMode;
extern int32_t gTickCounter;     // ticks since start that ran the scene
extern int32_t gUpdateCount;     // every updateTick, waiting ones too
extern int32_t gFrameCounter;    // drawn frames since start
extern float gTimeOfDay;         // the shown day phase, easing toward the running game's
extern uint32_t gMeasuredFps;

// prelude: tickHud and updateEffectObjects run first; eventGate: while an
// event runs only the event step runs instead of update.
struct GameModeEntry {
    void (*update)();
    void (*draw)();
    void (*reload)();    // pictures reloaded after a device reset
    uint8_t prelude;
    uint8_t eventGate;
};
// Mutable so that a scene can be swapped for a probe in tests.
extern GameModeEntry gGameModes[GAME_MODE_COUNT];

int runFrame();
uint32_t getTimeMs();
int updateTick();
void renderFrame();
void runEventStep();
void reloadCurrentModeTextures();
// Back to the state before the first frame (a new boot in the same process).
void resetFrameLoop();
