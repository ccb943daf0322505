// engine/story_flags.h: the story flags of a game record by number: flag n
// is GameState::storyFlags[n] (engine/save_file.h), 0 clear, 1 set. Named
// here are the flags the code reads or writes one by one; the carry-over's
// lists of flags set or kept (story/game_records.cpp) stay lists of numbers.
#pragma once
#include <cstdint>

enum StoryFlag : int32_t {
    FLAG_ALL_WARES = 1,              // the market and guild offer every priced item, none limited
    FLAG_ADVENTURER_AVAILABLE = 4,   // 4 + a: adventurer a is available in this run
    FLAG_REPORTED_SOURCE = 10,       // adventurer 6 available; carried over as FLAG_REPORTED
    FLAG_SHELF_LESSON = 18,          // shelves can be stocked from the shop floor
    FLAG_DOOR_CLOSED = 23,           // the shop door and the fairy's talk are held
    FLAG_SHELF_STOCKED = 24,         // an item was put on a shelf
    FLAG_FIRST_OUTING = 25,          // set with FLAG_LEFT_SHOP the first time
    FLAG_LEFT_SHOP = 26,             // the heroine has left the shop once
    FLAG_FRONT_ROW_STOCKED = 27,     // an item stands in the window row
    FLAG_SHELVES_FULL = 29,          // every shelf cell stocked: the stocking lesson ends
    FLAG_COUNTER_LESSONS = 31,       // the counter lessons are still to come
    FLAG_COUNTER_LESSONS_DONE = 32,
    FLAG_SCRIPTED_DAY_DONE = 34,
    FLAG_STORY_TUTORIAL = 36,        // the story tutorial's shop days
    FLAG_TUTORIAL_REPEAT = 37,       // the tutorial phase runs again
    FLAG_SCRIPTED_DAY = 38,          // a single scripted trading day
    FLAG_FAIRY_TALK = 39,            // the fairy can be talked to
    FLAG_DUNGEON_TUTORIAL_DONE = 56, // the dungeon-entry tutorial: done, gate seen, gate pending
    FLAG_DUNGEON_TUTORIAL_GATE = 57,
    FLAG_DUNGEON_TUTORIAL = 58,
    FLAG_FIRST_FLOOR_SEEN = 59,      // the first floor's event ran
    FLAG_FIRST_DEFEAT_SEEN = 64,
    FLAG_TIME_LECTURE = 67,          // the fairy offers the time lecture
    FLAG_TRIAL_CLEARED = 57,         // the trial floor's tutorial chest is done with
    FLAG_TRIAL_CHEST = 58,           // the trial floor holds the tutorial chest
    FLAG_SELLERS = 72,               // seller customers allowed (tutorial lesson 1)
    FLAG_REQUESTS = 73,              // request customers allowed (tutorial lesson 2)
    FLAG_PLACE_DONE_FIRST = 96,      // 96..99: a town place's event ran in this day phase
    FLAG_QUEST_GIVEN = 129,          // the ingredient quest runs
    FLAG_QUEST_GIVEN_DATE = 130,     // a byte: the date's low byte when it was given
    FLAG_QUEST_PAID = 131,
    FLAG_STORY_VISIT = 144,          // the story visit runs in the shop
    FLAG_STORY_VISIT_HOLD = 145,     // the story visit holds the heroine still
    FLAG_STORY_VISIT_SEEN = 160,
    FLAG_STORY_VISIT_STARTED = 161,
    FLAG_HUD_CUTSCENE = 154,         // the HUD keeps its cut-scene look (bars in, top bar away)
    FLAG_TOWER_STORY_FLOOR = 154,    // the story floor of the tower: one block, no gates
    FLAG_EVENT_9_1_DUE = 165,        // the shop starts event 9_1 at its tick 300
    FLAG_EVENT_9_1_SEEN = 166,
    FLAG_EVENT_0_8_DUE = 168,        // the shop starts event 0_8 at its tick 630
    FLAG_HUD_CUTSCENE_2 = 176,       // the same, for a later part of the story
    FLAG_TOWER_TOP = 176,            // the tower top: one block, no gates
    FLAG_ENDLESS = 180,              // set when the game turns endless
    FLAG_STANDING_WALKER = 181,      // the shop's standing walker shows; the shop pans out to the dungeon scene
    FLAG_DUNGEON_SCENE = 182,        // the dungeon scene's stage follows the shop
    FLAG_FLOOR_99_EVENT = 185,       // the event before floor index 99 ran
    FLAG_LEVEL_EVENT_6 = 189,        // event 19-1 of merchant level 6 has run
    FLAG_LEVEL_EVENT_14 = 190,       // event 19-2 of merchant level 14 has run
    FLAG_DOOR_ENTRY = 191,           // cleared whenever the shop is entered by the door
    FLAG_ONE_BUYER = 195,            // the planner stops at the first buyer
    FLAG_ORDER_DAY = 196,            // two order placements are planned
    FLAG_COLLECTION_COMPLETE = 200,  // every item of the table has been held
    FLAG_NO_TOWNSFOLK = 201,         // customer types 11..29 stay away; the collection no longer checks
    FLAG_REPORTED = 205,             // adventurer 6 was available when the last loop ended
    FLAG_ADVENTURER_CARD = 208,      // 208 + a: adventurer a is available through her True Card
    FLAG_RUN_SUMMARY_FIRST = 224,    // 224..233: summaries of the last run; in survival
                                     // play they let customer types come
    FLAG_PAY_EVERY_DAY = 3,
    FLAG_ADVENTURER_7_AVAILABLE = 11, // FLAG_ADVENTURER_AVAILABLE + 7
    FLAG_QUOTA_DIVIDED = 14,
    FLAG_SHOP_CALLS = 40, // the story waits in the shop
    FLAG_ADVENTURERS_GUILD_CALLS = 52,
    FLAG_SHOP_AFTER_RUN = 115,
    FLAG_SHOP_AFTER_RUN_DONE = 116,
    FLAG_MORNING_EVENT_DUE = 118, // raised when event 4_5 starts
    FLAG_MORNING_EVENT_SEEN = 149,
    FLAG_SURVIVAL_OPENING_SEEN = 164,
    FLAG_DELIVERY_DUE = 186, // the story's item delivery waits
    FLAG_TOWN_AFTER_LAST_PHASE = 186,
};

struct GameState;
// A flag of a game record: set when non-zero.
bool storyFlag(const GameState& game, int32_t flag);
// A flag of the running game.
bool storyFlag(int32_t flag);
void setStoryFlag(int32_t flag, uint8_t value = 1);
