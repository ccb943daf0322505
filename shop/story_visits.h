// shop/story_visits.h: the story's visits to the shop. The check between
// the first visits of a phase may start a story event or the ingredient
// quest's reward; the planner asks how far the quest's ingredients are; on
// the morning of day 8 two visitors walk in for a scene of their own.
// Main thread, inside the counter's tick, the day's planning and the shop
// floor's tick.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t QUEST_INGREDIENT_COUNT = 3;
extern const int32_t QUEST_INGREDIENT_IDS[QUEST_INGREDIENT_COUNT];
// What the counter shows for the ingredients when the reward is paid.
extern const char* const QUEST_INGREDIENT_TEXT;

// The quest giver's later events: each row once, when its flag is clear
// and the giver's points are above the threshold.
struct QuestEventRow {
    int32_t flag;
    int32_t threshold;
    int32_t major, minor;
};
constexpr int32_t QUEST_EVENT_ROW_COUNT = 4;
extern const QuestEventRow QUEST_EVENT_ROWS[QUEST_EVENT_ROW_COUNT];

// The reward's multiplier: the sooner the ingredients were ready, the more.
enum QuestReward : int32_t {
    QUEST_REWARD_SINGLE = 0,
    QUEST_REWARD_HALF_MORE = 1,   // x 1.5, truncated
    QUEST_REWARD_DOUBLE = 2,
    QUEST_REWARD_TRIPLE = 3,
};
// The sum of the ingredients' base prices times the multiplier. Pure.
int32_t questRewardPrice(int32_t sum, int32_t multiplier);
// Days from the quest's date (its low byte) to date, modulo 256. Pure.
int32_t questDaysSinceGiven(int32_t date, uint8_t givenLowByte);

// 0 the quest is paid; 1 an ingredient is missing; 2, 3 or 4 all three are
// in storage or on the shelves and the quest was given at most 1, 2 to 3,
// or 4 or more days ago.
int32_t checkQuestIngredients();
// The story check at gap frame 50 of a phase's first visit slot: the first
// check in order that holds starts its event (its flags change only when
// the event is taken); the quest's reward takes one copy of each
// ingredient, logged as sold, and sends the counter to state 30.
void checkStoryVisits();
// Counter state 30: the letterbox comes in, the shopkeeper names the
// ingredients and the reward is paid.
void updateQuestReward();

// The visitors' models and the second visitor's poses by tick after the
// visit's base.
extern const int32_t STORY_VISITOR_MODELS[STORY_VISITOR_COUNT];
struct StoryVisitorPose {
    int32_t tick;
    int32_t motion;
};
constexpr int32_t STORY_VISITOR_POSE_COUNT = 5;
extern const StoryVisitorPose STORY_VISITOR_POSES[STORY_VISITOR_POSE_COUNT];
