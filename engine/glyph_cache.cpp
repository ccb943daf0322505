#include "engine/glyph_cache.h"

#include "engine/textures.h"

#include <cstdio>
#include <cstring>

#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/font_files.h"
#include "platform/window.h"

GlyphCacheEntry gGlyphCache[GLYPH_CACHE_SIZE];
GfxTexture* gGlyphTextures[GLYPH_CACHE_SIZE];
TextureSlot gGlyphQuadSlot;
int32_t gGlyphFallback;

// The entry holding each character, by its code (the byte, or lead << 8 |
// trail), as the entry's index + 1; 0 is none, so the zeroed table is an
// empty cache. Text asks for a glyph per character per frame: a lookup must
// not walk the entries.
static uint8_t sEntryOfCode[0x10000];
static_assert(GLYPH_CACHE_SIZE < 0x100, "an entry's index + 1 fits a byte");

static uint32_t glyphCode(uint8_t lead, uint8_t trail) { return lead >= 0x80 ? (uint32_t)lead << 8 | trail : lead; }

constexpr int32_t TGA_HEADER_SIZE = 18;
constexpr int32_t TGA_FOOTER_SIZE = 26;
static const char TGA_FOOTER_SIGNATURE[] = "TRUEVISION-XFILE.";   // with its NUL: 18 bytes

// Working texels and picture for the glyph being made; a glyph is made on
// the main thread, one at a time.
static uint32_t sTexels[FONT_GLYPH_SIDE_MAX * FONT_GLYPH_SIDE_MAX];
static uint8_t sPicture[TGA_HEADER_SIZE + FONT_GLYPH_SIDE_MAX * FONT_GLYPH_SIDE_MAX * 4 + TGA_FOOTER_SIZE];

void initGlyphCache() {
    gGlyphQuadSlot.width = GLYPH_QUAD_SIDE;
    gGlyphQuadSlot.height = GLYPH_QUAD_SIDE;
    for (int32_t i = 0; i < GLYPH_CACHE_SIZE; ++i) {
        gGlyphTextures[i] = nullptr;
        gGlyphCache[i] = GlyphCacheEntry{};
        gGlyphCache[i].textureIndex = i;
    }
    memset(sEntryOfCode, 0, sizeof sEntryOfCode);
}

void ageGlyphCache() {
    int32_t inUse = 0;
    bool anyFree = false;
    bool anyOld = false;
    for (GlyphCacheEntry& entry : gGlyphCache) {
        if (!entry.inUse) {
            anyFree = true;
            continue;
        }
        ++entry.age;
        ++inUse;
        if (entry.age >= GLYPH_CROWDED_AGE) anyOld = true;
    }
    printDebugText(30, 0, !anyFree && !anyOld ? "OVER FONT" : "         ");
    char total[24];   // room for any int, so the compiler sees no truncation
    snprintf(total, sizeof total, "TOTAL %3d", inUse);
    printDebugText(30, 1, total);
}

// The first free entry, else the first one left undrawn long enough, its
// texture released.
static GlyphCacheEntry* takeEntry() {
    for (GlyphCacheEntry& entry : gGlyphCache)
        if (!entry.inUse) return &entry;
    for (GlyphCacheEntry& entry : gGlyphCache) {
        if (entry.age < GLYPH_REUSE_AGE) continue;
        sEntryOfCode[glyphCode(entry.code[0], entry.code[1])] = 0;
        GfxTexture*& texture = gGlyphTextures[entry.textureIndex];
        if (texture && gGfxDevice) gGfxDevice->releaseTexture(texture);
        texture = nullptr;
        return &entry;
    }
    return nullptr;
}

// The glyph's texels, top row first, into sTexels (width x cellHeight,
// cleared first): each bitmap row r lands on row ascent - originY + r, its
// columns up to the bitmap width rounded up to 4; whatever falls outside the
// texture, or past the glyph's bytes, is left out. Returns the ink width:
// the rightmost column (from 1) with both coverage and brightness.
static int32_t placeGlyphTexels(const FontGlyph& glyph, int32_t width, int32_t inkWidth) {
    const FontIndexRecord& r = glyph.record;
    int32_t height = r.cellHeight;
    memset(sTexels, 0, sizeof(uint32_t) * (size_t)width * (size_t)height);
    int64_t rowStart = (int64_t)r.ascent - r.originY;
    int64_t firstRow = rowStart < 0 ? -rowStart : 0;
    int64_t endRow = (int64_t)height - rowStart;
    if (endRow > r.bitmapHeight) endRow = r.bitmapHeight;
    int64_t columns = ((int64_t)r.bitmapWidth + 3) & ~(int64_t)3;
    if (columns > width) columns = width;
    for (int64_t row = firstRow; row < endRow; ++row) {
        uint32_t* out = sTexels + (rowStart + row) * width;
        for (int64_t j = 0; j < columns; ++j) {
            int64_t at = row * r.bitmapWidth + j;
            if (at < 0 || at >= r.byteCount) break;
            uint32_t c = glyph.bytes[at] & 0x0F;
            uint32_t b = glyph.bytes[at] >> 4;
            out[j] = (16 * c) << 24 | (16 * b) << 16 | (16 * b) << 8 | 16 * b;
            if (c != 0 && b != 0 && j + 1 > inkWidth) inkWidth = (int32_t)(j + 1);
        }
    }
    return inkWidth;
}

