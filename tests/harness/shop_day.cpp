#include "tests/harness/shop_day.h"

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/saved_game.h"
#include "engine/loaders.h"

// The sample items with a price, one to a place, from the second shelf on.
static void stockShelves(GameState& game) {
    game.money = SHOP_DAY_MONEY;
    game.storyFlags[FLAG_SELLERS] = 1;
    int32_t placed = 0;
    for (int32_t row = 0; row < gItemDefinitionCount && placed < SHOP_DAY_STOCKED_PLACES; row++) {
        const ItemDefinition& item = gItemDefinitions[row];
        if (!item.valid || item.price <= 0) continue;
        game.shelves[1 + placed / SHELF_CELLS][placed % SHELF_CELLS] = makeItemKey(item.id, 0, 0);
        placed++;
    }
}

bool harnessOpenShopDay(const HarnessOptions& options) {
    if (!harnessBootSavedGame(options, stockShelves)) return false;
    if (gGameMode != GAME_MODE_FIELD || gShopFloor.shopFloorState != SHOP_FLOOR_WALKING) return false;
    gShopFloor.shopFloorState = SHOP_FLOOR_OPEN;
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

uint16_t dealingButtons(int32_t tick) {
    if (gCounter.state != COUNTER_PRICE_ENTRY || gCounter.mode == COUNTER_SELLER) return shopDayButtons(tick);
    if (tick % 2) return 0;
    const int32_t target = gCounter.offer > 0 ? gCounter.offer : 1;
    if (gCounter.counterPrice <= target) return BUTTON_CONFIRM;
    int32_t digit = 0;
    for (int32_t step = 10; digit < 6 && gCounter.counterPrice - step >= target; step *= 10) ++digit;
    if (gCounter.digitCursor > digit) return BUTTON_RIGHT;
    if (gCounter.digitCursor < digit) return BUTTON_LEFT;
    return BUTTON_DOWN;
}

bool shopDayClosed() { return gShopFloor.shopFloorState != SHOP_FLOOR_OPEN && gCounter.shopOpening == 0; }
