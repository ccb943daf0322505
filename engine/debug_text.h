// engine/debug_text.h: the 80 x 60 debug text grid (kept in memory, shown by
// no screen) and the frame-rate counter in the bottom right corner, drawn
// near the end of every frame while "dispfps" is 0.
#pragma once
#include <cstdint>

#include "engine/sprites.h"

constexpr int DEBUG_TEXT_COLUMNS = 80;
constexpr int DEBUG_TEXT_ROWS = 60;
extern char gDebugText[DEBUG_TEXT_ROWS * DEBUG_TEXT_COLUMNS];
extern int32_t gShowFps;   // debug toggle; the counter draws only while set

void clearDebugText();
// Back to the values a fresh process starts with (a new boot in the same process).
void resetDebugText();
// Copies up to 80 characters of text into the grid from (column, row) on; a
// text that passes column 79 continues on the next row. Characters that fall
// left of the grid or above or below it are dropped.
void printDebugText(int column, int row, const char* text);
void drawFpsCounter();

// One digit of the counter: where it goes and its cell of the picture.
struct FpsDigitQuad {
    SpriteDest dst;
    SpriteSource src;
};
// The digits of fps as "%2d" shows them (the first two characters only; a
// leading blank is skipped and does not move the next digit). Returns how
// many were written to out.
int32_t layoutFpsDigits(uint32_t fps, FpsDigitQuad out[2]);
