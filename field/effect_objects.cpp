#include "field/effect_objects.h"


// Effects and their banks arrive with the field's effects.
void updateEffectObjects() {}
void saveEffectBank(int32_t) {}
void resetEffects(int32_t) {}
void buildEffectMeshes() {}
