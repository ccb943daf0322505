// field/field_tables.h: the field's master tables, each read from its text
// file by loadIndexFiles at start-up, in the order loadIndexFiles keeps.
#pragma once
#include <cstdint>

#include "field/field.h"

extern int32_t gEffectGroupCount;   // effect image groups read
extern int32_t gEffectImageCount;   // highest effect image row read + 1

// "ef/grp<number>.idx", number 1 to 4, adding to the effect image groups and rows.
void loadEffectGroupFile(int32_t number);
