// A visit to the merchants' guild on the booted game with the sample data:
// the scene is loaded and run by the real frame loop, the player's buttons
// come through the scripted keyboard, and its frames are drawn; two of the
// first ware are bought and the guild is left for the town map.
#include <gtest/gtest.h>

#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/input.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"

TEST(MarketVisit, TheGuildSellsTwoOfItsFirstWareAndLetsTheHeroineGo) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    harnessRunTicks(2);
    GameState& game = runningGameState();
    game.money = 50000;
    game.date = 3;
    // The guild's first visit, first purchase and first leave have been played.
    for (int32_t flag : {20, 21, 74}) game.storyFlags[flag] = 1;
    for (int32_t& key : game.storage) key = ITEM_KEY_NONE;
    game.storageCount = 0;
    restockMarket(RESTOCK_DAILY);
    enterMarketScene(MARKET_MODE_GUILD);
    gGameMode = GAME_MODE_MARKET;
    startSceneLoader();
    harnessRunTicks(20);
    ASSERT_EQ(gGameMode, GAME_MODE_MARKET);
    ASSERT_EQ(gMarket.menuCodes[gMarket.menuCursor], MARKET_BUY);

    tapButtons(BUTTON_CONFIRM, MARKET_OPEN_FRAMES + ITEM_LIST_SLIDE_TICKS + 1);
    ASSERT_TRUE(isItemListOpen());
    int32_t key = getSelectedListItemKey();
    ASSERT_GT(itemKeyId(key), 0);
    int32_t unit = marketBuyPrice(key);
    tapButtons(BUTTON_CONFIRM, ITEM_LIST_FLASH_TICKS + 2);
    ASSERT_EQ(gMarket.screen, MARKET_SCREEN_QUANTITY);
    harnessRunTicks(4);
    tapButtons(BUTTON_UP);
    tapButtons(BUTTON_CONFIRM, 12);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_LIST);
    EXPECT_EQ(game.money, 50000 - 2 * unit);
    EXPECT_EQ(countItemInStorage(itemKeyId(key)), 2);

    tapButtons(BUTTON_CANCEL, 2);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    tapButtons(BUTTON_CANCEL, 20);
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_EQ(game.townVisited, 1);
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0);
    gGameMode = GAME_MODE_TITLE;
    harnessShutdown();
}
