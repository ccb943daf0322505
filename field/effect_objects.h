// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

#include "field/field_state.h"

// The effect editor's menu over the field; it arrives with the editor and
// draws nothing until then.
void drawEditorMenu();

