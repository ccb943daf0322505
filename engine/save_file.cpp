#include "engine/save_file.h"

static GameState sRunningGame;

GameState& runningGameState() { return sRunningGame; }

// Reading the file arrives with the save file.
void loadSaveFile() {}
