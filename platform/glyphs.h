// platform/glyphs.h: glyph bitmaps from an installed outline font, for the
// font builder. FreeType draws the glyphs; fontconfig finds the face by its
// family name. A face that is not installed, or that cannot draw Japanese,
// gives way to IPAGothic (Debian's fonts-ipafont-gothic), and then to any
// installed Japanese face; the log says which face was taken.
//
// The builder's face is one at a time: it opens it, renders every character
// it needs and closes it, on one thread. A caller that keeps a face of its
// own (the message boxes) opens it apart with openOwnGlyphFace, so the two
// never disturb each other.
#pragma once
#include <cstdint>

constexpr int32_t GLYPH_LEVEL_MAX = 16;    // grey levels run 0 (empty) to 16 (solid)
constexpr int32_t GLYPH_BOX_MAX = 256;     // a box side beyond this is cut off
constexpr int32_t GLYPH_PITCH_MAX = GLYPH_BOX_MAX;

extern const char GLYPH_FALLBACK_FACE[];   // "IPAGothic"

// The face as a whole, in pixels at the size it was opened with.
struct GlyphFaceMetrics {
    int32_t height;   // the cell: ascent plus descent
    int32_t ascent;   // from the cell's top down to the baseline
};

// One glyph: the box its ink covers, where that box sits against the pen,
// and the grey level of every pixel inside the box. A blank glyph (a space,
// or one the face draws empty) has a 1 x 1 box at the pen and no levels.
struct GlyphBitmap {
    int32_t boxWidth;
    int32_t boxHeight;
    int32_t boxLeft;     // the box's left edge, right of the pen
    int32_t boxTop;      // the box's top edge, above the baseline
    int32_t advance;     // how far the pen moves after this glyph
    int32_t pitch;       // bytes from one row of levels to the next: boxWidth rounded up to 4
    int32_t byteCount;   // pitch x boxHeight; 0 for a blank glyph
    uint8_t levels[GLYPH_PITCH_MAX * GLYPH_BOX_MAX];   // 0..16, top row first
};

enum GlyphFaceResult : int32_t {
    GLYPH_FACE_OK = 0,
    GLYPH_FACE_NOT_SIZED,   // a face opened but refused the size; its glyphs render blank
    GLYPH_FACE_NONE,        // no usable face is installed
};

// Opens the face of the family faceName (UTF-8; empty asks for the
// fallback) so that a cell (ascent plus descent) is cellHeight pixels high.
GlyphFaceResult openGlyphFace(const char* faceName, int32_t cellHeight, GlyphFaceMetrics* out);
// Renders the character of a Shift-JIS code (a byte value below 0x100, else
// lead byte x 256 + trail byte). A code the code page does not define, or a
// character the face lacks, draws the face's missing-character glyph; a
// glyph that cannot be drawn at all comes back blank.
void renderGlyph(uint32_t sjisCode, GlyphBitmap* out);
void closeGlyphFace();

// A face apart from the builder's; null when no usable face is installed
// (result GLYPH_FACE_NONE). Each face is used by one thread at a time.
struct GlyphFace;
GlyphFace* openOwnGlyphFace(const char* faceName, int32_t cellHeight, GlyphFaceMetrics* out, GlyphFaceResult* result);
void renderOwnGlyph(const GlyphFace* face, uint32_t sjisCode, GlyphBitmap* out);
void closeOwnGlyphFace(GlyphFace* face);
