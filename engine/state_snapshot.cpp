#include "engine/state_snapshot.h"

#include <algorithm>
#include <cstring>

#include "engine/loaders.h"

template <typename Fn>
static void forEachSpan(const StateTable* const* tables, int32_t count, Fn&& fn) {
    for (int32_t t = 0; t < count; ++t)
        for (int32_t r = 0; r < tables[t]->count; ++r) {
            const StateRow& row = tables[t]->rows[r];
            for (int32_t i = 0; i < row.spanCount; ++i) fn(row.spans[i]);
        }
}

static size_t snapshotSize(const StateTable* const* tables, int32_t count) {
    size_t total = 0;
    forEachSpan(tables, count, [&](const StateSpan& span) { total += span.size; });
    return total;
}

// A snapshot holds no loader half done: one still running is finished first.
static void finishLoader() {
    waitForLoaderThread();
    pollLoaderThread();
}

// One spare buffer is enough: scopes nest a level or two and are taken and
// let go in turn. Main thread only, as the state is.
static std::vector<uint8_t> sSpareBytes;

StateSnapshot::~StateSnapshot() {
    if (bytes.capacity() > sSpareBytes.capacity()) sSpareBytes.swap(bytes);
}

void takeStateSnapshot(StateSnapshot& snapshot, const StateTable* const* tables, int32_t count) {
    finishLoader();
    snapshot.tables.assign(tables, tables + count);
    const size_t size = snapshotSize(tables, count);
    if (snapshot.bytes.capacity() < size && sSpareBytes.capacity() >= size) snapshot.bytes.swap(sSpareBytes);
    snapshot.bytes.resize(size);
    uint8_t* out = snapshot.bytes.data();
    forEachSpan(tables, count, [&](const StateSpan& span) {
        memcpy(out, span.bytes, span.size);
        out += span.size;
    });
}

void restoreStateSnapshot(const StateSnapshot& snapshot, const StateTable* const* tables, int32_t count) {
    if (!std::equal(snapshot.tables.begin(), snapshot.tables.end(), tables, tables + count)) return;
    finishLoader();
    const uint8_t* in = snapshot.bytes.data();
    forEachSpan(tables, count, [&](const StateSpan& span) {
        memcpy(span.bytes, in, span.size);
        in += span.size;
    });
}
