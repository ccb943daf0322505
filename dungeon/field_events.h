// dungeon/field_events.h: requests of event scenes from the field.
#pragma once
#include <cstdint>

extern int32_t gEventStartArg;   // handed to the event's start; a request sets 0

// Starts event iv<major>_<minor> with the loader mode (1 and 4 fade in once
// loaded, 3 and 4 fade out quickly at the end); 1 when taken, 0 while
// another event loads or runs, and then nothing changes.
int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode);
// Every tick: a queued request starts once no event runs; until then the
// controlled character is held at its point.
void updateQueuedEvent();
constexpr int32_t FALL_FRAMES = 60;           // from a fall to the recovery or the defeat
constexpr int32_t DEATH_HEIGHT_WATER = -1000;  // a stage's death height meaning: water is the fall
extern int32_t gFallTimer;                     // frames left of the fall; startFloor clears it

// Every ordinary field frame, before the player's control: a fall below the
// stage's death height (or into water where the stage says so) costs a
// tenth of the maximum HP (a fifth in dungeon 5 outside a Boss Rush), holds
// the character stunned for 60 frames and then puts it back at the floor's
// start, or ends the run as a defeat when the fall took the last HP.
void checkFallOut();
// The HP a fall costs the adventurer of this maximum HP. Pure.
int32_t fallDamage(int32_t maxHp, bool doubled);
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFieldEventState();
