// The glyph cache on the recording device (whose textures keep real texels)
// with the game folder's font files: finding and making entries, the
// glyph's texture, ageing and reuse, a full cache, the picture path, and
// records whose pixels reach past the texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "engine/config_index.h"
#include "engine/debug_text.h"
#include "engine/font_files.h"
#include "engine/glyph_cache.h"
#include "engine/settings.h"
#include "engine/text.h"
#include "platform/window.h"
#include "tests/engine/font_draw_rig.h"
#include "tests/engine/game_font_files.h"
#include "tools/archive_writer.h"

namespace {

// n distinct characters that all have glyphs: the printable ASCII
// characters, then the double-byte ones of the pair table.
std::string distinctText(int32_t n) {
    std::string text;
    int32_t count = 0;
    for (int c = 0x21; c < 0x7F && count < n; ++c, ++count) text += (char)c;
    for (int32_t i = 0; i < FONT_PAIR_COUNT && count < n; ++i) {
        if (FONT_PAIR_TABLE[i] == FONT_FULLWIDTH_SPACE) continue;
        text += (char)(FONT_PAIR_TABLE[i] >> 8);
        text += (char)(FONT_PAIR_TABLE[i] & 0xFF);
        ++count;
    }
    return text;
}

int32_t entriesInUse() {
    int32_t n = 0;
    for (const GlyphCacheEntry& e : gGlyphCache) n += e.inUse;
    return n;
}

int32_t recordedLines(const char* prefix) {
    int32_t n = 0;
    for (int32_t at = gfxRecordFind(prefix, 0); at >= 0; at = gfxRecordFind(prefix, at + 1)) ++n;
    return n;
}

std::string debugRow(int row) { return std::string(gDebugText + row * DEBUG_TEXT_COLUMNS + 30, 9); }

}  // namespace

// A cache over the game's own font files, drawing on the recording device.
class GlyphCache : public ::testing::Test {
protected:
    void SetUp() override {
        savedWindow = gWindow;
        rig.open(false);
        device = rig.device;
        ASSERT_NE(device, nullptr);
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        clearDebugText();
        gfxRecordClear();
    }
    void TearDown() override {
        rig.close();
        gWindow = savedWindow;
    }
    // The texels of an entry's texture, top row first.
    std::vector<uint32_t> texels(const GlyphCacheEntry* entry, int32_t width, int32_t height) {
        std::vector<uint32_t> out((size_t)width * height);
        GfxTexture* texture = gGlyphTextures[entry->textureIndex];
        GfxLockedRect locked;
        EXPECT_EQ(device->lockRect(texture, 0, &locked), GFX_OK);
        if (!locked.bits) return out;
        for (int32_t y = 0; y < height; ++y)
            memcpy(out.data() + y * width, (const uint8_t*)locked.bits + y * locked.pitch, 4 * (size_t)width);
        device->unlockRect(texture, 0);
        return out;
    }

    FontDrawRig rig;
    GfxDevice* device = nullptr;
    const WindowBackend* savedWindow = nullptr;
};

TEST_F(GlyphCache, StartsEmptyWithOneTextureSlotPerEntry) {
    EXPECT_EQ(gGlyphQuadSlot.width, 42);
    EXPECT_EQ(gGlyphQuadSlot.height, 42);
    for (int32_t i = 0; i < GLYPH_CACHE_SIZE; ++i) {
        EXPECT_EQ(gGlyphCache[i].textureIndex, i);
        EXPECT_EQ(gGlyphCache[i].inUse, 0);
        EXPECT_EQ(gGlyphTextures[i], nullptr);
    }
}

