#include "story/place_events.h"

#include "engine/save_file.h"
#include "engine/story_flags.h"

constexpr int32_t PLACE_DONE_FLAG_COUNT = 4;

void clearPlaceEventFlags() {
    GameState& game = runningGameState();
    for (int32_t i = 0; i < PLACE_DONE_FLAG_COUNT; i++) game.storyFlags[FLAG_PLACE_DONE_FIRST + i] = 0;
}
