#include "engine/config_index.h"

int32_t gFontAllCodes = 1;
int32_t gFontEdgeWidth = 2;
int32_t gFontEdgeFalloff = 6;
char gFontFaceName[TEXT_STRING_MAX + 1];
int32_t gMakeFont;
int32_t gEffectEditorOn;
int32_t gTrailPeriod;
int32_t gTrailLimit;
int32_t gJellyfishAlpha;

// Outline values are clamped to 0..FONT_EDGE_MAX: the outline reaches four
// pixels, so larger values draw the same glyphs, and a negative fall-off
// would raise the outline's coverage past what a glyph pixel can hold.
static void readEdgeValue(const char* v, const char* end, int32_t& field) {
    int32_t value;
    if (parseTextInts(v, end, ':', &value, 1) != 1) return;
    field = value < 0 ? 0 : value > FONT_EDGE_MAX ? FONT_EDGE_MAX : value;
}

void parseConfigIndex(const char* text, int32_t length) {
    gEffectEditorOn = 0;
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        const char* v;
        if (lineValue(line, "kanjioff:")) gFontAllCodes = 1;
        if ((v = lineValue(line, "edgewi:"))) readEdgeValue(v, line.end, gFontEdgeWidth);
        if ((v = lineValue(line, "edgedel:"))) readEdgeValue(v, line.end, gFontEdgeFalloff);
        if (lineValue(line, "effectmode:")) gEffectEditorOn = 1;
        if ((v = lineValue(line, "font:"))) {
            gMakeFont = 1;
            copyTextString(v, line.end, gFontFaceName);
        }
    }
}

void loadConfigIndex() {
    TextEntry entry = readTextEntry("config.idx");
    parseConfigIndex(entry.bytes.get(), entry.length);
}
