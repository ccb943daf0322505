#include "tests/harness/shop_day.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/harness.h"

constexpr int32_t NEW_GAME_TICKS = 160;   // the title's New Game, its fade and the shop's load
constexpr int32_t NEW_GAME_CONFIRM = 10;

bool harnessOpenShopDay() {
    const InputScriptStep START[] = {{0, 0}, {NEW_GAME_CONFIRM, BUTTON_CONFIRM}, {NEW_GAME_CONFIRM + 2, 0}};
    harnessRunTicks(NEW_GAME_TICKS, START, 3);
    if (gGameMode != GAME_MODE_FIELD || isSceneLoading()) return false;
    if (harnessPlayScenesThrough() < 0) return false;   // the morning's story scenes
    GameState& game = runningGameState();
    game.money = SHOP_DAY_MONEY;
    game.storyFlags[FLAG_SELLERS] = 1;
    // The sample items with a price, one to a place, from the second shelf on.
    int32_t placed = 0;
    for (int32_t row = 0; row < gItemDefinitionCount && placed < SHOP_DAY_STOCKED_PLACES; row++) {
        const ItemDefinition& item = gItemDefinitions[row];
        if (!item.valid || item.price <= 0) continue;
        game.shelves[1 + placed / SHELF_CELLS][placed % SHELF_CELLS] = makeItemKey(item.id, 0, 0);
        placed++;
    }
    gShopFloorState = SHOP_FLOOR_OPEN;
    beginShopDay();
    return true;
}

// Confirm on odd ticks; every eighth tick down, which at price entry takes
// the top digit's step off the price (and at the prompt moves to "Start
// Again", back to price entry).
uint16_t shopDayButtons(int32_t tick) {
    if (tick % 2) return BUTTON_CONFIRM;
    return tick % 8 == 2 ? BUTTON_DOWN : 0;
}

bool shopDayClosed() { return gShopFloorState != SHOP_FLOOR_OPEN && gCounter.shopOpening == 0; }
