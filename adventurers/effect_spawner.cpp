#include "adventurers/effect_spawner.h"

// The kinds' recipes arrive with the effect-object spawner; until then no
// effect object starts.
void spawnEffectObject(const void*, float, float, float, int32_t, float, int32_t) {}
