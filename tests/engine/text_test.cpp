// Text drawing: the quads each glyph becomes (caught on their way to the
// device), spacing, skipped characters, widths and alignment, the faded
// run, and a line of ASCII and kanji read back from the headless renderer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/font_files.h"
#include "engine/glyph_cache.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "platform/window.h"
#include "tests/engine/capturing_device.h"
#include "tests/engine/font_draw_rig.h"
#include "tests/engine/game_font_files.h"
#include "tools/archive_writer.h"


// Text on the recording device behind a capturing one, with the game
// folder's font files and an empty cache.
class TextDraw : public ::testing::Test {
protected:
    void SetUp() override {
        rig.open(true);
        ASSERT_NE(rig.device, nullptr);
        capture = rig.capture;
    }
    void TearDown() override { rig.close(); }
    std::vector<DrawnQuad>& quads() { return capture->quads; }
    // What one character advances at scale factor s, from its cache entry.
    static float advanceOf(const char* character, float s) {
        GlyphCacheEntry* g = getGlyph(character);
        return g ? (float)(g->inkWidth - 3) * s : 0.0f;
    }

    FontDrawRig rig;
    CapturingDevice* capture = nullptr;
};

TEST(TextScale, IsK0494AndALineIs42OfIt) {
    const float ks[] = {0.5f, 1.0f, 1.25f, 2.0f};
    for (float k : ks) EXPECT_NEAR(textScale(k), 0.494f * k, 1e-6f * k) << "k " << k;
    // Each product rounded to a float on its way.
    EXPECT_EQ(textScale(1.0f), (float)((double)0.65f * 0.76f));
}

TEST_F(TextDraw, EachGlyphIsOneQuadFromItsOwnTexture) {
    float s = textScale(1.0f);
    float advance = drawText(100.0f, 50.0f, "AB", 0xFF204060, 1.0f);
    ASSERT_EQ(quads().size(), 2u);
    GlyphCacheEntry* a = getGlyph("A");
    GlyphCacheEntry* b = getGlyph("B");
    const DrawnQuad& qa = quads()[0];
    const DrawnQuad& qb = quads()[1];
    EXPECT_EQ(qa.left, 100.0f);
    EXPECT_EQ(qa.top, 50.0f);
    EXPECT_FLOAT_EQ(qa.right - qa.left, (float)a->quadWidth * s);
    EXPECT_FLOAT_EQ(qa.bottom - qa.top, 42.0f * s) << "the line height";
    EXPECT_EQ(qa.texture, gGlyphTextures[a->textureIndex]);
    EXPECT_EQ(qb.texture, gGlyphTextures[b->textureIndex]);
    EXPECT_EQ(qa.argb, 0xFF204060u);
    // The source rectangle (1, 1)-(41, 41) of a 42 x 42 picture.
    EXPECT_FLOAT_EQ(qa.uLeft, 1.5f / 42.0f);
    EXPECT_FLOAT_EQ(qa.vTop, 1.5f / 42.0f);
    EXPECT_FLOAT_EQ(qa.uRight, 41.0f / 42.0f);
    EXPECT_FLOAT_EQ(qa.vBottom, 41.0f / 42.0f);
    // The next glyph starts where the ink of the first ends, less 3 units.
    EXPECT_EQ(qb.left, std::trunc(100.0f + (float)(a->inkWidth - 3) * s));
    EXPECT_FLOAT_EQ(advance, (float)(a->inkWidth - 3 + b->inkWidth - 3) * s);
    // Linear filtering on stage 0, set before drawing.
    std::vector<std::pair<int32_t, uint32_t>>& states = capture->stageStates;
    EXPECT_NE(std::find(states.begin(), states.end(), std::make_pair((int32_t)GFX_TSS_MINFILTER, (uint32_t)GFX_FILTER_LINEAR)), states.end());
    EXPECT_NE(std::find(states.begin(), states.end(), std::make_pair((int32_t)GFX_TSS_MAGFILTER, (uint32_t)GFX_FILTER_LINEAR)), states.end());
}

