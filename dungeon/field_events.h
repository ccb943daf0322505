// dungeon/field_events.h: requests of event scenes from the field, and falls
// off the floor.
#pragma once
#include <cstdint>

#include "dungeon/dungeon.h"

extern int32_t gEventStartArg;   // handed to the event's start; a request sets 0

constexpr int32_t FALL_FRAMES = 60;           // from a fall to the recovery or the defeat
constexpr int32_t DEATH_HEIGHT_WATER = -1000;  // a stage's death height meaning: water is the fall

// Every ordinary field frame, before the player's control: a fall below the
// stage's death height (or into water where the stage says so) costs a
// tenth of the maximum HP (a fifth in dungeon 5 outside a Boss Rush), holds
// the character stunned for 60 frames and then puts it back at the floor's
// start, or ends the run as a defeat when the fall took the last HP.
void checkFallOut();
// The HP a fall costs the adventurer of this maximum HP. Pure.
int32_t fallDamage(int32_t maxHp, bool doubled);
