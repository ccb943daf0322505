// field/hud_level_abilities.h: what each merchant level allows, as the
// "Level Abilities" panel lists it: the level, the ability's name and three
// lines that explain it.
#pragma once
#include <cstdint>

constexpr int32_t LEVEL_ABILITY_ROWS = 30;   // the last row {100, ""} only ends the table
constexpr int32_t LEVEL_ABILITY_NAME_SIZE = 32;
constexpr int32_t LEVEL_ABILITY_LINES = 3;

struct LevelAbility {
    int32_t level;
    char name[LEVEL_ABILITY_NAME_SIZE];
};
extern const LevelAbility MERCHANT_LEVEL_ABILITIES[LEVEL_ABILITY_ROWS];
extern const char* const MERCHANT_LEVEL_ABILITY_TEXTS[LEVEL_ABILITY_ROWS][LEVEL_ABILITY_LINES];