TEST_F(GlyphCache, DrawingTheSameCharactersAgainFindsTheirEntries) {
    drawText(10, 10, "AB", 0xFFFFFFFF, 1.0f);
    drawText(10, 40, "AB", 0xFFFFFFFF, 1.0f);
    EXPECT_EQ(entriesInUse(), 2);
    EXPECT_EQ(recordedLines("createTexture"), 2);
    EXPECT_EQ(gGlyphCache[0].code[0], 'A');
    EXPECT_EQ(gGlyphCache[0].code[1], 0);
    EXPECT_EQ(gGlyphCache[1].code[0], 'B');

    // A double-byte character matches on both bytes.
    GlyphCacheEntry* a = getGlyph("\x82\xA0");
    GlyphCacheEntry* i = getGlyph("\x82\xA2");
    ASSERT_NE(a, nullptr);
    ASSERT_NE(i, nullptr);
    EXPECT_NE(a, i);
    EXPECT_EQ(getGlyph("\x82\xA0"), a);
    EXPECT_EQ(a->code[0], 0x82);
    EXPECT_EQ(a->code[1], 0xA0);
}

TEST_F(GlyphCache, TextureHoldsTheGlyphRowsBelowTheAscent) {
    const char* characters[] = {"A", "g", "\x93\x58"};   // and the kanji for shop
    for (const char* character : characters) {
        const uint8_t* p = (const uint8_t*)character;
        FontGlyph glyph;
        ASSERT_TRUE(findFontGlyph(p[0] >= 0x80 ? p[0] << 8 | p[1] : p[0], &glyph)) << character;
        const FontIndexRecord& r = glyph.record;
        GlyphCacheEntry* entry = getGlyph(character);
        ASSERT_NE(entry, nullptr) << character;
        EXPECT_EQ(entry->quadWidth, glyph.advance * 36 / 42) << character;
        char createLine[64];
        snprintf(createLine, sizeof createLine, "createTexture %d %d 1 0 %d 1", glyph.advance, r.cellHeight,
                 (int)GFX_FORMAT_A8R8G8B8);
        EXPECT_GE(gfxRecordFind(createLine, 0), 0) << character << ": " << createLine;

        std::vector<uint32_t> got = texels(entry, glyph.advance, r.cellHeight);
        int32_t inkWidth = 0;
        for (int32_t y = 0; y < r.cellHeight; ++y) {
            for (int32_t x = 0; x < glyph.advance; ++x) {
                int32_t row = y - (r.ascent - r.originY);
                uint8_t e = row >= 0 && row < r.bitmapHeight && x < r.bitmapWidth ? glyph.bytes[row * r.bitmapWidth + x] : 0;
                uint32_t c = e & 0x0F, b = e >> 4;
                uint32_t want = (16 * c) << 24 | (16 * b) * 0x010101u;
                ASSERT_EQ(got[y * glyph.advance + x], want) << character << " at " << x << "," << y;
                if (c && b) inkWidth = std::max(inkWidth, x + 1);
            }
        }
        EXPECT_EQ(entry->inkWidth, inkWidth) << character;
        EXPECT_GT(inkWidth, 10) << character;
    }
}

TEST_F(GlyphCache, SpacesHaveFixedInkWidths) {
    GlyphCacheEntry* space = getGlyph(" ");
    GlyphCacheEntry* wide = getGlyph("\x81\x40");
    ASSERT_NE(space, nullptr);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(space->inkWidth, 24);
    EXPECT_EQ(wide->inkWidth, 45);
}

TEST_F(GlyphCache, CharacterWithoutAGlyphTakesNoEntry) {
    EXPECT_EQ(getGlyph("\x81\x50"), nullptr) << "a double-byte code the pair table does not list";
    gFontAllCodes = 0;
    EXPECT_EQ(getGlyph("\x93\x58"), nullptr) << "a kanji without every code";
    EXPECT_EQ(entriesInUse(), 0);
    EXPECT_EQ(recordedLines("createTexture"), 0);
}

