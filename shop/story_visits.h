// shop/story_visits.h: the story's visits to the shop. The check between
// the first visits of a phase may start a story event or the ingredient
// quest's reward; the planner asks how far the quest's ingredients are.
// Main thread, inside the counter's tick and the day's planning.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t QUEST_INGREDIENT_COUNT = 3;
extern const int32_t QUEST_INGREDIENT_IDS[QUEST_INGREDIENT_COUNT];

// 0 the quest is paid; 1 an ingredient is missing; 2, 3 or 4 all three are
// in storage or on the shelves and the quest was given at most 1, 2 to 3,
// or 4 or more days ago.
int32_t checkQuestIngredients();
// The story check at gap frame 50 of a phase's first visit slot. It starts
// no event until the story visits are built.
void checkStoryVisits();
// Counter state 30: the quest's reward. Until it is built the counter is
// freed.
void updateQuestReward();
