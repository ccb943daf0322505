#include "engine/text.h"

#include "engine/device.h"
#include "engine/glyph_cache.h"
#include "engine/sprites.h"

float textScale(float k) {
    float sized = (float)((double)k * TEXT_SIZE_FACTOR);
    return (float)((double)sized * TEXT_SCALE_FACTOR);
}

static bool isBlank(const uint8_t* p) { return p[0] == ' ' || (p[0] == 0x81 && p[1] == 0x40); }

// One pass over the text. s: logical pixels per cell unit. fadeCount < 0
// draws every glyph in argb; otherwise alpha fades as drawTextFaded says.
// Without draw, only the advance is summed and no age is touched.
static float runText(float x, float y, const char* text, uint32_t argb, float s, bool draw, int32_t fadeCount) {
    if (draw && gGfxDevice) {
        gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
        gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    }
    const SpriteSource source = {1.0f, 1.0f, 41.0f, 41.0f};
    float start = x;
    const uint8_t* p = (const uint8_t*)text;
    for (int32_t index = 0; *p; ++index) {
        if (*p < 0x20) {
            ++p;
            continue;
        }
        bool doubleByte = *p >= 0x80;
        if (doubleByte && p[1] == 0) break;   // a lead byte cut off by the end of the text
        GlyphCacheEntry* glyph = getGlyph((const char*)p);
        if (glyph) {
            GfxTexture* texture = gGlyphTextures[glyph->textureIndex];
            if (draw) glyph->age = 0;
            if (draw && texture && !isBlank(p)) {
                uint32_t colour = argb;
                if (fadeCount >= 0) {
                    float strength = (float)(fadeCount - index) * 0.2f;
                    if (strength > 1.0f) strength = 1.0f;
                    if (strength < 0.0f) strength = 0.0f;
                    uint32_t alpha = (uint32_t)((float)(argb >> 24) * strength);
                    colour = alpha << 24 | (argb & 0x00FFFFFF);
                }
                if (gGfxDevice) gGfxDevice->setTexture(0, texture);
                SpriteDest dest = {x, y, (float)glyph->quadWidth * s, (float)GLYPH_QUAD_SIDE * s};
                addSpriteQuad(dest, source, gGlyphQuadSlot, colour);
                flushSprites();
            }
            x += (float)(glyph->inkWidth - TEXT_ADVANCE_TRIM) * s;
        }
        p += doubleByte ? 2 : 1;
    }
    return x - start;
}

float drawText(float x, float y, const char* text, uint32_t argb, float k) {
    return runText(x, y, text, argb, textScale(k), true, -1);
}

float getTextWidth(const char* text, float k) { return runText(0.0f, 0.0f, text, 0, textScale(k), false, -1); }

float drawTextCentered(float x, float y, const char* text, uint32_t argb, float k) {
    float width = getTextWidth(text, k);
    drawText(x - width / 2.0f, y, text, argb, textScale(k) / TEXT_UNIT_SCALE);
    return 0.0f;
}

float drawTextRight(float x, float y, const char* text, uint32_t argb, float k) {
    float width = getTextWidth(text, k);
    drawText(x - width, y, text, argb, textScale(k) / TEXT_UNIT_SCALE);
    return 0.0f;
}

float drawTextFaded(float x, float y, const char* text, uint32_t argb, float k, int32_t count) {
    float s = (float)((double)k * TEXT_SIZE_FACTOR);
    return runText(x, y, text, argb, s, true, count < 0 ? 0 : count);
}
