// story/place_events.h: the town's place events: which event script plays at
// the plaza, the market, the church or the tavern, on which days and phases,
// once which story flags are set. The rule tables are read from
// "data/event.txt" once at start-up and never change; the search runs on the
// main thread (the town map asks without committing, the place scenes and the
// market commit what they play). A place fires at most one rule per day
// phase: its done flag (story flags 96..99) is set by the commit and cleared
// whenever a day phase passes.
#pragma once
#include <cstdint>

#include "story/story.h"

// The table a town map place uses (market 1, plaza 2, tavern 4, church 5);
// -1 for a place without one.
int32_t placeEventTableOf(int32_t place);

// Fills the tables from the text of "data/event.txt": every row emptied, the
// plaza's built-in rule in its row 0, the file's rules after it (the other
// tables from row 0), each table closed by its end row. Lines that break the
// format add no rule; rules beyond a table's room are dropped.
void parsePlaceEventRules(const char* text, int32_t length);
