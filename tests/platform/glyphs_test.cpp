// Glyph rendering on the installed fonts: the fallback face, the cell the
// size request gives, the grey bitmap's layout, blank glyphs, and the
// Shift-JIS code of a single character.
#include "platform/glyphs.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/sjis.h"

namespace {

struct CodeCase {
    uint32_t sjis;
    uint32_t unicode;
};
const CodeCase CODE_CASES[] = {
    {0x41, 0x41},         // A
    {0x5C, 0x5C},         // the code page keeps the backslash
    {0xB1, 0xFF71},       // one-byte katakana
    {0x8140, 0x3000},     // full-width space
    {0x8160, 0xFF5E},     // full-width tilde
    {0x82A0, 0x3042},     // hiragana a
    {0x9358, 0x5E97},     // the kanji for shop
    {0x82, 0},            // a lead byte alone
    {0x8840, 0},          // an unassigned pair
    {0x827F, 0},          // a trail byte no pair takes
    {0x10000, 0},
};

TEST(GlyphFontCodes, OneShiftJisCharacterToUnicode) {
    for (const CodeCase& c : CODE_CASES)
        EXPECT_EQ(sjisCodeToUnicode(c.sjis), c.unicode) << std::hex << "code " << c.sjis;
}

class GlyphFontFace : public ::testing::Test {
protected:
    static void SetUpTestSuite() { glyph = new GlyphBitmap; }
    static void TearDownTestSuite() {
        delete glyph;
        glyph = nullptr;
    }
    void TearDown() override { closeGlyphFace(); }
    // The largest grey level and whether every pad byte right of the box is empty.
    static void scan(int32_t* maxLevel, bool* padEmpty) {
        *maxLevel = 0;
        *padEmpty = true;
        for (int32_t y = 0; y < glyph->boxHeight; ++y)
            for (int32_t x = 0; x < glyph->pitch; ++x) {
                int32_t v = glyph->levels[y * glyph->pitch + x];
                if (v > *maxLevel) *maxLevel = v;
                if (x >= glyph->boxWidth && v != 0) *padEmpty = false;
            }
    }
    static GlyphBitmap* glyph;
};
GlyphBitmap* GlyphFontFace::glyph;

TEST_F(GlyphFontFace, FaceThatIsNotInstalledFallsBackToIpaGothic) {
    GlyphFaceMetrics metrics = {};
    ASSERT_EQ(openGlyphFace("No Such Face Anywhere", 42, &metrics), GLYPH_FACE_OK);
    EXPECT_EQ(metrics.height, 42);
    // IPAGothic's Windows metrics put about 88 % of the cell above the baseline.
    EXPECT_GE(metrics.ascent, 34);
    EXPECT_LE(metrics.ascent, 38);
    // The em is a little smaller than the cell. The fallback is a
    // fixed-pitch face: half-width characters advance half a full-width one,
    // give or take the rounding to whole pixels.
    renderGlyph(0x82A0, glyph);
    int32_t fullWidth = glyph->advance;
    renderGlyph('A', glyph);
    EXPECT_GE(fullWidth, 36);
    EXPECT_LE(fullWidth, 42);
    EXPECT_LE(std::abs(glyph->advance * 2 - fullWidth), 1) << "A " << glyph->advance << ", a " << fullWidth;
}

TEST_F(GlyphFontFace, NamedFaceIsUsedWhenInstalled) {
    GlyphFaceMetrics metrics = {};
    // Blanks and case do not count in a family name.
    ASSERT_EQ(openGlyphFace("ipa gothic", 42, &metrics), GLYPH_FACE_OK);
    renderGlyph(0x9358, glyph);
    EXPECT_GT(glyph->byteCount, 0);
}

TEST_F(GlyphFontFace, InkedGlyphsGiveSixteenLevelsInRowsPaddedToFour) {
    GlyphFaceMetrics metrics = {};
    ASSERT_EQ(openGlyphFace("", 42, &metrics), GLYPH_FACE_OK);
    const uint32_t codes[] = {'A', 'g', 0x9358, 0x8341};
    for (uint32_t code : codes) {
        renderGlyph(code, glyph);
        EXPECT_EQ(glyph->pitch % 4, 0) << std::hex << code;
        EXPECT_GE(glyph->pitch, glyph->boxWidth) << std::hex << code;
        EXPECT_LT(glyph->pitch - glyph->boxWidth, 4) << std::hex << code;
        EXPECT_EQ(glyph->byteCount, glyph->pitch * glyph->boxHeight) << std::hex << code;
        int32_t maxLevel;
        bool padEmpty;
        scan(&maxLevel, &padEmpty);
        EXPECT_EQ(maxLevel, GLYPH_LEVEL_MAX) << std::hex << code;
        EXPECT_TRUE(padEmpty) << std::hex << code;
        // The box stays inside the cell: above the baseline by at most the
        // ascent, below it by at most the descent.
        EXPECT_LE(glyph->boxTop, metrics.ascent) << std::hex << code;
        EXPECT_GE(glyph->boxTop - glyph->boxHeight, metrics.ascent - metrics.height) << std::hex << code;
    }
    renderGlyph('g', glyph);
    EXPECT_LT(glyph->boxTop - glyph->boxHeight, 0) << "g's tail hangs below the baseline";
    renderGlyph(0x9358, glyph);
    EXPECT_GT(glyph->boxHeight, 30);
    EXPECT_GT(glyph->boxWidth, 30);
}

TEST_F(GlyphFontFace, SpacesAreBlankWithAnAdvance) {
    GlyphFaceMetrics metrics = {};
    ASSERT_EQ(openGlyphFace("", 42, &metrics), GLYPH_FACE_OK);
    const uint32_t codes[] = {' ', 0x8140};
    for (uint32_t code : codes) {
        glyph->advance = -1;
        renderGlyph(code, glyph);
        EXPECT_EQ(glyph->byteCount, 0) << std::hex << code;
        EXPECT_EQ(glyph->boxWidth, 1) << std::hex << code;
        EXPECT_EQ(glyph->boxHeight, 1) << std::hex << code;
        EXPECT_GT(glyph->advance, 0) << std::hex << code;
    }
}

TEST_F(GlyphFontFace, WithoutAnOpenFaceEveryGlyphIsBlank) {
    renderGlyph('A', glyph);
    EXPECT_EQ(glyph->byteCount, 0);
    EXPECT_EQ(glyph->advance, 0);
}

}  // namespace
