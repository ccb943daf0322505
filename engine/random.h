// engine/random.h: the one random sequence every part of the game draws from.
// A linear congruential generator with the runtime library's constants,
// seeded once at start-up (tests seed it themselves). The loader thread and
// the main thread draw from it in turns, never at once.
#pragma once
#include <cstdint>

extern uint32_t gRandomState;

void seedRandom(uint32_t seed);
// Back to the values a fresh process starts with (a new boot in the same process).
void resetRandom();
int randomInt();        // 0..32767
float randomUnit();     // [0, 1): randomInt / 32768
