// engine/frame_loop.h: frame pacing, the logic tick and the drawn frame.
// runFrame is called by the message loop whenever no window event waits; it
// polls input once 1/60 s has passed and, once the frame period of the
// frame-skip setting has passed, runs fs + 1 ticks and draws one frame.
// Each game mode binds an update, a draw, a picture reload, its loader's
// work and its entry in gGameModes, which the game layer fills at start-up.
#pragma once
#include <cstdint>

// The scenes by game mode number.
enum GameMode : int32_t {
    GAME_MODE_TITLE = 0,          // title and file select
    GAME_MODE_FIELD = 1,          // shop floor and dungeon floors
    GAME_MODE_GAME_OVER = 2,      // game over and new loop
    GAME_MODE_ENDING = 3,         // ending and staff roll
    GAME_MODE_UNUSED_4 = 4,       // no scene
    GAME_MODE_EVENT_SCENE = 5,    // a stand-alone event scene
    GAME_MODE_MARKET = 6,         // market and merchants' guild
    GAME_MODE_ENDING_SAVE = 7,    // the save after the ending
    GAME_MODE_WORLD_MAP = 8,      // the town map
    GAME_MODE_OVERLAY = 9,        // an overlay screen over the interrupted scene
    GAME_MODE_OPENING = 10,
    GAME_MODE_DEPARTURE = 11,     // the adventurers' guild departure
    GAME_MODE_UNUSED_12 = 12,     // no scene
    GAME_MODE_CHURCH = 13,
    GAME_MODE_PLAZA = 14,
    GAME_MODE_TAVERN = 15,
    GAME_MODE_PLAZA_IDLE = 16,
    GAME_MODE_COUNT = 17,
};
constexpr int FRAME_SKIP_MAX = 4;

// Frame period in thirds of a millisecond by frame skip (1/60 .. 1/6 s).
extern const uint32_t FRAME_PERIODS[FRAME_SKIP_MAX + 1];

extern int32_t gGameMode;
extern int32_t gTickCounter;     // ticks since start that ran the scene
extern int32_t gUpdateCount;     // every updateTick, waiting ones too
extern int32_t gFrameCounter;    // drawn frames since start
extern float gTimeOfDay;         // the shown day phase, easing toward the running game's
extern uint32_t gMeasuredFps;

// prelude: the modePrelude hook (the HUD, then the effect objects) runs
// first; eventGate: while an event runs only the event step runs instead of
// update; drawsAfterimage: the draw ends with the afterimage itself.
struct GameModeEntry {
    void (*update)();
    void (*draw)();
    void (*reload)();    // pictures reloaded after a device reset
    void (*load)();      // the scene loader's work, on its thread: pictures, models, files
    void (*enter)();     // the scene's state, set up by the main thread at the loader's end
    uint8_t prelude;
    uint8_t eventGate;
    uint8_t drawsAfterimage;
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
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFrameLoopState();
