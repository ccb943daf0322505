#include "field/field.h"

// The particle pool and the effect-set instances arrive with the effects;
// until then a request is dropped, as when every instance runs.
void spawnScreenEffectSet(float, float, int32_t, float, int32_t, int32_t) {}
void spawnEffect(const void*, float, float, float, int32_t, float, int32_t, float, int32_t) {}
void spawnEffectSet(const void*, float, float, float, int32_t, float, int32_t, float, int32_t) {}
