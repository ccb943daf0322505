#include "dungeon/field_events.h"

// The queue and the fall recovery arrive with the field's events.
void requestEvent(int32_t, int32_t) {}
void checkFallOut() {}
void updateQueuedEvent() {}
