#include "field/effect_objects.h"

int32_t gEffectEditorOn;

// Effects and their banks arrive with the field's effects.
void updateEffectObjects() {}
void saveEffectBank(int32_t) {}
