#include "engine/random.h"

uint32_t gRandomState = 1;

void seedRandom(uint32_t seed) { gRandomState = seed; }

int randomInt() {
    gRandomState = gRandomState * 214013u + 2531011u;
    return (int)((gRandomState >> 16) & 0x7FFF);
}

float randomUnit() { return (float)(randomInt() & 0x7FFF) / 32768.0f; }

void resetRandom() { gRandomState = 1; }
