// field/game_overlay.h: the 2D layer drawn over the field and the town map.
#pragma once

void drawGameOverlay();
// The money at the top of the screen; drawn once the HUD is built.
void drawMoneyDisplay();
void drawItemGetPopup();
void drawOverlayEffects();
#include <cstdint>
// The merchant levels' abilities, ascending by level; the last row {100, ""} ends the table.
struct MerchantLevelAbility {
    int32_t level;   // 1-based
    char name[32];
};
constexpr int32_t MERCHANT_LEVEL_ABILITY_ROWS = 30;
extern const MerchantLevelAbility MERCHANT_LEVEL_ABILITIES[MERCHANT_LEVEL_ABILITY_ROWS];
