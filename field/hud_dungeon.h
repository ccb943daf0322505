// field/hud_dungeon.h: a dungeon floor's HUD layer: the adventurer panel,
// the character gauges, the condition names, the minimap, the floor plate,
// the kill combo and the floating numbers and labels. Drawn by the game
// overlay once per drawn frame.
#pragma once
#include <cstdint>

constexpr int32_t CHARGE_CHARACTER = 30;   // the character whose charge shows in cells
constexpr int32_t CHARGE_STEP = 45;
constexpr int32_t CHARGE_MAX = 225;
constexpr int32_t POPUP_TYPE_DAMAGE = 5;
constexpr int32_t POPUP_TYPE_LABEL_FIRST = 10;

void drawDungeonOverlay();
// The scale of a damage number (type 5) by its duration and timer: it starts
// at 5 and shrinks by a half per frame to 2. Pure.
float damagePopupScale(int32_t duration, int32_t timer);
// Whether a floor of that many rooms shows a minimap. Pure.
bool floorHasMinimap(int32_t roomsX, int32_t roomsY);
