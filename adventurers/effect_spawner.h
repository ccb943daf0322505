// adventurers/effect_spawner.h: starts the field's hard-coded effect
// objects (sparks, debris, dust, rings, motes, snow) by kind.
#pragma once
#include <cstdint>

// owner: the thing the effect follows, or null; count: objects or a value
// carried, by kind.
void spawnEffectObject(const void* owner, float x, float y, float z, int32_t kind, float scale, int32_t count);
