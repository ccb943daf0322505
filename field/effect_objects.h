// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

extern int32_t gEffectEditorOn;   // the effect editor replaces the shop floor's control

void updateEffectObjects();   // once per tick
void saveEffectBank(int32_t bank);
