// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

#include "engine/config_index.h"   // gEffectEditorOn

void updateEffectObjects();   // once per tick
// Clears the particles, effect sets, effect objects, pickups and popups and
// frees every attack object (all: everything, as a floor starts).
void resetEffects(int32_t all);
// Rebuilds the effects' vertex arrays.
void buildEffectMeshes();
void saveEffectBank(int32_t bank);
