// The glyph font files: slots of characters, the build (records, cells, the
// baked outline), loading loose or from the archive, and records that point
// outside what was loaded. Builds run on the installed IPAGothic into a
// temporary folder; the game folder's files come from the font tool.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/archive.h"
#include "engine/config_index.h"
#include "engine/engine_state.h"
#include "engine/font_files.h"
#include "engine/state_snapshot.h"
#include "platform/glyphs.h"
#include "platform/sjis.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"
#include "tools/archive_writer.h"

namespace {

FontIndexRecord recordAt(const std::vector<uint8_t>& index, int32_t slot) {
    FontIndexRecord record = {};
    if ((size_t)(slot + 1) * sizeof record <= index.size()) memcpy(&record, index.data() + slot * sizeof record, sizeof record);
    return record;
}

bool isZero(const FontIndexRecord& record) {
    static const FontIndexRecord ZERO = {};
    return memcmp(&record, &ZERO, sizeof ZERO) == 0;
}

// A temporary working directory; the font globals come back as they were.
class FontFolder : public ::testing::Test {
protected:
    void TearDown() override {
        freeFontFiles();
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
    }
    StateScope state{&ENGINE_STATE};
    TempFolder folder{"font"};
    WorkingDirectory inFolder{folder.path()};
};

// The base set (544 slots) built once by the start-up build, for the suite.
class GlyphFontBuild : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TempFolder folder("fontbuild");
        WorkingDirectory inFolder(folder.path());
        {
            StateScope state{&ENGINE_STATE};
            gFontAllCodes = 0;
            strcpy(gFontFaceName, "IPAGothic");
            buildFontFiles();
        }
        index = new std::vector<uint8_t>(readFile(FONT_INDEX_FILE));
        data = new std::vector<uint8_t>(readFile(FONT_DATA_FILE));
    }
    static void TearDownTestSuite() {
        delete index;
        delete data;
    }
    void SetUp() override { ASSERT_EQ(openGlyphFace(GLYPH_FALLBACK_FACE, FONT_HEIGHT, &metrics), GLYPH_FACE_OK); }
    void TearDown() override { closeGlyphFace(); }
    static std::vector<uint8_t>* index;
    static std::vector<uint8_t>* data;
    GlyphFaceMetrics metrics;
    GlyphBitmap glyph;
};
std::vector<uint8_t>* GlyphFontBuild::index;
std::vector<uint8_t>* GlyphFontBuild::data;

class GlyphFontLoad : public FontFolder {};

}  // namespace

struct SlotCase {
    uint32_t code;
    bool allCodes;
    int32_t slot;
};
const SlotCase SLOT_CASES[] = {
    {'A', false, 0x41},
    {0x00, false, 0},
    {0xFF, false, 0xFF},
    {0x8140, false, 256},         // the full-width space, first of its five places
    {0x8149, false, 257},
    {0x816A, false, 265},
    {0x82F0, false, 256 + 70},    // wo, first after the second pair of spaces
    {0x8396, true, 256 + 269},    // the small ke, the highest code of the table
    {0x819B, false, 256 + 271},   // the circle, last before the closing spaces
    {0x8150, true, -1},           // a double-byte code the table does not list
    {0x883F, true, 544},
    {0x889F, true, 640},
    {0x889F, false, -1},
    {0xFFFF, true, 544 + 0xFFFF - 0x883F},
    {0x10000, true, -1},
};

TEST(GlyphFontSlots, EachCodeHasItsSlot) {
    for (const SlotCase& c : SLOT_CASES)
        EXPECT_EQ(fontSlotOfCode(c.code, c.allCodes), c.slot) << std::hex << "code " << c.code << " all " << c.allCodes;
}

TEST(GlyphFontSlots, PairTableHoldsTheFullWidthSpaceInItsFivePlaces) {
    const uint16_t first[] = {0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A};
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(FONT_PAIR_TABLE[i], first[i]) << i;
    uint16_t highest = 0;
    for (int32_t i = 0; i < FONT_PAIR_COUNT; ++i) {
        bool space = i == 0 || i == 68 || i == 69 || i >= 272;
        EXPECT_EQ(FONT_PAIR_TABLE[i] == FONT_FULLWIDTH_SPACE, space) << i;
        if (FONT_PAIR_TABLE[i] > highest) highest = FONT_PAIR_TABLE[i];
        // Every entry is a real double-byte character.
        EXPECT_NE(sjisCodeToUnicode(FONT_PAIR_TABLE[i]), 0u) << i;
    }
    EXPECT_EQ(highest, 0x8396);
}

