#include "adventurers/adventurers.h"

void spawnEffectObject(const void*, float, float, float, int32_t, float, int32_t) {}
