// adventurers/effect_spawner.h: the hard-coded visual effects (dust,
// splashes, sparks) started by the field's figures.
#pragma once
#include <cstdint>

// Starts effect objects of kind at a point; count is per kind. Until the
// effect objects' kinds arrive nothing is started.
void spawnEffectObject(const void* owner, float x, float y, float z, int32_t kind, float scale, int32_t count);