struct RenderedCase {
    int32_t slot;
    bool rendered;
    uint32_t code;
};
const RenderedCase RENDERED_CASES[] = {
    {-1, false, 0},
    {0x82, true, 0x82},                     // a lead byte's slot is filled though nothing reads it
    {256 + 1, true, 0x8149},
    {544, true, 0x883F},
    {544 + (0x893D - 0x883F), false, 0},    // trail byte below 0x3E
    {544 + (0x893E - 0x883F), true, 0x893E},
    {544 + (0x89FD - 0x883F), true, 0x89FD},
    {544 + (0x89FE - 0x883F), false, 0},    // trail byte above 0xFD
    {544 + (0x9FFC - 0x883F), true, 0x9FFC},
    {544 + (0x9FFD - 0x883F), false, 0},
    {544 + (0xE03F - 0x883F), false, 0},
    {544 + (0xE040 - 0x883F), true, 0xE040},
    {544 + (0xEEEC - 0x883F), true, 0xEEEC},
    {544 + (0xEEED - 0x883F), false, 0},
    {544 + (0xFA56 - 0x883F), false, 0},
    {544 + (0xFA57 - 0x883F), true, 0xFA57},
    {544 + (0xFBFC - 0x883F), true, 0xFBFC},
    {544 + (0xFBFD - 0x883F), false, 0},
    {FONT_SLOT_COUNT_ALL - 1, false, 0},
    {FONT_SLOT_COUNT_ALL, false, 0},
};

TEST(GlyphFontSlots, BuildRendersEverySlotButTheLeftOutCodes) {
    EXPECT_EQ(fontSlotCount(false), 544);
    EXPECT_EQ(fontSlotCount(true), 33311);
    for (const RenderedCase& c : RENDERED_CASES) {
        uint32_t code = 0;
        EXPECT_EQ(fontCodeOfSlot(c.slot, &code), c.rendered) << "slot " << c.slot;
        if (c.rendered) {
            EXPECT_EQ(code, c.code) << "slot " << c.slot;
        }
    }
}

TEST_F(GlyphFontBuild, BaseSetHas544RecordsOverContiguousData) {
    ASSERT_EQ(index->size(), 544 * sizeof(FontIndexRecord));
    int64_t expectedOffset = 0;
    for (int32_t slot = 0; slot < 544; ++slot) {
        FontIndexRecord r = recordAt(*index, slot);
        ASSERT_FALSE(isZero(r)) << "slot " << slot;
        EXPECT_EQ(r.offset, expectedOffset) << "slot " << slot;
        EXPECT_EQ(r.cellHeight, FONT_HEIGHT + 8) << "slot " << slot;
        EXPECT_EQ(r.ascent, metrics.ascent) << "slot " << slot;
        EXPECT_EQ(r.bitmapWidth % 4, 0) << "slot " << slot;
        EXPECT_EQ(r.reserved, 0) << "slot " << slot;
        EXPECT_TRUE(r.byteCount == r.bitmapWidth * r.bitmapHeight || r.byteCount <= 2) << "slot " << slot;
        expectedOffset += r.byteCount;
    }
    EXPECT_EQ((int64_t)data->size(), expectedOffset);
}

