// dungeon/loot_odds.h: the odds of the chest tiers and of the enemies'
// drops over a run, with their miss counters.
#pragma once
#include <cstdint>

// reset 1 starts the odds and counters from zero (a run starts);
// openedTier: the tier of the chest just opened.
void updateChestTierOdds(int32_t reset, int32_t openedTier);
// reset 1 clears odds and counters; droppedKind 0..4 clears that kind's
// miss counter, -1 none.
void updateDropOdds(int32_t reset, int32_t droppedKind);
