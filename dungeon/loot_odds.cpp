#include "dungeon/loot_odds.h"

// The loot odds arrive with the chest loot; until then nothing drops.
void updateChestTierOdds(int32_t, int32_t) {}
void updateDropOdds(int32_t, int32_t) {}
