// game/state_registry.h: the one list of the running game's state: the
// engine's and every subsystem's state tables, walked in one order for the
// reset at start-up, the run checksum, and a test's snapshot and restore.
// Start-up resets every row first, so a boot in a process that has booted
// before (the test harness, the headless runner) starts from what a fresh
// process has. Tables, pictures, sounds and the device are loaded or opened
// afresh after it.
#pragma once
#include <cstdint>

#include "engine/state_snapshot.h"
#include "engine/state_table.h"

extern const StateTable* const STATE_TABLES[];
extern const int32_t STATE_TABLE_COUNT;

void resetGameState();
// Calls fn for every row, table by table in registry order.
template <typename Fn>
void forEachStateRow(Fn&& fn) {
    for (int32_t t = 0; t < STATE_TABLE_COUNT; ++t)
        for (int32_t r = 0; r < STATE_TABLES[t]->count; ++r) fn(*STATE_TABLES[t], STATE_TABLES[t]->rows[r]);
}

// The bytes of every table's rows, as a test takes them before a game and
// puts them back after.
void takeStateSnapshot(StateSnapshot& snapshot);
void restoreStateSnapshot(const StateSnapshot& snapshot);

// The whole game's state, taken now and put back at the end of the scope.
class GameStateScope : public StateScope {
public:
    GameStateScope() : StateScope(STATE_TABLES, STATE_TABLE_COUNT) {}
};
