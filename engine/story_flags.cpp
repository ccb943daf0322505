#include "engine/story_flags.h"

#include "engine/save_file.h"

bool storyFlag(const GameState& game, int32_t flag) { return game.storyFlags[flag] != 0; }
bool storyFlag(int32_t flag) { return storyFlag(runningGameState(), flag); }
void setStoryFlag(int32_t flag, uint8_t value) { runningGameState().storyFlags[flag] = value; }
