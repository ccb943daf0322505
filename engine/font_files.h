// engine/font_files.h: the pre-built glyph font. "fontidx.bin" holds one
// 40-byte record per character slot, "fontdata.bin" the glyph bitmaps they
// point at: one byte a pixel, coverage in the low nibble and brightness in
// the high one, with a soft dark outline already baked around the body.
// Start-up builds both files when the configuration names a face
// (buildFontFiles, before loading), then always loads them whole
// (loadFontFiles); they stay read-only until freeFontFiles at exit. The
// glyph cache reads glyphs from them through findFontGlyph. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/glyphs.h"

extern const char FONT_DATA_FILE[];    // "fontdata.bin"
extern const char FONT_INDEX_FILE[];   // "fontidx.bin"

constexpr int32_t FONT_HEIGHT = 42;           // the cell the glyphs are rendered for, pixels
constexpr int32_t FONT_BORDER = 4;            // empty pixels around every glyph bitmap
constexpr int32_t FONT_ONE_BYTE_SLOTS = 256;  // slots 0..255: the one-byte codes
constexpr int32_t FONT_PAIR_COUNT = 288;
constexpr int32_t FONT_PAIR_SLOT = FONT_ONE_BYTE_SLOTS;              // 256: FONT_PAIR_TABLE's first slot
constexpr int32_t FONT_ALL_CODES_SLOT = FONT_PAIR_SLOT + FONT_PAIR_COUNT;   // 544
constexpr uint32_t FONT_ALL_CODES_FIRST = 0x883F;                    // the code of slot 544
constexpr int32_t FONT_ALL_CODES_COUNT = 32767;
constexpr int32_t FONT_SLOT_COUNT_ALL = FONT_ALL_CODES_SLOT + FONT_ALL_CODES_COUNT;   // 33,311
// The largest glyph texture a record may ask for; a record beyond it reads
// as no glyph.
constexpr int32_t FONT_GLYPH_SIDE_MAX = 256;
constexpr uint16_t FONT_FULLWIDTH_SPACE = 0x8140;

// The double-byte characters below FONT_ALL_CODES_FIRST that have a glyph,
// in slot order from 256; a code listed twice is found at its first place.
extern const uint16_t FONT_PAIR_TABLE[FONT_PAIR_COUNT];

// One slot of "fontidx.bin"; 40 bytes, little-endian. A slot that was not
// rendered is 40 zero bytes.
struct FontIndexRecord {
    int32_t offset;         // of the glyph's bytes in "fontdata.bin"
    int32_t byteCount;      // bitmapWidth x bitmapHeight, or the few raw bytes of a blank glyph
    int32_t advance;        // pen advance + pad + 8; only its low 16 bits (signed) are read
    int32_t cellHeight;     // the font's height + 8
    int32_t originX;        // the ink's left edge right of the pen (not read)
    int32_t ascent;         // the font's
    int32_t originY;        // the ink's top edge above the baseline
    int32_t bitmapWidth;    // ink width + pad + 8, a multiple of 4
    int32_t bitmapHeight;   // ink height + 8
    int32_t reserved;       // 0
};
static_assert(sizeof(FontIndexRecord) == 40);
static_assert(offsetof(FontIndexRecord, advance) == 8);
static_assert(offsetof(FontIndexRecord, originY) == 24);
static_assert(offsetof(FontIndexRecord, reserved) == 36);

// Both files, whole, as loaded; empty when neither a loose file nor the
// archive had them (every glyph then reads as none).
extern std::vector<uint8_t> gFontData;
extern std::vector<uint8_t> gFontIndex;

void buildFontFiles();   // from the face gFontFaceName, into the working directory
void loadFontFiles();    // each file loose from the working directory, else from the archive
void freeFontFiles();      // and whatever the worker below read
// Starts reading the loose files on a worker, for loadFontFiles to take;
// dropFontPrefetch waits for it and frees what it read; building the font
// files drops it before it writes them.
void startFontPrefetch();
void dropFontPrefetch();

// The slot of a character: a one-byte code is its own slot; a double-byte
// code (lead byte x 256 + trail byte) below 0x883F is found in
// FONT_PAIR_TABLE, one from 0x883F on counts from slot 544 while allCodes
// is set. -1: the character has no slot.
int32_t fontSlotOfCode(uint32_t code, bool allCodes);
// The slots a build writes: 544, or 33,311 with every code.
int32_t fontSlotCount(bool allCodes);
// The character a build renders into a slot; false for a slot that gets a
// zero record (outside the slots, or a code of the all-codes range that is
// left out).
bool fontCodeOfSlot(int32_t slot, uint32_t* code);

// A glyph as the cache draws it: its record, and its bytes inside gFontData.
struct FontGlyph {
    FontIndexRecord record;
    int32_t advance;        // the record's, as read: low 16 bits, signed
    const uint8_t* bytes;   // record.byteCount bytes
};
// The glyph of a character (gFontAllCodes chooses the double-byte range).
// False, "no glyph", when the character has no slot, its record lies
// outside the loaded index or is all zero, its bytes lie outside the loaded
// data, or its advance or cell height is not 1..FONT_GLYPH_SIDE_MAX.
bool findFontGlyph(uint32_t code, FontGlyph* out);

// The builder's two passes over one glyph cell (bitmapWidth x bitmapHeight
// bytes), kept apart for the tests. Body pixels of grey level v > 0 become
// coverage 15 and brightness min(v, 15), FONT_BORDER pixels in from the
// cell's top-left.
void placeGlyphBody(const uint8_t* levels, int32_t pitch, int32_t boxWidth, int32_t boxHeight, uint8_t* cell,
                    int32_t cellWidth, int32_t cellHeight);
// Every pixel of brightness 2 or more shades the empty pixels up to 4 away
// with brightness 1 and coverage 15 within edgeWidth, fading by edgeFalloff
// per pixel beyond; a pixel keeps the strongest shade it gets.
void bakeGlyphOutline(uint8_t* cell, int32_t cellWidth, int32_t cellHeight, int32_t edgeWidth, int32_t edgeFalloff);

// Writes both files with the face open on the glyph service, whose
// metrics are given (the whole slot table, every code with gFontAllCodes,
// the outline from gFontEdgeWidth and gFontEdgeFalloff); false when a file
// cannot be opened or written. Shared by the start-up build and the font tool.
bool writeFontFiles(const GlyphFaceMetrics& face, const char* dataPath, const char* indexPath);
