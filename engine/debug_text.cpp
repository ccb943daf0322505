#include "engine/debug_text.h"

#include <cstring>

char gDebugText[DEBUG_TEXT_ROWS * DEBUG_TEXT_COLUMNS];
int32_t gShowFps = 1;

void clearDebugText() { memset(gDebugText, 0, sizeof gDebugText); }

void printDebugText(int column, int row, const char* text) {
    int pos = row * DEBUG_TEXT_COLUMNS + column;
    for (int i = 0; i < DEBUG_TEXT_COLUMNS && text[i]; ++i, ++pos) {
        if (pos < 0 || pos >= (int)sizeof gDebugText) return;
        gDebugText[pos] = text[i];
    }
}

// Needs the frame-rate digits picture; arrives with the system pictures.
void drawFpsCounter() {}
