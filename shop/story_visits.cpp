#include "shop/story_visits.h"

#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "shop/counter.h"
#include "shop/item_db.h"

const int32_t QUEST_INGREDIENT_IDS[QUEST_INGREDIENT_COUNT] = {3101, 3110, 3106};

int32_t checkQuestIngredients() {
    const GameState& game = runningGameState();
    if (game.storyFlags[FLAG_QUEST_PAID]) return 0;
    bool found[QUEST_INGREDIENT_COUNT] = {};
    auto look = [&](int32_t key) {
        if (key < 0) return;
        for (int32_t i = 0; i < QUEST_INGREDIENT_COUNT; i++) found[i] |= itemKeyId(key) == QUEST_INGREDIENT_IDS[i];
    };
    int32_t stored = game.storageCount < 0 ? 0 : game.storageCount < STORAGE_ENTRY_COUNT ? game.storageCount : STORAGE_ENTRY_COUNT;
    for (int32_t i = 0; i < stored; i++) look(game.storage[i]);
    for (const auto& shelf : game.shelves) {
        for (int32_t key : shelf) look(key);
    }
    for (bool f : found) {
        if (!f) return 1;
    }
    int32_t days = game.date - game.storyFlags[FLAG_QUEST_GIVEN_DATE];
    if (days <= 1) return 2;
    return days <= 3 ? 3 : 4;
}

void checkStoryVisits() {}

void updateQuestReward() {
    gCounter.state = COUNTER_FREE;
    gCounter.stateFrame = 0;
    gCounter.gapFrame = 0;
}
// The story visit's scene arrives with the story visits.
void startStoryVisit() {}

// The visit's timeline arrives with the story visits.
void stepStoryVisit() {}

// The visitors' figures arrive with the story visits.
void faceStoryVisitor() {}
void animateStoryVisitors() {}