TEST_F(GlyphFontBuild, RecordsDescribeTheGlyphsAndTheirCells) {
    const uint32_t codes[] = {'A', 'g', 0x8341, 0x82F0};
    for (uint32_t code : codes) {
        renderGlyph(code, &glyph);
        FontIndexRecord r = recordAt(*index, fontSlotOfCode(code, false));
        int32_t pad = -glyph.boxWidth & 3;
        EXPECT_EQ(r.advance, glyph.advance + pad + 8) << std::hex << code;
        EXPECT_EQ(r.bitmapWidth, glyph.boxWidth + pad + 8) << std::hex << code;
        EXPECT_EQ(r.bitmapHeight, glyph.boxHeight + 8) << std::hex << code;
        EXPECT_EQ(r.originX, glyph.boxLeft) << std::hex << code;
        EXPECT_EQ(r.originY, glyph.boxTop) << std::hex << code;
        ASSERT_EQ(r.byteCount, r.bitmapWidth * r.bitmapHeight) << std::hex << code;
        // Body pixels sit 4 in from the top-left at full coverage; every
        // other pixel is outline (brightness 1) or empty.
        const uint8_t* cell = data->data() + r.offset;
        int32_t outline = 0;
        for (int32_t y = 0; y < r.bitmapHeight; ++y) {
            for (int32_t x = 0; x < r.bitmapWidth; ++x) {
                int32_t gx = x - 4, gy = y - 4;
                bool inBox = gx >= 0 && gy >= 0 && gx < glyph.boxWidth && gy < glyph.boxHeight;
                int32_t level = inBox ? glyph.levels[gy * glyph.pitch + gx] : 0;
                uint8_t pixel = cell[y * r.bitmapWidth + x];
                if (level > 0) {
                    ASSERT_EQ(pixel, 0x0F | (std::min(level, 15) << 4)) << std::hex << code << " at " << x << "," << y;
                } else {
                    ASSERT_LE(pixel >> 4, 1) << std::hex << code << " at " << x << "," << y;
                    if (pixel != 0) ++outline;
                }
            }
        }
        EXPECT_GT(outline, 0) << std::hex << code;
    }
}

TEST_F(GlyphFontBuild, BlankGlyphStoresItsRawBytesAndAFullRecord) {
    renderGlyph(' ', &glyph);
    FontIndexRecord space = recordAt(*index, ' ');
    EXPECT_EQ(space.byteCount, 0);
    EXPECT_EQ(space.bitmapWidth, 12);   // a 1 x 1 box: 1 + 3 + 8
    EXPECT_EQ(space.bitmapHeight, 9);
    EXPECT_EQ(space.advance, glyph.advance + 3 + 8);
    EXPECT_EQ(space.offset, recordAt(*index, ' ' + 1).offset) << "a blank takes no bytes";
}

TEST_F(GlyphFontLoad, StartupBuildWithoutAnyFontWritesNothing) {
    // fontconfig pointed at a configuration with no font folders.
    std::string error;
    const char config[] = "<?xml version=\"1.0\"?><fontconfig></fontconfig>\n";
    ASSERT_TRUE(writeWholeFile("empty.conf", (const uint8_t*)config, sizeof config - 1, error)) << error;
    const char* saved = getenv("FONTCONFIG_FILE");
    std::string savedValue = saved ? saved : "";
    setenv("FONTCONFIG_FILE", folder.file("empty.conf").c_str(), 1);
    strcpy(gFontFaceName, "IPAGothic");
    buildFontFiles();
    if (saved)
        setenv("FONTCONFIG_FILE", savedValue.c_str(), 1);
    else
        unsetenv("FONTCONFIG_FILE");
    EXPECT_FALSE(std::filesystem::exists(FONT_DATA_FILE));
    EXPECT_FALSE(std::filesystem::exists(FONT_INDEX_FILE));
}

TEST_F(GlyphFontLoad, GameFolderFontHoldsEveryCode) {
    {
        WorkingDirectory inGameFolder(TOLLI_GAME_DATA_DIR);
        loadFontFiles();
    }
    ASSERT_EQ(gFontIndex.size(), 33311 * sizeof(FontIndexRecord));
    gFontAllCodes = 1;
    FontGlyph glyph;
    ASSERT_TRUE(findFontGlyph(0x889F, &glyph));
    EXPECT_EQ(memcmp(&glyph.record, gFontIndex.data() + 640 * sizeof(FontIndexRecord), sizeof glyph.record), 0);
    EXPECT_GT(glyph.record.byteCount, 0);
    EXPECT_TRUE(isZero(recordAt(gFontIndex, 544 + (0x9FFD - 0x883F))));
    EXPECT_FALSE(findFontGlyph(0x9FFD, &glyph)) << "a left-out code reads as empty";
    gFontAllCodes = 0;
    EXPECT_FALSE(findFontGlyph(0x889F, &glyph)) << "without every code, kanji have no slot";
    EXPECT_TRUE(findFontGlyph(0x8341, &glyph));
}

