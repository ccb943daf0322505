#include "field/field.h"

// The effect banks arrive with their reader; until then they stay empty.
void loadEffectBanks() {}

// The editor's screens arrive with the effect editor.
void updateEffectEditor() {}
