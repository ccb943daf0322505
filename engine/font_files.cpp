#include "engine/font_files.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/archive.h"
#include "engine/config_index.h"
#include "platform/log.h"
#include "platform/memory.h"
#include "platform/sjis.h"
#include "platform/thread.h"
#include "platform/window.h"

static_assert(std::endian::native == std::endian::little, "the font files are read and written as they lie in memory");

const char FONT_DATA_FILE[] = "fontdata.bin";
const char FONT_INDEX_FILE[] = "fontidx.bin";

// "エラー": the face could not be selected at its size.
static const char FONT_SELECT_FAILED_TEXT[] = "\x83\x47\x83\x89\x81\x5B";

// Slot 256 + i. Position 0 and positions 68, 69 and 272..287 hold the
// full-width space; 1..67 punctuation, digits, capitals, brackets, tilde and
// plus-minus; 70..271 kana and their marks, arrows, lower-case letters,
// voiced kana, quotation marks, the small ke, the repeat mark and the circle.
const uint16_t FONT_PAIR_TABLE[FONT_PAIR_COUNT] = {
    0x8140, 0x8149, 0x8168, 0x8194, 0x8190, 0x8193, 0x8195, 0x8166, 0x8169, 0x816A, 0x8196, 0x817B,
    0x8143, 0x817C, 0x8144, 0x815E, 0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148, 0x8197, 0x8260, 0x8261, 0x8262,
    0x8263, 0x8264, 0x8265, 0x8266, 0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276, 0x8277, 0x8278, 0x8279, 0x816D,
    0x818F, 0x816E, 0x814F, 0x8151, 0x8179, 0x817A, 0x8160, 0x817D, 0x8140, 0x8140, 0x82F0, 0x829F,
    0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82E1, 0x82E3, 0x82E5, 0x82C1, 0x815B, 0x82A0, 0x82A2, 0x82A4,
    0x82A6, 0x82A8, 0x82A9, 0x82AB, 0x82AD, 0x82AF, 0x82B1, 0x82B3, 0x82B5, 0x82B7, 0x82B9, 0x82BB,
    0x82BD, 0x82BF, 0x82C2, 0x82C4, 0x82C6, 0x82C8, 0x82C9, 0x82CA, 0x82CB, 0x82CC, 0x82CD, 0x82D0,
    0x82D3, 0x82D6, 0x82D9, 0x82DC, 0x82DD, 0x82DE, 0x82DF, 0x82E0, 0x82E2, 0x82E4, 0x82E6, 0x82E7,
    0x82E8, 0x82E9, 0x82EA, 0x82EB, 0x82ED, 0x82F1, 0x81AA, 0x81AB, 0x81A9, 0x8142, 0x8175, 0x8176,
    0x8141, 0x8145, 0x8392, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362,
    0x81A8, 0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E, 0x8350, 0x8352, 0x8354,
    0x8356, 0x8358, 0x835A, 0x835C, 0x835E, 0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B,
    0x836C, 0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E, 0x8380, 0x8381, 0x8382,
    0x8384, 0x8386, 0x8388, 0x8389, 0x838A, 0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x8281, 0x8282,
    0x8283, 0x8284, 0x8285, 0x8286, 0x8287, 0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E,
    0x828F, 0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297, 0x8298, 0x8299, 0x829A,
    0x82AA, 0x82AC, 0x82AE, 0x82B0, 0x82B2, 0x82B4, 0x82B6, 0x82B8, 0x82BA, 0x82BC, 0x82BE, 0x82C0,
    0x82C3, 0x82C5, 0x82C7, 0x82CE, 0x82D1, 0x82D4, 0x82D7, 0x82DA, 0x834B, 0x834D, 0x834F, 0x8351,
    0x8353, 0x8355, 0x8357, 0x8359, 0x835B, 0x835D, 0x835F, 0x8361, 0x8364, 0x8366, 0x8368, 0x836F,
    0x8372, 0x8375, 0x8378, 0x837B, 0x8394, 0x82CF, 0x82D2, 0x82D5, 0x82D8, 0x82DB, 0x8370, 0x8373,
    0x8376, 0x8379, 0x837C, 0x8177, 0x8178, 0x8396, 0x8158, 0x819B, 0x8140, 0x8140, 0x8140, 0x8140,
    0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140, 0x8140,
};

