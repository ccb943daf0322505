// Arbitrary bytes as the two font files, then glyphs made and texts drawn
// from them on the recording device (whose textures keep real texels, so a
// write past a glyph's texture is caught). Input: one byte of switches (bit
// 0: every double-byte code, bit 1: the picture path, bits 2..3: the scale),
// two bytes giving the index's length (little-endian), the index, then the
// data. Every one-byte code with a record in the index is asked for, so
// small inputs reach real records; the texts add the spaces, the pair
// table, kanji and bytes that are skipped.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/font_files.h"
#include "engine/glyph_cache.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/text.h"

static const char* const TEXTS[] = {
    "Ab \x81\x40\x82\xA0\x83\x41",        // ASCII, both spaces, kana
    "\x93\x58\x88\x9F\x9F\xFD\xFC\xFC",   // kanji, a left-out code and the last lead byte
    "\x01\x0A\x1F~\x81\x50\x82",           // skipped bytes, an unlisted code, a lead byte at the end
};

static void releaseGlyphTextures() {
    for (GfxTexture*& texture : gGlyphTextures) {
        if (texture) gGfxDevice->releaseTexture(texture);
        texture = nullptr;
    }
    initGlyphCache();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (!GFX_RECORDING.open()) abort();
    gGfxDevice = GFX_RECORDING.createDevice(GfxPresentParams{640, 480, GFX_FORMAT_X8R8G8B8, true, true, GFX_FORMAT_D16, false});
    if (!gGfxDevice) abort();
    gScreenSize = {640, 480};
    initSpriteVertices();
    initGlyphCache();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    if (size < 3) return 0;
    uint8_t switches = bytes[0];
    size_t indexLength = (size_t)(bytes[1] | bytes[2] << 8);
    if (indexLength > size - 3) indexLength = size - 3;
    gFontIndex.assign(bytes + 3, bytes + 3 + indexLength);
    gFontData.assign(bytes + 3 + indexLength, bytes + size);
    gFontAllCodes = switches & 1;
    gGlyphFallback = (switches >> 1) & 1;
    float k = 0.5f + 0.5f * (float)((switches >> 2) & 3);

    gfxRecordClear();
    char one[2] = {0, 0};
    for (int32_t code = 1; code < 0x80 && (size_t)code * sizeof(FontIndexRecord) < indexLength; ++code) {
        one[0] = (char)code;
        getGlyph(one);
    }
    for (const char* text : TEXTS) {
        drawText(10.0f, 10.0f, text, 0xFFFFFFFF, k);
        getTextWidth(text, k);
        drawTextCentered(320.0f, 200.0f, text, 0xFFFFFFFF, k);
        drawTextFaded(0.0f, 300.0f, text, 0xFFFFFFFF, k, 5);
    }
    ageGlyphCache();
    releaseGlyphTextures();
    return 0;
}
