#include "story/story.h"
#include "story/story_state.h"

#include "engine/save_file.h"
#include "engine/story_flags.h"

int32_t gAvailableAdventurers[ADVENTURER_COUNT];
int32_t gAvailableAdventurerCount;

void listAvailableAdventurers() {
    const GameState& game = runningGameState();
    gAvailableAdventurerCount = 0;
    for (int32_t a = 0; a < ADVENTURER_COUNT; a++)
        if (game.storyFlags[FLAG_ADVENTURER_AVAILABLE + a] || game.storyFlags[FLAG_ADVENTURER_CARD + a])
            gAvailableAdventurers[gAvailableAdventurerCount++] = a;
}

void resetAvailableAdventurers() {
    for (int32_t& a : gAvailableAdventurers) a = 0;
    gAvailableAdventurerCount = 0;
}
