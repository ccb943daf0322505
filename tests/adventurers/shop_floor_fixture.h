// tests/adventurers/shop_floor_fixture.h: a cleared running game in the
// smallest shop with its default shelf layout and grid, a small item table
// (plain and fancy goods, a vending machine, floors and walls), the party
// standing still and no buttons held.
#pragma once
#include <gtest/gtest.h>

#include "adventurers/party.h"
#include "adventurers/shop_floor.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/shop/economy_fixture.h"

class ShopFloorTest : public EconomyTest {
protected:
    static constexpr int32_t BREAD = 4001;       // Plan
    static constexpr int32_t TART = 4002;        // Sobr
    static constexpr int32_t HOLY_WATER = 3001;  // Holy, counts three
    static constexpr int32_t SMALL_VENDOR = 5201;
    static constexpr int32_t OAK_FLOOR = 5001;
    static constexpr int32_t PINE_FLOOR = 5002;
    static constexpr int32_t STONE_FLOOR = 5003;

    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(
            ":Drink\n"
            "3001 Holy Water+holy waters#30#0#0#0#0#Holy###t\n"
            ":Food\n"
            "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
            "4002 Royal Tart+royal tarts#90#30#0#0#0#Food Swtt Sobr###t\n"
            ":Flooring\n"
            "5001 Oak Floor+oak floors#100#0#0#0#0#Furn###t\n"
            "5002 Pine Floor+pine floors#100#0#0#0#0#Furn###t\n"
            "5003 Stone Floor+stone floors#100#0#0#0#0#Furn###t\n"
            ":Vending\n"
            "5201 Small Vendor+small vendors#500#0#0#0#0#Furn###t\n");
        gParty = PartyState{};
        gInputState[0] = InputRecord{};
        resetShopFloorBootState();
        resetShopGridState();
        resetShopScene();
        resetItemListState();
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        gFieldTicks = 300;
        initShelfLayout(game());
        buildShelfOccupancy();
    }
    static GameState& game() { return runningGameState(); }
    static int32_t key(int32_t id, int32_t plus = 0) { return makeItemKey(id, 0, plus); }
    static int32_t stored(int32_t k) {
        int32_t n = 0;
        for (int32_t s : game().storage) n += s == k;
        return n;
    }
    static void setFlag(int32_t flag, uint8_t v = 1) { game().storyFlags[flag] = v; }
    // One shop-floor tick with these buttons pressed (and repeating).
    static void tick(uint16_t pressed = 0) {
        gInputState[0].pressed = pressed;
        gInputState[0].repeat = pressed;
        updateShopFloor();
        gInputState[0].pressed = gInputState[0].repeat = 0;
    }
};
