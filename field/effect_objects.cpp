#include "field/effect_objects.h"


// Effects and their banks arrive with the field's effects.
void updateEffectObjects() {}
void saveEffectBank(int32_t) {}
void spawnEffectObject(int32_t, float, float, float, int32_t, float, int32_t) {}

EffectObject gEffectObjects[EFFECT_OBJECT_POOL_SIZE];

void resetEffectObjects() {
    for (EffectObject& e : gEffectObjects) {
        e = EffectObject{};
        e.kind = -1;
    }
}

void drawEditorMenu() {}
