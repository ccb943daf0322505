// adventurers/dungeon_control_steps.h: what the parts of the player's
// control share: adventurers/dungeon_control.cpp (input, steering, actions,
// movement), party_status.cpp, gem_collection.cpp, time_limit.cpp and
// trail.cpp. Only those files include it.
#pragma once
#include <cstdint>

#include "engine/adventurer_record.h"

// Member 0's model on a dungeon floor, one per adventurer.
enum AdventurerModel : int32_t {
    MODEL_VUROR = 3,
    MODEL_RERADO = 27,
    MODEL_ZIREZUZ = 28,
    MODEL_ZAZURU = 30,
    MODEL_DODA = 31,
    MODEL_ZUZI = 40,
    MODEL_DEDAR = 41,
    MODEL_ZOZE = 42,
};

// PartyState::actionState.
enum ActionState : int32_t {
    ACTION_FREE = 0,
    ACTION_STUNNED = 1,
    ACTION_ATTACK = 2,
    ACTION_SECOND_ATTACK = 3,
    ACTION_SKILL_FIRST = 4,   // 4 + skill id 0..4
    ACTION_PICK_UP = 11,
    ACTION_ITEM_USE = 12,
    ACTION_FACING_FAIRY = 14,
    ACTION_HELD_POSE = 15,
};

// The chosen adventurer 0..7 and its record in the running game.
int32_t chosenAdventurer();
AdventurerRecord& chosenAdventurerRecord();
// Its HP and SP with their bonuses.
int32_t chosenMaxHp();
int32_t chosenMaxSp();

inline void countDown(int32_t& timer) {
    if (timer > 0) timer--;
}