TEST_F(GlyphFontLoad, LooseFileComesFirstThenTheArchive) {
    const std::vector<uint8_t> packedIndex(80, 0x11), looseIndex(40, 0x22), packedData(7, 0x33);
    ArchiveBuilder builder;
    std::string error;
    ASSERT_TRUE(addIndexEntry(builder, FONT_INDEX_FILE, packedIndex.data(), packedIndex.size(), error)) << error;
    ASSERT_TRUE(addIndexEntry(builder, FONT_DATA_FILE, packedData.data(), packedData.size(), error)) << error;
    ASSERT_TRUE(writeArchiveFiles(builder, ".", false, error)) << error;
    ASSERT_TRUE(openArchive());
    ASSERT_TRUE(writeWholeFile(FONT_INDEX_FILE, looseIndex.data(), looseIndex.size(), error)) << error;

    // Read on the spot, and read ahead on the worker as start-up does: the
    // worker reads only the loose file, the archive fills in the other.
    for (bool ahead : {false, true}) {
        SCOPED_TRACE(ahead ? "read ahead" : "read on the spot");
        if (ahead) startFontPrefetch();
        loadFontFiles();
        EXPECT_EQ(gFontIndex, looseIndex);
        EXPECT_EQ(gFontData, packedData);
        freeFontFiles();
        EXPECT_TRUE(gFontIndex.empty());
        EXPECT_TRUE(gFontData.empty());
    }
    // A loose file that changes after the worker read it (the font build
    // writes them) is read again.
    startFontPrefetch();
    dropFontPrefetch();
    ASSERT_TRUE(writeWholeFile(FONT_INDEX_FILE, packedIndex.data(), packedIndex.size(), error)) << error;
    loadFontFiles();
    EXPECT_EQ(gFontIndex, packedIndex);
}

TEST_F(GlyphFontLoad, FilesMissingEverywhereLeaveNoGlyphs) {
    loadFontFiles();
    EXPECT_TRUE(gFontIndex.empty());
    EXPECT_TRUE(gFontData.empty());
    FontGlyph glyph;
    EXPECT_FALSE(findFontGlyph('A', &glyph));
    EXPECT_FALSE(findFontGlyph(0x8140, &glyph));
}

// One record at slot 'A' over 100 bytes of data, changed by each case.
struct DamageCase {
    const char* name;
    int32_t FontIndexRecord::*field;
    int32_t value;
    bool found;
};
const DamageCase DAMAGE_CASES[] = {
    {"sound", &FontIndexRecord::reserved, 0, true},
    {"bytes end at the end of the data", &FontIndexRecord::byteCount, 90, true},
    {"bytes run past the data", &FontIndexRecord::byteCount, 91, false},
    {"offset past the data", &FontIndexRecord::offset, 101, false},
    {"negative offset", &FontIndexRecord::offset, -4, false},
    {"negative byte count", &FontIndexRecord::byteCount, -1, false},
    {"offset and count overflowing together", &FontIndexRecord::offset, 0x7FFFFFF0, false},
    {"zero advance", &FontIndexRecord::advance, 0, false},
    {"advance negative in its low 16 bits", &FontIndexRecord::advance, 0x0000FFF0, false},
    {"advance read from its low 16 bits", &FontIndexRecord::advance, 0x7FFF0020, true},
    {"advance wider than any glyph", &FontIndexRecord::advance, FONT_GLYPH_SIDE_MAX + 1, false},
    {"zero cell height", &FontIndexRecord::cellHeight, 0, false},
    {"cell taller than any glyph", &FontIndexRecord::cellHeight, FONT_GLYPH_SIDE_MAX + 1, false},
};

TEST_F(GlyphFontLoad, RecordsOutsideTheLoadedFilesAreNoGlyph) {
    for (const DamageCase& c : DAMAGE_CASES) {
        FontIndexRecord record = {10, 20, 30, 50, 0, 37, 30, 12, 9, 0};
        record.*c.field = c.value;
        gFontIndex.assign(('A' + 1) * sizeof record, 0);
        memcpy(gFontIndex.data() + 'A' * sizeof record, &record, sizeof record);
        gFontData.assign(100, 0x5A);
        FontGlyph glyph;
        ASSERT_EQ(findFontGlyph('A', &glyph), c.found) << c.name;
        if (c.found) {
            EXPECT_EQ(glyph.bytes, gFontData.data() + record.offset) << c.name;
        }
    }
    FontGlyph glyph;
    EXPECT_FALSE(findFontGlyph('B', &glyph)) << "a slot past the loaded index";
    EXPECT_FALSE(findFontGlyph('@', &glyph)) << "an all-zero record";
}

