// engine/debug_text.h: the 80 x 60 debug text grid (kept in memory, shown by
// no screen) and the frame-rate counter in the bottom right corner.
#pragma once
#include <cstdint>

constexpr int DEBUG_TEXT_COLUMNS = 80;
constexpr int DEBUG_TEXT_ROWS = 60;
extern char gDebugText[DEBUG_TEXT_ROWS * DEBUG_TEXT_COLUMNS];
extern int32_t gShowFps;   // debug toggle; the counter draws only while set

void clearDebugText();
// Copies text into the grid from row * 80 + column on; a text that passes
// column 79 continues on the next row; nothing is written past the grid.
void printDebugText(int column, int row, const char* text);
void drawFpsCounter();