static GfxTexture* makeDirectTexture(const FontGlyph& glyph) {
    if (!gGfxDevice) return nullptr;
    int32_t width = glyph.advance;
    int32_t height = glyph.record.cellHeight;
    GfxTexture* texture =
        gGfxDevice->createTexture(width, height, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    if (!texture) return nullptr;
    GfxLockedRect locked;
    if (gGfxDevice->lockRect(texture, 0, &locked) != GFX_OK) {
        gGfxDevice->releaseTexture(texture);
        return nullptr;
    }
    for (int32_t y = 0; y < height; ++y)
        memcpy((uint8_t*)locked.bits + (ptrdiff_t)y * locked.pitch, sTexels + y * width, sizeof(uint32_t) * (size_t)width);
    gGfxDevice->unlockRect(texture, 0);
    return texture;
}

static void putLittleEndian16(uint8_t* p, int32_t value) {
    p[0] = (uint8_t)(value & 0xFF);
    p[1] = (uint8_t)((value >> 8) & 0xFF);
}

// sTexels (width x height) as an uncompressed 32-bit TGA with an 8-bit
// alpha channel, rows bottom-up, and the version 2 footer; returns its size.
static int32_t encodeGlyphPicture(int32_t width, int32_t height) {
    uint8_t* p = sPicture;
    memset(p, 0, TGA_HEADER_SIZE);
    p[2] = 2;   // uncompressed true colour
    putLittleEndian16(p + 12, width);
    putLittleEndian16(p + 14, height);
    p[16] = 32;
    p[17] = 8;   // alpha bits; rows start at the bottom
    p += TGA_HEADER_SIZE;
    for (int32_t y = height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t argb = sTexels[y * width + x];
            *p++ = (uint8_t)argb;
            *p++ = (uint8_t)(argb >> 8);
            *p++ = (uint8_t)(argb >> 16);
            *p++ = (uint8_t)(argb >> 24);
        }
    }
    memset(p, 0, 8);   // no extension area, no developer directory
    memcpy(p + 8, TGA_FOOTER_SIGNATURE, sizeof TGA_FOOTER_SIGNATURE);
    p += TGA_FOOTER_SIZE;
    return (int32_t)(p - sPicture);
}


GlyphCacheEntry* getGlyph(const char* text) {
    const uint8_t* p = (const uint8_t*)text;
    uint8_t lead = p[0];
    uint8_t trail = lead >= 0x80 ? p[1] : 0;
    uint32_t code = glyphCode(lead, trail);
    if (sEntryOfCode[code]) return &gGlyphCache[sEntryOfCode[code] - 1];

    // Only a character with a glyph takes an entry: one without stays "no
    // glyph" every time it is asked for, with nothing left behind.
    FontGlyph glyph;
    if (!findFontGlyph(code, &glyph)) return nullptr;
    GlyphCacheEntry* entry = takeEntry();
    if (!entry) {
        showMessageBox("a", "error1", MESSAGE_BOX_OK);
        return nullptr;
    }
    entry->inUse = 1;
    entry->code[0] = lead;
    entry->code[1] = trail;
    sEntryOfCode[code] = (uint8_t)(entry - gGlyphCache + 1);
    // Just made counts as just seen, so measuring a text before drawing it
    // cannot hand its first glyph's entry to its second.
    entry->age = 0;
    entry->quadWidth = glyph.advance * 36 / 42;
    int32_t inkWidth = lead == ' ' ? GLYPH_SPACE_INK_WIDTH : code == FONT_FULLWIDTH_SPACE ? GLYPH_FULLWIDTH_SPACE_INK_WIDTH : 0;
    GfxTexture*& texture = gGlyphTextures[entry->textureIndex];

    if (!gGlyphFallback) {
        entry->inkWidth = placeGlyphTexels(glyph, glyph.advance, inkWidth);
        texture = makeDirectTexture(glyph);
        if (texture) return entry;
        gGlyphFallback = 1;
    }
    // The picture's rows are a multiple of 4 texels wide.
    int32_t width = (glyph.advance + 3) & ~3;
    entry->inkWidth = placeGlyphTexels(glyph, width, inkWidth);
    int32_t size = encodeGlyphPicture(width, glyph.record.cellHeight);
    texture = nullptr;
    createPictureTexture(sPicture, size, 0, 0, 1, 1, GLYPH_FALLBACK_COLOR_KEY, &texture);
    entry->quadWidth += 1;
    return entry;
}
