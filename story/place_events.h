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

constexpr int32_t PLACE_EVENT_TABLE_COUNT = 4;
constexpr int32_t PLACE_EVENT_ROW_MAX = 100;     // rows a table holds, its end row included
constexpr int32_t PLACE_EVENT_WINDOW_MAX = 20;
constexpr int32_t PLACE_EVENT_OPEN_END = 999;    // a window's end that means "no end"

// The tables, in their order in gPlaceEventRules.
enum PlaceEventTable : int32_t {
    PLACE_TABLE_PLAZA = 0,
    PLACE_TABLE_MARKET = 1,
    PLACE_TABLE_CHURCH = 2,
    PLACE_TABLE_TAVERN = 3,
};

// Days counted from 1 (the first day of a game is day 1); start -1: no window.
struct PlaceEventWindow {
    int32_t start;
    int32_t end;
};

struct PlaceEventRule {
    int32_t major;              // event script "iv/iv<major>_<minor>.ivt"; -1 ends the table
    int32_t minor;
    int32_t ownFlag;            // recorded when the rule fires, which it does only while clear; -1 none
    int32_t requiredFlags[3];   // all must be set; -1 no condition
    int32_t phaseMin;           // day phases 0..3 in which the rule fires, inclusive
    int32_t phaseMax;
    PlaceEventWindow windows[PLACE_EVENT_WINDOW_MAX];
    int32_t minLoop;            // least loop count
    int32_t minMoney;           // least money
};

extern PlaceEventRule gPlaceEventRules[PLACE_EVENT_TABLE_COUNT][PLACE_EVENT_ROW_MAX];

// The table a town map place uses (market 1, plaza 2, tavern 4, church 5);
// -1 for a place without one.
int32_t placeEventTableOf(int32_t place);

// Fills the tables from the text of "data/event.txt": every row emptied, the
// plaza's built-in rule in its row 0, the file's rules after it (the other
// tables from row 0), each table closed by its end row. Lines that break the
// format add no rule; rules beyond a table's room are dropped.
void parsePlaceEventRules(const char* text, int32_t length);
// The same from the archive; a missing file leaves only the built-in rule.
void loadPlaceEventRules();

// 1 and the event's numbers when a rule of the place's table fires now in
// the running game, else 0 (no table, Survival play, the place done for this
// phase, or no rule holds). With commit the rule is consumed: the place's
// done flag and the rule's own flag are set and today's score rises by 100.
int32_t findPlaceEvent(int32_t place, int32_t* major, int32_t* minor, int32_t commit);
// A day phase passed: every place may fire again.
void clearPlaceEventFlags();
