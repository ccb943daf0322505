// dungeon/field_events.h: events the field asks for and the recovery from
// a fall off the floor.
#pragma once
#include <cstdint>

// Queues the event script "iv/iv<major>_<minor>.ivt" over the field.
void requestEvent(int32_t major, int32_t minor);
// Starts a queued event once the one before has ended (every tick).
void updateQueuedEvent();
// A fall below the stage's death height.
void checkFallOut();