TEST_F(TextDraw, SpacesAdvanceAndDrawNothing) {
    float s = textScale(2.0f);
    float advanceA = advanceOf("A", s);
    EXPECT_FLOAT_EQ(drawText(0, 0, " ", 0xFFFFFFFF, 2.0f), 21.0f * s) << "the space advances 21 units";
    EXPECT_FLOAT_EQ(drawText(0, 0, "\x81\x40", 0xFFFFFFFF, 2.0f), 42.0f * s) << "the full-width space a whole cell";
    EXPECT_TRUE(quads().empty());

    drawText(10, 0, "A B", 0xFFFFFFFF, 2.0f);
    ASSERT_EQ(quads().size(), 2u);
    EXPECT_EQ(quads()[1].left, std::trunc(10.0f + advanceA + 21.0f * s));
}

struct SkipCase {
    const char* name;
    const char* text;
};
const SkipCase SKIP_CASES[] = {
    {"control characters", "A\x01\x0A\x0D\x1F" "B"},
    {"a double-byte code without a glyph", "A\x81\x50" "B"},
    {"a lead byte cut off by the end", "AB\x82"},
};

TEST_F(TextDraw, SkippedCharactersDrawNothingAndDoNotAdvance) {
    float plain = drawText(20, 30, "AB", 0xFFFFFFFF, 1.0f);
    std::vector<DrawnQuad> want = quads();
    for (const SkipCase& c : SKIP_CASES) {
        quads().clear();
        EXPECT_EQ(drawText(20, 30, c.text, 0xFFFFFFFF, 1.0f), plain) << c.name;
        ASSERT_EQ(quads().size(), want.size()) << c.name;
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(quads()[i].left, want[i].left) << c.name << " glyph " << i;
            EXPECT_EQ(quads()[i].texture, want[i].texture) << c.name << " glyph " << i;
        }
    }
    EXPECT_EQ(drawText(0, 0, "", 0xFFFFFFFF, 1.0f), 0.0f);
}

TEST_F(TextDraw, WidthIsTheAdvanceAndLeavesAgesAlone) {
    const char* text = "Tolli \x93\x58\x82\xC5\x82\xB7";   // "Tolli" and a few kana and kanji
    float width = getTextWidth(text, 1.5f);
    EXPECT_TRUE(quads().empty()) << "measuring draws nothing";
    ageGlyphCache();
    EXPECT_EQ(getTextWidth(text, 1.5f), width);
    EXPECT_EQ(getGlyph("T")->age, 1) << "measuring does not count as drawing";
    EXPECT_EQ(drawText(0, 0, text, 0xFFFFFFFF, 1.5f), width);
    EXPECT_EQ(getGlyph("T")->age, 0);
    EXPECT_GT(width, 0.0f);
}

TEST_F(TextDraw, CentredAndRightAlignedTextsEndWhereAsked) {
    const char* text = "AB\x93\x58";
    float width = getTextWidth(text, 1.0f);
    EXPECT_EQ(drawTextCentered(320.0f, 100.0f, text, 0xFFFFFFFF, 1.0f), 0.0f);
    ASSERT_EQ(quads().size(), 3u);
    EXPECT_EQ(quads()[0].left, std::trunc(320.0f - width / 2.0f));
    EXPECT_EQ(quads()[0].top, 100.0f);
    quads().clear();
    EXPECT_EQ(drawTextRight(320.0f, 100.0f, text, 0xFFFFFFFF, 1.0f), 0.0f);
    ASSERT_EQ(quads().size(), 3u);
    EXPECT_EQ(quads()[0].left, std::trunc(320.0f - width));
    // The last glyph's advance ends at x, within the scale's rounding.
    float lastAdvance = advanceOf("\x93\x58", textScale(1.0f));
    EXPECT_NEAR(quads()[2].left + lastAdvance, 320.0f, 1.0f);
}