TEST_F(GlyphCache, AgesEveryTickAndReportsOnTheDebugConsole) {
    drawText(0, 0, "AB", 0xFFFFFFFF, 1.0f);
    ageGlyphCache();
    EXPECT_EQ(gGlyphCache[0].age, 1);
    EXPECT_EQ(gGlyphCache[2].age, 0) << "a free entry does not age";
    EXPECT_EQ(debugRow(1), "TOTAL   2");
    EXPECT_EQ(debugRow(0), "         ");

    // Full, and nothing two ticks old yet: crowded.
    drawText(0, 0, distinctText(200).c_str(), 0xFFFFFFFF, 1.0f);
    ageGlyphCache();
    EXPECT_EQ(debugRow(1), "TOTAL 200");
    EXPECT_EQ(debugRow(0), "OVER FONT");
    ageGlyphCache();
    EXPECT_EQ(debugRow(0), "         ");
}

TEST_F(GlyphCache, FullCacheReusesTheFirstEntryLeftUndrawnFourTicks) {
    std::string text = distinctText(202);
    drawText(0, 0, text.substr(0, 94 + 2 * 106).c_str(), 0xFFFFFFFF, 1.0f);   // 94 one-byte, 106 double-byte
    ASSERT_EQ(entriesInUse(), 200);
    const char* newcomer = text.c_str() + 94 + 2 * 106;   // the 201st character
    for (int tick = 0; tick < 3; ++tick) ageGlyphCache();
    EXPECT_EQ(getGlyph(newcomer), nullptr) << "every entry drawn within the last 4 ticks";
    ASSERT_EQ(gHeadlessMessageBoxes.total, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "error1");
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].text, "a");

    ageGlyphCache();
    drawText(0, 0, "!", 0xFFFFFFFF, 1.0f);   // entry 0 is drawn again
    gfxRecordClear();
    GlyphCacheEntry* entry = getGlyph(newcomer);
    ASSERT_EQ(entry, &gGlyphCache[1]) << "entry 0 is too young; entry 1 is the first aged 4";
    EXPECT_EQ(entry->code[0], (uint8_t)newcomer[0]);
    EXPECT_EQ(entry->code[1], (uint8_t)newcomer[1]);
    EXPECT_EQ(recordedLines("releaseTexture"), 1);
    EXPECT_NE(gGlyphTextures[1], nullptr);
    // The character it held is made again, in the next old entry.
    EXPECT_EQ(getGlyph("\""), &gGlyphCache[2]);
}

TEST_F(GlyphCache, TwoHundredAndFirstNewGlyphInOneTickIsSkipped) {
    std::string text = distinctText(201);
    float advance = drawText(0, 0, text.c_str(), 0xFFFFFFFF, 1.0f);
    EXPECT_EQ(entriesInUse(), 200);
    EXPECT_EQ(recordedLines("createTexture"), 200);
    ASSERT_EQ(gHeadlessMessageBoxes.total, 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].caption, "error1");
    // The skipped character does not advance.
    std::string first200 = text.substr(0, text.size() - 2);
    EXPECT_EQ(advance, getTextWidth(first200.c_str(), 1.0f));
}

TEST_F(GlyphCache, PicturePathMakesTheSameTexels) {
    FontGlyph glyph;
    ASSERT_TRUE(findFontGlyph(0x9358, &glyph));
    GlyphCacheEntry direct = *getGlyph("\x93\x58");
    std::vector<uint32_t> directTexels = texels(&direct, glyph.advance, glyph.record.cellHeight);

    initGlyphCache();
    gGlyphFallback = 1;
    gfxRecordClear();
    GlyphCacheEntry* picture = getGlyph("\x93\x58");
    ASSERT_NE(picture, nullptr);
    int32_t width = (glyph.advance + 3) & ~3;
    char createLine[64];
    snprintf(createLine, sizeof createLine, "createTexture %d %d 1", width, glyph.record.cellHeight);
    EXPECT_GE(gfxRecordFind(createLine, 0), 0) << createLine;
    EXPECT_EQ(picture->quadWidth, direct.quadWidth + 1);
    EXPECT_EQ(picture->inkWidth, direct.inkWidth);
    std::vector<uint32_t> pictureTexels = texels(picture, width, glyph.record.cellHeight);
    for (int32_t y = 0; y < glyph.record.cellHeight; ++y)
        for (int32_t x = 0; x < width; ++x)
            ASSERT_EQ(pictureTexels[y * width + x], x < glyph.advance ? directTexels[y * glyph.advance + x] : 0u)
                << x << "," << y;
}

