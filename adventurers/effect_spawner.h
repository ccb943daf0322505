// adventurers/effect_spawner.h: the start of the field's hard-coded effects.
#pragma once
#include <cstdint>

// Starts effect objects of kind at (x, y, z); owner is what they follow, or null.
void spawnEffectObject(const void* owner, float x, float y, float z, int32_t kind, float scale, int32_t count);
