// dungeon/field_events.h: requests of event scenes from the field.
#pragma once
#include <cstdint>

extern int32_t gEventStartArg;   // handed to the event's start; a request sets 0

// Starts event iv<major>_<minor> with the loader mode (1 and 4 fade in once
// loaded, 3 and 4 fade out quickly at the end); 1 when taken, 0 while
// another event loads or runs, and then nothing changes.
int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode);
// Every tick: a queued request starts once no event runs; until then the
// controlled character is held at its point.
void updateQueuedEvent();
// A fall below the stage's death height.
void checkFallOut();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetFieldEventState();
