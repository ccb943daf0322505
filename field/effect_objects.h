// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

#include "engine/config_index.h"   // gEffectEditorOn

void updateEffectObjects();   // once per tick
// The effect editor's menu over the field; it arrives with the editor and
// draws nothing until then.
void drawEditorMenu();
void saveEffectBank(int32_t bank);
