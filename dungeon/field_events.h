// dungeon/field_events.h: requests of event scenes from the field.
#pragma once
#include <cstdint>

// Starts event iv<major>_<minor> with the loader mode; 1 when taken, 0 while
// another event loads or runs. Until the event loader is wired here every
// request is refused.
int32_t requestEvent(int32_t major, int32_t minor, int32_t loaderMode);
// Starts a queued event once the one before has ended (every tick).
void updateQueuedEvent();
// A fall below the stage's death height.
void checkFallOut();
