#include "dungeon/field_events.h"

int32_t requestEvent(int32_t, int32_t, int32_t) { return 0; }

// The queue and the fall recovery arrive with the field's events.
void updateQueuedEvent() {}
void checkFallOut() {}
