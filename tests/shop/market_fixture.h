// tests/shop/market_fixture.h: the market and the guild entered on a small
// item table, their tick driven with pressed buttons. Events that start play
// out at once, as a script of a single "end:" would; the effects a tick
// requests are kept for the test to read.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dungeon/dungeon.h"
#include "tests/shop/economy_fixture.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/scene_hooks.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "shop/item_list.h"
#include "shop/market.h"
#include "shop/market_stock.h"
#include "shop/storage.h"
#include "shop/trends.h"
#include "shop/window_cells.h"
#include "story/story_state.h"
#include "tests/engine/font_draw_rig.h"


// Guild and market rank 1 (offered from level 0), unlimited stock.
const char MARKET_ITEMS[] =
    ":Clothes#Body Wear\n"
    "1000 Coat#1000#0#0#0#0#Armr#wrhs(0)do(1)re(1)#a1#t\n"
    "1001 Cape#50#0#0#0#0#Armr#wrhs(0)do(1)re(1)#a1#t\n"
    ":Food\n"
    "4008 Guild Handbook#10#0#0#0#0#Food#wrhs(0)do(0)re(0)##t\n";

constexpr int32_t COAT = 1000, CAPE = 1001;
constexpr uint16_t CONFIRM = BUTTON_CONFIRM, CANCEL = BUTTON_CANCEL, UP = BUTTON_UP, DOWN = BUTTON_DOWN;

class MarketTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(MARKET_ITEMS);
        savedHooks = gSceneHooks;
        gSceneHooks = SceneHooks{};
        memcpy(savedModes, gGameModes, sizeof savedModes);
        memset(gGameModes, 0, sizeof gGameModes);
        gGameMode = GAME_MODE_MARKET;
        resetLoaderState();
        resetFades();
        resetDialogState();
        resetItemListState();
        resetMarketState();
        gEventNumber = EventNumber{};
        gSound.ready = 1;   // effects are only queued: the tick reads the queue
        memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
        game().money = 100000;
        game().storageCount = 0;
        restockMarket(RESTOCK_DAILY);   // the coats and capes are always in stock
        // The guild's first visit, purchase and leave are behind us unless a test says otherwise.
        for (int32_t flag : {20, 21, 74}) game().storyFlags[flag] = 1;
        press(0);
    }
    void TearDown() override {
        memcpy(gGameModes, savedModes, sizeof savedModes);
        gSceneHooks = savedHooks;
        EconomyTest::TearDown();
    }
    // One tick of the scene: the fade and the list slide move, then the
    // scene runs with these buttons; an event it started ends at once.
    void tick(uint16_t buttons = 0) {
        memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
        press(buttons);
        stepTransition();
        stepItemListSlide();
        if (gGameMode == GAME_MODE_MARKET) updateMarketScene();
        press(0);
        sounds.assign(gSound.effectRequests, gSound.effectRequests + SOUND_EFFECT_COUNT);
        if (gEventReady) {
            events.push_back(std::to_string(gEventNumber.major) + "_" + std::to_string(gEventNumber.minor));
            waitForLoaderThread();
            pollLoaderThread();
            gEventReady = 0;
        }
    }
    void ticks(int32_t n) {
        for (int32_t i = 0; i < n; ++i) tick();
    }
    // The effect was requested by the last tick (or by the confirm on a row).
    static bool requested(const std::vector<uint8_t>& made, int32_t number) {
        for (int32_t slot = 0; slot < SOUND_EFFECT_COUNT; ++slot)
            if (SOUND_EFFECT_TABLE[slot] == number) return made.size() > (size_t)slot && made[slot];
        return false;
    }
    bool sounded(int32_t number) const { return requested(sounds, number); }
    // Into the scene, past the ticks in which the menu takes no input.
    void enter(int32_t mode) {
        enterMarketScene(mode);
        ticks(15);
    }
    std::vector<int32_t> menu() const { return {gMarket.menuCodes, gMarket.menuCodes + gMarket.menuCount}; }
    // Moves the menu cursor onto the code and confirms it; false when the menu has no such entry.
    bool choose(int32_t code) {
        for (int32_t i = 0; i < gMarket.menuCount && gMarket.menuCodes[gMarket.menuCursor] != code; ++i) tick(DOWN);
        if (gMarket.menuCodes[gMarket.menuCursor] != code) return false;
        tick(CONFIRM);
        return true;
    }
    // Buy or Sell chosen: the list opens and slides in.
    void openList(int32_t code) {
        ASSERT_TRUE(choose(code));
        ticks(MARKET_OPEN_FRAMES + ITEM_LIST_SLIDE_TICKS);
        ASSERT_TRUE(isItemListOpen());
        ASSERT_EQ(gItemList.slide, ITEM_LIST_SLIDE_TICKS);
    }
    // Down the list onto the id.
    void pointAt(int32_t id) {
        for (int32_t i = 0; i < 20 && itemKeyId(getSelectedListItemKey()) != id; ++i) tick(DOWN);
        ASSERT_EQ(itemKeyId(getSelectedListItemKey()), id);
    }
    // Confirm on the row, then the flash; true when the quantity window opened.
    bool confirmRow() {
        tick(CONFIRM);
        confirmSounds = sounds;
        ticks(ITEM_LIST_FLASH_TICKS + 1);
        return gMarket.screen == MARKET_SCREEN_QUANTITY;
    }
    // The quantity window opens, takes the buttons and answers; ticks until it returns.
    void answer(std::initializer_list<uint16_t> buttons) {
        ticks(4);
        for (uint16_t b : buttons) tick(b);
        for (int32_t i = 0; i < 20 && gMarket.screen == MARKET_SCREEN_QUANTITY; ++i) tick();
        ASSERT_EQ(gMarket.screen, MARKET_SCREEN_LIST);
    }
    int32_t stored(int32_t id) const { return countItemInStorage(id); }
    static void fillStorage(int32_t count, int32_t id) {
        for (int32_t i = 0; i < count; ++i) game().storage[i] = itemKey(id);
        game().storageCount = count;
    }

    std::vector<uint8_t> sounds;
    std::vector<uint8_t> confirmSounds;
    std::vector<std::string> events;
    SceneHooks savedHooks{};
    GameModeEntry savedModes[GAME_MODE_COUNT];
};


