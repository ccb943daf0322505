// engine/text.h: every string on screen, drawn glyph by glyph from the glyph
// cache as textured quads of the sprite batch, in the 640 x 480 logical
// screen. Texts are Shift-JIS: a byte of 0x80 or above starts a double-byte
// character, bytes 0x01..0x1F are skipped without moving on, NUL ends the
// text. Spacing is proportional: a character advances by its ink width less
// 3 cell units, the space by 21. Callers set blending; drawing sets linear
// filtering on texture stage 0, binds each glyph's texture and flushes the
// batch once per glyph. Main thread only.
#pragma once
#include <cstdint>

constexpr float TEXT_SIZE_FACTOR = 0.65f;
constexpr float TEXT_SCALE_FACTOR = 0.76f;
constexpr float TEXT_UNIT_SCALE = 0.494f;   // TEXT_SIZE_FACTOR x TEXT_SCALE_FACTOR
constexpr int32_t TEXT_ADVANCE_TRIM = 3;    // cell units between a glyph's ink and the next glyph

// Logical pixels per cell unit at scale k: k x 0.65 x 0.76, each product
// rounded to a float. A line is 42 of them high.
float textScale(float k);

// Draws the text with its first glyph's left edge at x and its top at y;
// returns the advance in logical pixels.
float drawText(float x, float y, const char* text, uint32_t argb, float k);
// The advance drawText would give, without drawing. Makes the glyphs it
// needs but leaves their ages alone.
float getTextWidth(const char* text, float k);
// Draw with the text's middle, or its end, at x; return 0.
float drawTextCentered(float x, float y, const char* text, uint32_t argb, float k);
float drawTextRight(float x, float y, const char* text, uint32_t argb, float k);
// drawText at k x 0.65 cell units a pixel, for the typewriter texts that
// reveal count characters: character i (from 0, a double-byte character and
// a skipped byte each counting once) is drawn at alpha x min(1, (count - i) x
// 0.2), truncated, so the last four before the reveal point show at 80, 60,
// 40 and 20 %. Characters at or past count are not shown.
float drawTextFaded(float x, float y, const char* text, uint32_t argb, float k, int32_t count);
