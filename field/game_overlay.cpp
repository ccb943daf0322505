#include "field/game_overlay.h"

#include "shop/counter_window.h"
#include "shop/item_windows.h"
#include "shop/shop_day_overlay.h"

// The rest of the overlay arrives with the field's HUD and effects; the
// counter scene and the item list are drawn already, as the speech text
// drives the counter. Each draws nothing while it is not shown.
void drawGameOverlay() {
    drawShopDayOverlay();
    drawItemListWindow(0.0f, 0.0f);
    drawCounterWindow();
}
void drawItemGetPopup() {}
void drawOverlayEffects() {}

void drawMoneyDisplay() {}

const MerchantLevelAbility MERCHANT_LEVEL_ABILITIES[MERCHANT_LEVEL_ABILITY_ROWS] = {
    {1, "Starting Level"},    {2, "Customers Sell"},   {3, "Can Take Orders"},  {4, "More Items"},
    {5, "Fusion Rank 1"},     {6, "Change Wallpaper"}, {7, "Advance Orders"},   {8, "Change Floor"},
    {9, "Change Rug"},        {10, "Move Counters"},   {11, "More Items"},      {12, "Store Expansion"},
    {13, "Fusion Rank 2"},    {14, "Change Counters"}, {15, "Vending Machines"}, {16, "Two Items"},
    {17, "Item Storage"},     {18, "More Items"},      {19, "Fusion Rank 3"},   {20, "Store Expansion"},
    {21, "Half Pay"},         {22, "Vending Madness"}, {23, "More Items"},      {24, "Item Storage"},
    {25, "Fusion Rank 4"},    {26, "Store Expansion"}, {30, "Fusion Rank 5"},   {40, "Item Storage"},
    {50, "Three Items"},      {100, ""},
};
