// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

#include "engine/config_index.h"   // gEffectEditorOn

void updateEffectObjects();   // once per tick
// Starts effect objects of a kind at a point (owner 0: none); until the
// effect objects are built nothing starts.
void spawnEffectObject(int32_t owner, float x, float y, float z, int32_t kind, float scale, int32_t parameter);
void saveEffectBank(int32_t bank);
