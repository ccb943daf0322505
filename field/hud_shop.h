// field/hud_shop.h: the shop floor's HUD layer (shelf label, merchant
// experience gauge with the level and the level-up tag, the shop-floor
// menus) and the level-up tag both HUD layers draw. Drawn by the game
// overlay once per drawn frame.
#pragma once
#include <cstdint>

constexpr int32_t FIRST_MENU_ENTRY_COUNT = 7;
constexpr int32_t SECOND_MENU_ENTRY_COUNT = 10;
constexpr int32_t LECTURE_ENTRY_COUNT = 3;
extern const char* const FIRST_MENU_LABELS[FIRST_MENU_ENTRY_COUNT];
extern const char* const SECOND_MENU_LABELS[SECOND_MENU_ENTRY_COUNT];
extern const char* const LECTURE_LABELS[LECTURE_ENTRY_COUNT];

// The second menu's entry ids the overlay's information panels answer to.
enum ShopMenuEntry : int32_t {
    SHOP_MENU_ATMOSPHERE = 0,
    SHOP_MENU_MERCHANT_LEVEL = 5,
    SHOP_MENU_NEWS = 8,
    SHOP_MENU_ORDERS = 9,
};

void drawShopOverlay();
void drawLevelUpTag(float x, float y);
// The tag's alpha at level-up timer t, 0 when it is not drawn. Pure.
int32_t levelUpTagAlpha(int32_t t);
// A vending machine's slots by the machine's item id. Pure.
int32_t vendingCapacity(int32_t machineKey);
