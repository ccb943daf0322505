// field/effect_banks.h: the four banks of effect definitions and effect sets.
#pragma once

// Reads the banks at start-up, as the last step of loadIndexFiles.
void loadEffectBanks();
// One tick of the effect editor, which replaces the shop floor's control while on.
void updateEffectEditor();
