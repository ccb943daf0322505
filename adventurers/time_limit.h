// adventurers/time_limit.h: a dungeon floor's time limit. When the floor's
// timer (gFloorTimeLimit) runs out, enemies of the time-out appear around
// member 0 every TIME_OUT_INTERVAL ticks, at most TIME_OUT_ENEMY_MAX alive.
#pragma once
#include <cstdint>

#include "adventurers/adventurers_state.h"

constexpr int32_t TIME_OUT_ENEMY_KIND = 34;
constexpr int32_t TIME_OUT_INTERVAL = 240;   // ticks between time-out enemies
constexpr int32_t TIME_OUT_ENEMY_MAX = 5;    // no new one while this many live

// One tick of the floor's time limit (not on boss floors).
void runTimeLimit(PartyState& party);
// No time-out yet (a fresh process).
void resetTimeLimitState();