std::vector<uint8_t> gFontData;
std::vector<uint8_t> gFontIndex;

int32_t fontSlotOfCode(uint32_t code, bool allCodes) {
    if (code < (uint32_t)FONT_ONE_BYTE_SLOTS) return (int32_t)code;
    if (code > 0xFFFF) return -1;
    if (code >= FONT_ALL_CODES_FIRST) return allCodes ? FONT_ALL_CODES_SLOT + (int32_t)(code - FONT_ALL_CODES_FIRST) : -1;
    for (int32_t i = 0; i < FONT_PAIR_COUNT; ++i)
        if (FONT_PAIR_TABLE[i] == code) return FONT_PAIR_SLOT + i;
    return -1;
}

int32_t fontSlotCount(bool allCodes) { return allCodes ? FONT_SLOT_COUNT_ALL : FONT_ALL_CODES_SLOT; }

bool fontCodeOfSlot(int32_t slot, uint32_t* code) {
    if (slot < 0 || slot >= FONT_SLOT_COUNT_ALL) return false;
    if (slot < FONT_PAIR_SLOT) {
        *code = (uint32_t)slot;
        return true;
    }
    if (slot < FONT_ALL_CODES_SLOT) {
        *code = FONT_PAIR_TABLE[slot - FONT_PAIR_SLOT];
        return true;
    }
    // Codes that are no double-byte character (trail bytes out of range, the
    // single-byte katakana block, user-defined codes) keep a zero record.
    uint32_t c = FONT_ALL_CODES_FIRST + (uint32_t)(slot - FONT_ALL_CODES_SLOT);
    uint32_t trail = c & 0xFF;
    if (trail < 0x3E || trail > 0xFD) return false;
    if ((c >= 0x9FFD && c <= 0xE03F) || (c >= 0xEEED && c <= 0xFA56) || c >= 0xFBFD) return false;
    *code = c;
    return true;
}

bool findFontGlyph(uint32_t code, FontGlyph* out) {
    if (gFontIndex.empty()) return false;   // no fonts: skip the pair table's search
    int32_t slot = fontSlotOfCode(code, gFontAllCodes != 0);
    if (slot < 0) return false;
    size_t at = (size_t)slot * sizeof(FontIndexRecord);
    if (at + sizeof(FontIndexRecord) > gFontIndex.size()) return false;
    memcpy(&out->record, gFontIndex.data() + at, sizeof(FontIndexRecord));
    static const FontIndexRecord ZERO_RECORD = {};
    if (memcmp(&out->record, &ZERO_RECORD, sizeof ZERO_RECORD) == 0) return false;
    const FontIndexRecord& r = out->record;
    if (r.offset < 0 || r.byteCount < 0 || (int64_t)r.offset + r.byteCount > (int64_t)gFontData.size()) return false;
    out->advance = (int16_t)(uint16_t)(r.advance & 0xFFFF);
    if (out->advance < 1 || out->advance > FONT_GLYPH_SIDE_MAX) return false;
    if (r.cellHeight < 1 || r.cellHeight > FONT_GLYPH_SIDE_MAX) return false;
    out->bytes = gFontData.data() + r.offset;
    return true;
}

// The loose file whole into out; false when there is none to open.
static bool readLooseFontFile(const char* name, std::vector<uint8_t>& out) {
    out.clear();
    FILE* file = fopen(name, "rb");
    if (!file) return false;
    int32_t length = getFileLength(file);
    if (length > 0) {
        out.reserve((size_t)length);
        preferLargePages(out.data(), (size_t)length);
        out.resize((size_t)length);
        if (fread(out.data(), 1, out.size(), file) != out.size()) out.clear();
    }
    fclose(file);
    return true;
}

static void loadFontFile(const char* name, std::vector<uint8_t>& out) {
    if (readLooseFontFile(name, out)) return;
    int32_t size = getArchiveEntrySize(name);
    if (size <= 0) return;
    out.resize((size_t)size);
    int32_t got = readArchiveEntry(name, out.data(), size);
    out.resize(got > 0 ? (size_t)got : 0);
}

// Start-up reads the loose files on a worker while the graphics driver
// starts; loadFontFiles takes them. The archive, a fallback, is read there.
struct FontPrefetch {
    WorkerThread worker;
    bool started;
    bool dataOpened;
    bool indexOpened;
    std::vector<uint8_t> data;
    std::vector<uint8_t> index;
};
static FontPrefetch sFontPrefetch;

