#include "engine/debug_text.h"

#include <cstdio>
#include <cstring>

#include "engine/device.h"
#include "engine/frame_loop.h"

char gDebugText[DEBUG_TEXT_ROWS * DEBUG_TEXT_COLUMNS];
int32_t gShowFps = 1;

void clearDebugText() { memset(gDebugText, 0, sizeof gDebugText); }

void printDebugText(int column, int row, const char* text) {
    // 64-bit positions: no row or column overflows on the way to the test.
    const int64_t end = (int64_t)sizeof gDebugText;
    for (int i = 0; i < DEBUG_TEXT_COLUMNS && text[i]; ++i) {
        int64_t col = (int64_t)column + i;
        if (col < 0) continue;
        int64_t pos = (int64_t)row * DEBUG_TEXT_COLUMNS + col;
        if (pos < 0) continue;
        if (pos >= end) return;
        gDebugText[pos] = text[i];
    }
}

int32_t layoutFpsDigits(uint32_t fps, FpsDigitQuad out[2]) {
    char text[16];
    snprintf(text, sizeof text, "%2d", (int)fps);
    int32_t count = 0;
    float x = 616.0f;
    for (int i = 0; i < 2 && text[i]; ++i) {
        // Only a blank (or a sign, which a rate never has) is not a digit.
        if (text[i] < '0' || text[i] > '9') continue;
        float d = (float)(text[i] - '0');
        out[count].dst = {x, 462.0f, 10.0f, 20.0f};
        out[count].src = {18.0f * d + 33.0f, 0.0f, 18.0f * d + 49.0f, 32.0f};
        ++count;
        x += 8.0f;
    }
    return count;
}

void drawFpsCounter() {
    if (!gShowFps) return;
    if (gGfxDevice) {
        gGfxDevice->setTexture(0, gFpsTexture.texture);
        gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
        gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
        gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
        // Set here, not inherited: the frame's last draw may have left point sampling.
        gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
        gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    }
    SpriteDest label = {594.0f, 468.0f, 23.0f, 12.0f};
    addSpriteQuad(label, SpriteSource{0.0f, 0.0f, 23.0f, 12.0f}, gFpsTexture, 0xFFFFFFFF);
    FpsDigitQuad digits[2];
    int32_t count = layoutFpsDigits(gMeasuredFps, digits);
    for (int32_t i = 0; i < count; ++i) addSpriteQuad(digits[i].dst, digits[i].src, gFpsTexture, 0xFFFFFFFF);
    flushSprites();
}

void resetDebugText() {
    clearDebugText();
    gShowFps = 1;
}
