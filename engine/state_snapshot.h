// engine/state_snapshot.h: the bytes of a list of state tables, taken and
// put back. The game snapshots every table through its registry; a test of
// one folder snapshots the tables that folder's code writes, so whatever the
// test does to them is undone when it ends.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/state_table.h"

// A loader still running when a snapshot is taken or put back is finished
// first. Loaded resources are not in it: what the state points at must still
// be loaded as it was when the snapshot was taken.
// The bytes run to tens of megabytes (the save images): a snapshot let go
// hands its buffer to the next one taken, so a test's scope neither maps
// nor clears fresh memory.
struct StateSnapshot {
    std::vector<const StateTable*> tables;   // what it was taken of
    std::vector<uint8_t> bytes;

    StateSnapshot() = default;
    StateSnapshot(const StateSnapshot&) = delete;
    StateSnapshot& operator=(const StateSnapshot&) = delete;
    ~StateSnapshot();
};
void takeStateSnapshot(StateSnapshot& snapshot, const StateTable* const* tables, int32_t count);
// A snapshot of other tables (or never taken) holds nothing to put back.
void restoreStateSnapshot(const StateSnapshot& snapshot, const StateTable* const* tables, int32_t count);

// Takes the tables' snapshot now and puts it back when it goes out of scope.
class StateScope {
public:
    StateScope(std::initializer_list<const StateTable*> tables) : tables_(tables) { take(); }
    StateScope(const StateTable* const* tables, int32_t count) : tables_(tables, tables + count) { take(); }
    ~StateScope() { restoreStateSnapshot(snapshot_, tables_.data(), (int32_t)tables_.size()); }
    StateScope(const StateScope&) = delete;
    StateScope& operator=(const StateScope&) = delete;

private:
    void take() { takeStateSnapshot(snapshot_, tables_.data(), (int32_t)tables_.size()); }
    std::vector<const StateTable*> tables_;
    StateSnapshot snapshot_;
};
