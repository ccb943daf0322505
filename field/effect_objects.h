// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

#include "engine/config_index.h"   // gEffectEditorOn

void updateEffectObjects();   // once per tick
void saveEffectBank(int32_t bank);