struct ShadeCase {
    int32_t edgeWidth, edgeFalloff, dx, dy, coverage;
};
const ShadeCase SHADE_CASES[] = {
    {2, 6, 1, 0, 15}, {2, 6, 1, 1, 15}, {2, 6, 0, 2, 15},    // inside the full-strength width, and at it
    {2, 6, 2, 1, 14},                                        // sqrt 5: 15 - trunc(0.236 x 6)
    {2, 6, 2, 2, 11},                                        // sqrt 8
    {2, 6, 3, 0, 9},  {2, 6, -4, 0, 3}, {2, 6, 4, 2, 1},     // 3, 4 and sqrt 20
    {2, 6, 4, 3, 0},  {2, 6, 4, 4, 0},                       // too far to shade
    {1, 4, 2, 0, 11}, {3, 10, 3, 1, 14}, {0, 1, 4, 4, 10},   // other switches: sqrt 10 with 3 and 10; sqrt 32 with 0 and 1
};

TEST(GlyphFontOutline, ShadeFallsOffWithDistance) {
    for (const ShadeCase& c : SHADE_CASES) {
        uint8_t cell[11 * 11] = {};
        cell[5 * 11 + 5] = 0xFF;
        bakeGlyphOutline(cell, 11, 11, c.edgeWidth, c.edgeFalloff);
        uint8_t pixel = cell[(5 + c.dy) * 11 + 5 + c.dx];
        EXPECT_EQ(pixel & 0x0F, c.coverage) << "width " << c.edgeWidth << " falloff " << c.edgeFalloff << " at "
                                            << c.dx << "," << c.dy;
        EXPECT_EQ(pixel >> 4, c.coverage ? 1 : 0) << "at " << c.dx << "," << c.dy;
        EXPECT_EQ(cell[5 * 11 + 5], 0xFF) << "the body stays";
    }
}

TEST(GlyphFontOutline, OnlyBrightBodyPixelsCastAndTheStrongestShadeStays) {
    // Row of 16: a bright body pixel at 2, a dim one (brightness 1) at 4,
    // and an empty pixel at 7 that only an outline pixel could reach.
    uint8_t cell[16] = {};
    cell[2] = 0xFF;
    cell[4] = 0x1F;
    bakeGlyphOutline(cell, 16, 1, 2, 6);
    EXPECT_EQ(cell[4], 0x1F) << "a body pixel is never shaded";
    EXPECT_EQ(cell[3], 0x1F);
    EXPECT_EQ(cell[5], 0x19) << "distance 3 from the bright pixel";
    EXPECT_EQ(cell[6], 0x13);
    EXPECT_EQ(cell[7], 0x00) << "outline pixels and dim body pixels cast nothing";
    EXPECT_EQ(cell[0], 0x1F);

    // Two bright pixels: the nearer one's shade wins whichever comes first.
    uint8_t pair[16] = {};
    pair[0] = 0xFF;
    pair[6] = 0xFF;
    bakeGlyphOutline(pair, 16, 1, 2, 6);
    EXPECT_EQ(pair[2], 0x1F) << "2 from the left one, 4 from the right";
    EXPECT_EQ(pair[3], 0x19) << "3 from both";
    EXPECT_EQ(pair[4], 0x1F) << "4 from the left one, 2 from the right";
}

TEST(GlyphFontOutline, BodyTakesTheLevelsFourPixelsIn) {
    const uint8_t levels[2 * 4] = {0, 1, 15, 16, 8, 0, 0, 0};
    uint8_t cell[12 * 10];
    memset(cell, 0x77, sizeof cell);
    placeGlyphBody(levels, 4, 3, 2, cell, 12, 10);
    EXPECT_EQ(cell[4 * 12 + 4], 0x00);
    EXPECT_EQ(cell[4 * 12 + 5], 0x1F);
    EXPECT_EQ(cell[4 * 12 + 6], 0xFF);
    EXPECT_EQ(cell[4 * 12 + 7], 0x00) << "a pad byte beyond the box width is not read";
    EXPECT_EQ(cell[5 * 12 + 4], 0x8F);
    int32_t set = 0;
    for (uint8_t pixel : cell) set += pixel != 0;
    EXPECT_EQ(set, 3) << "the rest of the cell is cleared";
}
