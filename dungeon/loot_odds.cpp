#include "dungeon/loot_odds.h"

#include "dungeon/dungeon_state.h"

DropOdds gDropOdds;

void resetDropOdds() { gDropOdds = DropOdds{}; }

// The loot odds arrive with the chest loot; until then nothing drops.
void updateChestTierOdds(int32_t, int32_t) {}
void updateDropOdds(int32_t, int32_t) {}
