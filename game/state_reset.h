// game/state_reset.h: the one list of the running game's state. Start-up
// resets every entry first, so a boot in a process that has booted before
// (the test harness, the headless runner) starts from what a fresh process
// has, whatever ran before it. Tables, pictures, sounds and the device are
// not in it: start-up loads or opens them afresh.
#pragma once
#include <cstdint>

struct GameStateReset {
    const char* name;    // the file whose state it resets
    void (*reset)();
};
extern const GameStateReset GAME_STATE_RESETS[];
extern const int32_t GAME_STATE_RESET_COUNT;

void resetGameState();