TEST_F(GlyphCache, TextureFailureSwitchesToThePicturePathForGood) {
    // Fill the device's texture pool.
    std::vector<GfxTexture*> filler;
    while (GfxTexture* t = device->createTexture(1, 1, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED))
        filler.push_back(t);
    GlyphCacheEntry* a = getGlyph("A");
    EXPECT_EQ(gGlyphFallback, 1);
    ASSERT_NE(a, nullptr) << "the entry stands though no texture could be made";
    EXPECT_EQ(gGlyphTextures[a->textureIndex], nullptr);
    EXPECT_GT(drawText(0, 0, "A", 0xFFFFFFFF, 1.0f), 0.0f) << "it still advances";

    for (GfxTexture* t : filler) device->releaseTexture(t);
    GlyphCacheEntry* b = getGlyph("B");
    ASSERT_NE(b, nullptr);
    EXPECT_NE(gGlyphTextures[b->textureIndex], nullptr);
    FontGlyph glyph;
    ASSERT_TRUE(findFontGlyph('B', &glyph));
    EXPECT_EQ(b->quadWidth, glyph.advance * 36 / 42 + 1) << "made through the picture path";
}

// Records whose bitmaps reach past their textures, over bytes all set.
struct ClipCase {
    const char* name;
    int32_t advance, cellHeight, ascent, originY, bitmapWidth, bitmapHeight, byteCount;
    int32_t firstRow, lastRow, columns;   // the texture rows and columns that get pixels
};
const ClipCase CLIP_CASES[] = {
    {"bitmap wider and taller than the texture", 8, 6, 2, 0, 40, 60, 2400, 2, 5, 8},
    {"rows starting above the texture", 8, 6, 0, 3, 8, 6, 48, 0, 2, 8},
    {"a bitmap width not a multiple of 4", 12, 4, 0, 0, 6, 4, 24, 0, 3, 8},
    {"bytes ending inside the bitmap", 8, 6, 0, 0, 8, 6, 17, 0, 2, 8},
    {"no bytes at all", 8, 6, 0, 0, 8, 6, 0, 0, -1, 0},
    {"a negative bitmap height", 8, 6, 0, 0, 8, -5, 0, 0, -1, 0},
};

TEST_F(GlyphCache, GlyphPixelsAreClippedToTheTexture) {
    for (const ClipCase& c : CLIP_CASES) {
        initGlyphCache();
        FontIndexRecord record = {0, c.byteCount, c.advance, c.cellHeight, 0, c.ascent, c.originY, c.bitmapWidth,
                                  c.bitmapHeight, 0};
        gFontIndex.assign(('A' + 1) * sizeof record, 0);
        memcpy(gFontIndex.data() + 'A' * sizeof record, &record, sizeof record);
        gFontData.assign((size_t)c.byteCount, 0xFF);
        GlyphCacheEntry* entry = getGlyph("A");
        ASSERT_NE(entry, nullptr) << c.name;
        std::vector<uint32_t> got = texels(entry, c.advance, c.cellHeight);
        for (int32_t y = 0; y < c.cellHeight; ++y) {
            for (int32_t x = 0; x < c.advance; ++x) {
                int32_t at = (y - (c.ascent - c.originY)) * c.bitmapWidth + x;
                bool set = y >= c.firstRow && y <= c.lastRow && x < c.columns && at < c.byteCount;
                ASSERT_EQ(got[y * c.advance + x], set ? 0xF0F0F0F0u : 0u) << c.name << " at " << x << "," << y;
            }
        }
        EXPECT_LE(entry->inkWidth, c.advance) << c.name;
        device->releaseTexture(gGlyphTextures[entry->textureIndex]);
    }
}