TEST_F(TextDraw, FadedRunShowsItsLastFourCharactersFadingIn) {
    const char* text = "ABCDEFGHIJ";
    float s = 1.0f * 0.65f;
    drawTextFaded(0, 0, text, 0xFF112233, 1.0f, 10);
    ASSERT_EQ(quads().size(), 10u);
    const uint32_t alphas[10] = {255, 255, 255, 255, 255, 255, 204, 153, 102, 51};
    for (int32_t i = 0; i < 10; ++i) {
        EXPECT_EQ(quads()[i].argb >> 24, alphas[i]) << "character " << i;
        EXPECT_EQ(quads()[i].argb & 0x00FFFFFF, 0x112233u) << "character " << i;
    }
    EXPECT_FLOAT_EQ(quads()[0].bottom - quads()[0].top, 42.0f * s) << "k x 0.65, without the 0.76";

    // A double-byte character and a skipped byte each count as one character.
    quads().clear();
    drawTextFaded(0, 0, "\x82\xA0\x0A" "BC", 0x80FFFFFF, 1.0f, 6);
    ASSERT_EQ(quads().size(), 3u);
    EXPECT_EQ(quads()[0].argb >> 24, 128u);
    EXPECT_EQ(quads()[1].argb >> 24, 102u) << "B is character 2: 128 x 0.8";
    EXPECT_EQ(quads()[2].argb >> 24, 76u) << "C is character 3: 128 x 0.6";
}

TEST_F(TextDraw, PartialTextCountsADoubleByteCharacterOnce) {
    const char* text = "\x82\xA0\x82\xA2" "a\x82\xA4";   // a, i, an ASCII a, u
    EXPECT_EQ(drawTextPartial(0, 0, text, 0xFFFFFFFF, 1.0f, 3), 3) << "four characters, less one";
    ASSERT_EQ(quads().size(), 3u);
    EXPECT_EQ(quads()[0].texture, gGlyphTextures[getGlyph("\x82\xA0")->textureIndex]);
    EXPECT_EQ(quads()[1].texture, gGlyphTextures[getGlyph("\x82\xA2")->textureIndex]);
    EXPECT_EQ(quads()[2].texture, gGlyphTextures[getGlyph("a")->textureIndex]);
    // Faded, the third of three at 20 %, and at 0.76 of the scale.
    EXPECT_EQ(quads()[2].argb >> 24, (uint32_t)(255 * 0.2f));
    EXPECT_FLOAT_EQ(quads()[0].bottom - quads()[0].top, 42.0f * (0.76f * 0.65f));
    quads().clear();
    EXPECT_EQ(drawTextPartial(0, 0, text, 0xFFFFFFFF, 1.0f, 0), 0);
    EXPECT_TRUE(quads().empty());
}

// A line drawn with OpenGL over a grey screen, and read back.
class TextReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        rig.open(false, &GFX_HEADLESS);
        ASSERT_NE(rig.device, nullptr);
    }
    void TearDown() override { rig.close(); }

    FontDrawRig rig;
};

