// engine/config_index.h: the process-wide switches of "config.idx", read
// once at start-up by loadIndexFiles, and the fixed values that load gives
// other parts of the game. The font switches are read by the font build
// only; the font build itself is asked for by gMakeFont.
#pragma once
#include <cstdint>

#include "engine/text_data.h"

constexpr int32_t FONT_EDGE_MAX = 255;   // the largest outline width and fall-off kept

extern int32_t gFontAllCodes;      // 1: the font build covers every double-byte code
extern int32_t gFontEdgeWidth;     // pixels of full-strength glyph outline
extern int32_t gFontEdgeFalloff;   // outline strength lost per pixel beyond that width
extern char gFontFaceName[TEXT_STRING_MAX + 1];   // the face the font build uses
extern int32_t gMakeFont;          // the configuration asks to build the font files
extern int32_t gEffectEditorOn;    // the effect editor replaces the shop floor's control

// Values other parts of the game read, given their only assignment by the
// start-up's table load.
extern int32_t gTrailPeriod;      // period of the dungeon player's trail counter
extern int32_t gTrailLimit;       // and its limit
extern int32_t gJellyfishAlpha;   // alpha the jellyfish enemy kinds are drawn with

// Reads "config.idx" from the archive; a missing file changes nothing but
// clearing gEffectEditorOn.
void loadConfigIndex();
// The same from a text in memory.
void parseConfigIndex(const char* text, int32_t length);