static void readFontPrefetch(void*) {
    sFontPrefetch.dataOpened = readLooseFontFile(FONT_DATA_FILE, sFontPrefetch.data);
    sFontPrefetch.indexOpened = readLooseFontFile(FONT_INDEX_FILE, sFontPrefetch.index);
}

void startFontPrefetch() {
    dropFontPrefetch();
    sFontPrefetch.started = threadStart(sFontPrefetch.worker, readFontPrefetch, nullptr);
}

void dropFontPrefetch() {
    threadJoin(sFontPrefetch.worker);
    sFontPrefetch.started = false;
    std::vector<uint8_t>().swap(sFontPrefetch.data);
    std::vector<uint8_t>().swap(sFontPrefetch.index);
}

void loadFontFiles() {
    threadJoin(sFontPrefetch.worker);
    if (sFontPrefetch.started && sFontPrefetch.dataOpened) gFontData.swap(sFontPrefetch.data);
    else loadFontFile(FONT_DATA_FILE, gFontData);
    if (sFontPrefetch.started && sFontPrefetch.indexOpened) gFontIndex.swap(sFontPrefetch.index);
    else loadFontFile(FONT_INDEX_FILE, gFontIndex);
    dropFontPrefetch();
}

void freeFontFiles() {
    dropFontPrefetch();
    std::vector<uint8_t>().swap(gFontData);
    std::vector<uint8_t>().swap(gFontIndex);
}

void placeGlyphBody(const uint8_t* levels, int32_t pitch, int32_t boxWidth, int32_t boxHeight, uint8_t* cell,
                    int32_t cellWidth, int32_t cellHeight) {
    memset(cell, 0, (size_t)cellWidth * (size_t)cellHeight);
    for (int32_t y = 0; y < boxHeight && y + FONT_BORDER < cellHeight; ++y) {
        for (int32_t x = 0; x < boxWidth && x + FONT_BORDER < cellWidth; ++x) {
            int32_t v = levels[(size_t)y * (size_t)pitch + (size_t)x];
            if (v <= 0) continue;
            if (v > 15) v = 15;
            cell[(size_t)(y + FONT_BORDER) * (size_t)cellWidth + (size_t)(x + FONT_BORDER)] = (uint8_t)(0x0F + (v << 4));
        }
    }
}

constexpr int32_t OUTLINE_REACH = 4;
constexpr int32_t OUTLINE_SPAN = 2 * OUTLINE_REACH + 1;

void bakeGlyphOutline(uint8_t* cell, int32_t cellWidth, int32_t cellHeight, int32_t edgeWidth, int32_t edgeFalloff) {
    // The shade an offset gets depends on the offset alone: 0 means none.
    int32_t shade[OUTLINE_SPAN][OUTLINE_SPAN];
    for (int32_t dy = -OUTLINE_REACH; dy <= OUTLINE_REACH; ++dy) {
        for (int32_t dx = -OUTLINE_REACH; dx <= OUTLINE_REACH; ++dx) {
            double d = sqrt((double)(dx * dx + dy * dy));
            int32_t e = d < edgeWidth ? 15 : 15 - (int32_t)((d - edgeWidth) * edgeFalloff);
            shade[dy + OUTLINE_REACH][dx + OUTLINE_REACH] = (dx == 0 && dy == 0) || e <= 0 ? 0 : e;
        }
    }
    // In place: outline pixels have brightness 1, so they never act as sources.
    for (int32_t y = 0; y < cellHeight; ++y) {
        for (int32_t x = 0; x < cellWidth; ++x) {
            if ((cell[(size_t)y * (size_t)cellWidth + (size_t)x] >> 4) < 2) continue;
            for (int32_t dy = -OUTLINE_REACH; dy <= OUTLINE_REACH; ++dy) {
                int32_t ty = y + dy;
                if (ty < 0 || ty >= cellHeight) continue;
                for (int32_t dx = -OUTLINE_REACH; dx <= OUTLINE_REACH; ++dx) {
                    int32_t tx = x + dx;
                    int32_t e = shade[dy + OUTLINE_REACH][dx + OUTLINE_REACH];
                    if (tx < 0 || tx >= cellWidth || e == 0) continue;
                    uint8_t& target = cell[(size_t)ty * (size_t)cellWidth + (size_t)tx];
                    if ((target >> 4) < 2 && (target & 0x0F) < e) target = (uint8_t)(e + 0x10);
                }
            }
        }
    }
}

