#include "game/state_registry.h"

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon_state.h"
#include "engine/engine_state.h"
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

void takeStateSnapshot(StateSnapshot& snapshot) { takeStateSnapshot(snapshot, STATE_TABLES, STATE_TABLE_COUNT); }

void restoreStateSnapshot(const StateSnapshot& snapshot) { restoreStateSnapshot(snapshot, STATE_TABLES, STATE_TABLE_COUNT); }
