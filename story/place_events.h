// story/place_events.h: the events of the town's places. Each place plays
// at most one event per day phase; story flags 96 to 99 mark the places
// done in the running phase.
#pragma once

// A day phase has passed: every place may play its event again.
void clearPlaceEventFlags();
