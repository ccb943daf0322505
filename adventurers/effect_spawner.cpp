#include "adventurers/effect_spawner.h"

// The effect kinds arrive with the effect spawner; until then none appears.
void spawnEffectObject(const void*, float, float, float, int32_t, float, int32_t) {}