TEST_F(TextReadBack, AsciiAndKanjiPutInkOnlyWhereTheirGlyphsAre) {
    GfxDevice* device = gGfxDevice;
    CapturingDevice capture(device);
    gGfxDevice = &capture;
    const uint32_t background = 0xFF404040;
    device->beginScene();
    device->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, background, 1.0f, 0);
    device->setRenderState(GFX_RS_ZENABLE, 0);
    device->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
    device->setRenderState(GFX_RS_LIGHTING, 0);
    device->setRenderState(GFX_RS_ALPHATESTENABLE, 0);
    device->setRenderState(GFX_RS_FOGENABLE, 0);
    device->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
    device->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    device->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    device->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    device->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_DIFFUSE);
    device->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
    device->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
    device->setTextureStageState(1, GFX_TSS_COLOROP, GFX_TOP_DISABLE);
    // "Ab", a space, then the kanji for shop and katakana a.
    drawText(40.0f, 100.0f, "Ab \x93\x58\x83\x41", 0xFFFFFFFF, 2.0f);
    device->endScene();
    gGfxDevice = device;
    std::vector<uint32_t> frame(640 * 480);
    ASSERT_TRUE(device->readBackBuffer(frame.data(), 640, 480));
    ASSERT_EQ(capture.quads.size(), 4u) << "the space draws nothing";

    // Where each glyph's inked texels land: its texture's alpha box mapped
    // through the quad's texture coordinates.
    struct Box {
        float left, top, right, bottom;
    };
    std::vector<Box> boxes;
    for (const DrawnQuad& q : capture.quads) {
        const GlyphCacheEntry* entry = nullptr;
        for (const GlyphCacheEntry& e : gGlyphCache)
            if (e.inUse && gGlyphTextures[e.textureIndex] == q.texture) entry = &e;
        ASSERT_NE(entry, nullptr);
        uint32_t code = entry->code[0] >= 0x80 ? (uint32_t)entry->code[0] << 8 | entry->code[1] : entry->code[0];
        FontGlyph glyph;
        ASSERT_TRUE(findFontGlyph(code, &glyph));
        int32_t w = glyph.advance, h = glyph.record.cellHeight;
        GfxLockedRect locked;
        ASSERT_EQ(device->lockRect(q.texture, 0, &locked), GFX_OK);
        int32_t x0 = w, y0 = h, x1 = -1, y1 = -1;
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < w; ++x)
                if (((const uint32_t*)((const uint8_t*)locked.bits + y * locked.pitch))[x] >> 24) {
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
                }
        device->unlockRect(q.texture, 0);
        ASSERT_GE(x1, x0) << "glyph " << std::hex << code << " has ink";
        auto screenX = [&](float u) { return q.left + (u - q.uLeft) / (q.uRight - q.uLeft) * (q.right - q.left); };
        auto screenY = [&](float v) { return q.top + (v - q.vTop) / (q.vBottom - q.vTop) * (q.bottom - q.top); };
        boxes.push_back({screenX((float)x0 / w), screenY((float)y0 / h), screenX((float)(x1 + 1) / w),
                         screenY((float)(y1 + 1) / h)});
    }

    // Ink: a pixel visibly off the background. Every inked pixel lies in a
    // glyph's box (give or take the filter's reach), and every box is inked
    // close to its edges.
    const float reach = 1.5f;
    std::vector<Box> inkBoxes(boxes.size(), Box{1e9f, 1e9f, -1e9f, -1e9f});
    int32_t strays = 0;
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            uint32_t p = frame[y * 640 + x];
            int32_t grey = (int32_t)((p >> 8) & 0xFF);
            if (std::abs(grey - 0x40) <= 6) continue;
            float cx = x + 0.5f, cy = y + 0.5f;
            bool inside = false;
            for (size_t i = 0; i < boxes.size(); ++i) {
                const Box& b = boxes[i];
                if (cx < b.left - reach || cx > b.right + reach || cy < b.top - reach || cy > b.bottom + reach) continue;
                inside = true;
                Box& ink = inkBoxes[i];
                ink = {std::min(ink.left, cx), std::min(ink.top, cy), std::max(ink.right, cx), std::max(ink.bottom, cy)};
            }
            strays += !inside;
        }
    }
    EXPECT_EQ(strays, 0) << "ink outside every glyph";
    for (size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_NEAR(inkBoxes[i].left, boxes[i].left, 2.5f) << "glyph " << i;
        EXPECT_NEAR(inkBoxes[i].top, boxes[i].top, 2.5f) << "glyph " << i;
        EXPECT_NEAR(inkBoxes[i].right, boxes[i].right, 2.5f) << "glyph " << i;
        EXPECT_NEAR(inkBoxes[i].bottom, boxes[i].bottom, 2.5f) << "glyph " << i;
    }
    // The bodies are white and their outlines dark.
    int32_t bright = 0, dark = 0;
    for (uint32_t p : frame) {
        int32_t grey = (int32_t)((p >> 8) & 0xFF);
        bright += grey > 0xC0;
        dark += grey < 0x30;
    }
    EXPECT_GT(bright, 400);
    EXPECT_GT(dark, 200);
}
