#include "dungeon/field_events.h"

int32_t requestEvent(int32_t, int32_t, int32_t) { return 0; }
