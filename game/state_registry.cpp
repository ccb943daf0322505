#include "game/state_registry.h"

#include <cstring>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon_state.h"
#include "engine/engine_state.h"
#include "engine/loaders.h"
#include "field/field_state.h"
#include "game/window_proc.h"
#include "shop/shop_state.h"
#include "story/story_state.h"

static void resetWindowState() { gAppActive = 0; }

static const StateRow GAME_ROWS[] = {
    stateRow<gAppActive>("window", resetWindowState, hashWords<gAppActive>),
};
static const StateTable GAME_STATE_TABLE = {"game", GAME_ROWS, (int32_t)(sizeof GAME_ROWS / sizeof GAME_ROWS[0])};

// The engine first: its loaders row stops a running loader before anything
// it writes is reset.
const StateTable* const STATE_TABLES[] = {
    &ENGINE_STATE, &FIELD_STATE, &DUNGEON_STATE, &ADVENTURERS_STATE, &SHOP_STATE, &STORY_STATE, &GAME_STATE_TABLE,
};
const int32_t STATE_TABLE_COUNT = sizeof STATE_TABLES / sizeof STATE_TABLES[0];

void resetGameState() {
    forEachStateRow([](const StateTable&, const StateRow& row) {
        if (row.reset) row.reset();
    });
}

static size_t snapshotSize() {
    size_t total = 0;
    forEachStateRow([&](const StateTable&, const StateRow& row) {
        for (int32_t i = 0; i < row.spanCount; ++i) total += row.spans[i].size;
    });
    return total;
}

// A snapshot holds no loader half done: one still running is finished first.
static void finishLoader() {
    waitForLoaderThread();
    pollLoaderThread();
}

void takeStateSnapshot(StateSnapshot& snapshot) {
    finishLoader();
    snapshot.bytes.resize(snapshotSize());
    uint8_t* out = snapshot.bytes.data();
    forEachStateRow([&](const StateTable&, const StateRow& row) {
        for (int32_t i = 0; i < row.spanCount; ++i) {
            memcpy(out, row.spans[i].bytes, row.spans[i].size);
            out += row.spans[i].size;
        }
    });
}

// A snapshot never taken holds nothing to put back.
void restoreStateSnapshot(const StateSnapshot& snapshot) {
    if (snapshot.bytes.size() != snapshotSize()) return;
    finishLoader();
    const uint8_t* in = snapshot.bytes.data();
    forEachStateRow([&](const StateTable&, const StateRow& row) {
        for (int32_t i = 0; i < row.spanCount; ++i) {
            memcpy(row.spans[i].bytes, in, row.spans[i].size);
            in += row.spans[i].size;
        }
    });
}