// The builder's working glyph and cell; the build runs once, on one thread.
static GlyphBitmap sGlyph;
static uint8_t sCell[(GLYPH_PITCH_MAX + 2 * FONT_BORDER) * (GLYPH_BOX_MAX + 2 * FONT_BORDER)];

// Both files are written beside their final names and renamed over them only
// once both are whole, so a failed build leaves the old pair untouched.
bool writeFontFiles(const GlyphFaceMetrics& face, const char* dataPath, const char* indexPath) {
    char dataTemp[1024], indexTemp[1024];
    if (snprintf(dataTemp, sizeof dataTemp, "%s.tmp", dataPath) >= (int)sizeof dataTemp ||
        snprintf(indexTemp, sizeof indexTemp, "%s.tmp", indexPath) >= (int)sizeof indexTemp)
        return false;
    FILE* data = fopen(dataTemp, "wb");
    FILE* index = fopen(indexTemp, "wb");
    bool ok = data && index;
    int64_t offset = 0;
    int32_t slots = fontSlotCount(gFontAllCodes != 0);
    for (int32_t slot = 0; ok && slot < slots; ++slot) {
        FontIndexRecord record = {};
        uint32_t code = 0;
        if (fontCodeOfSlot(slot, &code)) {
            renderGlyph(code, &sGlyph);
            int32_t pad = -sGlyph.boxWidth & 3;
            int32_t cellWidth = sGlyph.boxWidth + pad + 2 * FONT_BORDER;
            int32_t cellHeight = sGlyph.boxHeight + 2 * FONT_BORDER;
            record.offset = (int32_t)offset;
            record.advance = sGlyph.advance + pad + 2 * FONT_BORDER;
            record.cellHeight = face.height + 2 * FONT_BORDER;
            record.originX = sGlyph.boxLeft;
            record.ascent = face.ascent;
            record.originY = sGlyph.boxTop;
            record.bitmapWidth = cellWidth;
            record.bitmapHeight = cellHeight;
            // A blank glyph keeps the rasteriser's few raw bytes.
            if (sGlyph.byteCount <= 2) {
                record.byteCount = sGlyph.byteCount;
                ok = fwrite(sGlyph.levels, 1, (size_t)sGlyph.byteCount, data) == (size_t)sGlyph.byteCount;
            } else {
                placeGlyphBody(sGlyph.levels, sGlyph.pitch, sGlyph.boxWidth, sGlyph.boxHeight, sCell, cellWidth,
                               cellHeight);
                bakeGlyphOutline(sCell, cellWidth, cellHeight, gFontEdgeWidth, gFontEdgeFalloff);
                record.byteCount = cellWidth * cellHeight;
                ok = fwrite(sCell, 1, (size_t)record.byteCount, data) == (size_t)record.byteCount;
            }
            offset += record.byteCount;
            if (offset > INT32_MAX) ok = false;
        }
        ok = ok && fwrite(&record, sizeof record, 1, index) == 1;
    }
    if (data && fclose(data) != 0) ok = false;
    if (index && fclose(index) != 0) ok = false;
    ok = ok && rename(dataTemp, dataPath) == 0 && rename(indexTemp, indexPath) == 0;
    if (!ok) {
        remove(dataTemp);
        remove(indexTemp);
    }
    return ok;
}

void buildFontFiles() {
    // What was read ahead is about to be replaced.
    dropFontPrefetch();
    // A byte of Shift-JIS can take three of UTF-8 (the one-byte katakana).
    char faceName[TEXT_STRING_MAX * 3 + 1];
    sjisToUtf8(gFontFaceName, faceName, sizeof faceName);
    GlyphFaceMetrics face;
    GlyphFaceResult opened = openGlyphFace(faceName, FONT_HEIGHT, &face);
    if (opened == GLYPH_FACE_NONE) return;
    if (opened == GLYPH_FACE_NOT_SIZED) showMessageBox(FONT_SELECT_FAILED_TEXT, "error2", MESSAGE_BOX_OK);
    if (!writeFontFiles(face, FONT_DATA_FILE, FONT_INDEX_FILE))
        logLine("The font files %s and %s could not be written.", FONT_DATA_FILE, FONT_INDEX_FILE);
    closeGlyphFace();
}
