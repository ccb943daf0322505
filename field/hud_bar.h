// field/hud_bar.h: the HUD widgets other screens reuse: the digit-sprite
// number and counter drawers, the top bar (panel, place picture, day clock,
// day, money and a dungeon floor's centre banner) and an adventurer's panel
// (portrait, HP and SP bars, experience ring, skills, level). Drawn through
// the sprite batch in the 640 x 480 logical screen, once per drawn frame.
#pragma once
#include <cstdint>

#include "field/field.h"

constexpr float LARGE_DIGIT_ADVANCE = 12.8f;
constexpr float SMALL_DIGIT_ADVANCE = 9.6f;
constexpr int32_t DAY_SHOWN_MAX = 9999;
constexpr int32_t EXP_RING_TRIANGLES = 19;

// "current/maximum" left-aligned at x in small digits; a blank advances
// without drawing. The caller binds the gauge picture and flushes.
void drawCounter(float x, float y, int32_t current, int32_t maximum);
// The format drawCounter uses for a maximum. Pure.
const char* counterFormat(int32_t maximum);
