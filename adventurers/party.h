// adventurers/party.h: the adventurers' levels inside the folder: level-ups
// and the reset of one record. The records, the tuning rows and the party
// are in adventurers/adventurers.h and adventurers/adventurers_state.h.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

constexpr int32_t ADVENTURER_LEVEL_MAX = 98;   // 0-based; shown as level 99

constexpr int32_t LEVEL_ONE_NEXT_EXP = 300;   // experience that ends level 1

// Puts an adventurer back at the start of a level with the chara row's
// level-1 stats and no experience (a new game, a Survival reset).
void resetAdventurerStats(AdventurerRecord& a, const CharaRecord& c, int32_t level);
