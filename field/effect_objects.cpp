#include "field/effect_objects.h"


// Effects and their banks arrive with the field's effects.
void updateEffectObjects() {}
EffectObject gEffectObjects[EFFECT_OBJECT_POOL_SIZE];

void resetEffectObjects() {
    for (EffectObject& e : gEffectObjects) {
        e = EffectObject{};
        e.kind = -1;
    }
}

void drawEditorMenu() {}
void resetEffects(int32_t) {}
void buildEffectMeshes() {}
