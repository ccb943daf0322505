// engine/config_index.h: the process-wide switches of "config.idx", read
// once at start-up by loadIndexFiles. The font switches are read by the font
// build only; the font build itself is asked for by gMakeFont (engine/shell.h)
// and the effect editor switched on by gEffectEditorOn (field/effect_objects.h).
#pragma once
#include <cstdint>

#include "engine/text_data.h"

constexpr int32_t FONT_EDGE_MAX = 255;   // the largest outline width and fall-off kept

extern int32_t gFontAllCodes;      // 1: the font build covers every double-byte code
extern int32_t gFontEdgeWidth;     // pixels of full-strength glyph outline
extern int32_t gFontEdgeFalloff;   // outline strength lost per pixel beyond that width
extern char gFontFaceName[TEXT_STRING_MAX + 1];   // the face the font build uses

// Reads "config.idx" from the archive; a missing file changes nothing but
// clearing gEffectEditorOn.
void loadConfigIndex();
// The same from a text in memory.
void parseConfigIndex(const char* text, int32_t length);
