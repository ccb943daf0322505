#include "adventurers/effect_spawner.h"

void spawnEffectObject(const void*, float, float, float, int32_t, float, int32_t) {}
