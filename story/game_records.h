// story/game_records.h: the operations that turn a finished game record into
// the next one: the carry-over into a new loop (also New Game+ and Survival
// starts), the extra reset of Survival Hell, and the clearing of the market
// trends and advance orders. They work on any GameState, usually the running
// game. Main thread.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

// The carry-over's kinds.
enum CarryOverMode : int32_t {
    CARRY_OVER_NEW_LOOP = 1,   // a new loop, and New Game+
    CARRY_OVER_SURVIVAL = 2,
};

// The True Card of adventurer a is the item 3401 + a.
constexpr int32_t TRUE_CARD_FIRST = 3401;
constexpr int32_t TRUE_CARD_LAST = TRUE_CARD_FIRST + ADVENTURER_COUNT - 1;
bool isTrueCardKey(int32_t key);

// Sets the adventurers known, remembers the flags that outlive a loop and the
// run summaries, starts the next loop (loop + 1, money 1000, day 1 of the
// first week, back in the shop), clears the marks and story flags and sets
// those every loop starts with, restores the kept ones (Survival keeps more),
// clears the adventurers' run counters, lets every stored True Card make its
// adventurer available, clears the trends and orders, and starts the day's
// counters from the new money. Storage, shop, levels, equipment, collection
// and play time stay.
void carryOverRecord(GameState& game, int32_t mode);
// Survival Hell, after the carry-over: the smallest shop without decorations
// or stock, 1000 gold, merchant and adventurers back to level 1 with their
// first equipment, the collection counted anew, play time 0.
void resetRecordForSurvival(GameState& game);
void clearTrendsAndOrders(GameState& game);
