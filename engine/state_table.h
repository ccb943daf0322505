// engine/state_table.h: how a folder lists its state for the game's registry.
// Each folder with state (the engine, every subsystem, the game) keeps one
// table; a row is one concern: how to reset it to what a fresh process has,
// what of it goes into the run checksum, and the bytes a test snapshot
// copies and puts back. Loaded resources (tables, pictures, models) are not
// snapshotted; their rows only reset.
#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <type_traits>

#include "engine/state_hash.h"

struct StateSpan {
    void* bytes;
    size_t size;
};
using StateHashFn = void (*)(StateHash& h, ChecksumScope scope);

struct StateRow {
    const char* name;
    void (*reset)();          // null: nothing to reset
    StateHashFn hash;         // null: not in the checksum
    const StateSpan* spans;   // what a snapshot copies; null: nothing
    int32_t spanCount;
};

struct StateTable {
    const char* name;
    const StateRow* rows;
    int32_t count;
};

template <auto&... Words>
inline constexpr StateSpan STATE_SPANS[] = {StateSpan{&Words, sizeof Words}...};

// A row over whole globals: stateRow<gCounter>("counter", resetCounter, hashCounter).
// What a snapshot copies must survive a copy of its bytes.
template <auto&... Words>
constexpr StateRow stateRow(const char* name, void (*reset)(), StateHashFn hash) {
    static_assert(sizeof...(Words) > 0);
    static_assert((std::is_trivially_copyable_v<std::remove_reference_t<decltype(Words)>> && ...),
                  "a snapshot copies the bytes of a state record");
    return StateRow{name, reset, hash, STATE_SPANS<Words...>, (int32_t)sizeof...(Words)};
}
// A row that only resets (loaded resources, device objects).
constexpr StateRow resetRow(const char* name, void (*reset)()) { return StateRow{name, reset, nullptr, nullptr, 0}; }

template <typename T>
void hashWord(StateHash& h, const T& word) {
    if constexpr (std::is_same_v<T, float>)
        h.f32(word);
    else
        h.record(word);
}
// Hashes the words whole, in order (floats by their bits).
template <auto&... Words>
void hashWords(StateHash& h, ChecksumScope) {
    (hashWord(h, Words), ...);
}
