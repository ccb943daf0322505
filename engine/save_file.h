// engine/save_file.h: the save image and the running game.
#pragma once
#include <cstdint>

// The fields of the running game the frame loop uses; the whole record comes
// with the save file.
struct GameState {
    int32_t playTicks;
    int32_t dayPhase;   // 0..3 phases of the day, 4 closed
};

GameState& runningGameState();
void loadSaveFile();
