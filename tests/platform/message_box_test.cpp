// The message box picture both window backends share: its layout on a
// screen, the glyphs it draws, its buttons and keys, and the headless
// backend's copy of it.
#include "platform/glyphs.h"
#include "platform/message_box.h"
#include "platform/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Shift-JIS for 店を開けます。, お知らせ and 起動 (start-up).
const char SHOP_OPENS_SJIS[] = "\x93\x58\x82\xF0\x8A\x4A\x82\xAF\x82\xDC\x82\xB7\x81\x42";
const char NOTICE_SJIS[] = "\x82\xA8\x92\x6D\x82\xE7\x82\xB9";
const char HIRAGANA_A[] = "\x82\xA0";

std::string repeated(const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += piece;
    return out;
}

int32_t inkedPixels(const MessageBoxPicture& p, const int32_t r[4]) {
    int32_t n = 0;
    for (int32_t y = r[1]; y < r[3]; ++y)
        for (int32_t x = r[0]; x < r[2]; ++x) n += p.pixels[(size_t)y * p.width + x] != MESSAGE_BOX_BACKGROUND;
    return n;
}

struct OwnFace {
    GlyphFaceMetrics metrics = {};
    GlyphFace* face = nullptr;
    OwnFace() {
        GlyphFaceResult result = GLYPH_FACE_NONE;
        face = openOwnGlyphFace(GLYPH_FALLBACK_FACE, MESSAGE_BOX_CELL, &metrics, &result);
    }
    ~OwnFace() { closeOwnGlyphFace(face); }
};

}  // namespace

// The first character of the text is drawn where the first line starts, as
// the glyph service draws it: solid levels in ink, empty ones as background,
// the levels between in grey.
TEST(MessageBoxDraw, TextIsDrawnWithTheGlyphServicesGlyphs) {
    OwnFace own;
    if (!own.face) GTEST_SKIP() << "no Japanese face installed";
    std::unique_ptr<GlyphBitmap> glyph(new GlyphBitmap);
    renderOwnGlyph(own.face, 0x9358, glyph.get());   // 店
    ASSERT_GT(glyph->byteCount, 0);

    MessageBoxPicture p;
    drawMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_OK, 0, 1024, 768, &p);
    ASSERT_EQ(p.pixels.size(), (size_t)p.width * p.height);
    int32_t baseline = p.textRect[1] + (MESSAGE_BOX_LINE - own.metrics.height) / 2 + own.metrics.ascent;
    int32_t solid = 0, empty = 0;
    for (int32_t row = 0; row < glyph->boxHeight; ++row) {
        for (int32_t col = 0; col < glyph->boxWidth; ++col) {
            int32_t x = p.textRect[0] + glyph->boxLeft + col;
            int32_t y = baseline - glyph->boxTop + row;
            uint32_t pixel = p.pixels[(size_t)y * p.width + x];
            int32_t level = glyph->levels[row * glyph->pitch + col];
            if (level == GLYPH_LEVEL_MAX) {
                EXPECT_EQ(pixel, MESSAGE_BOX_INK) << col << "," << row;
                ++solid;
            } else if (level == 0) {
                EXPECT_EQ(pixel, MESSAGE_BOX_BACKGROUND) << col << "," << row;
                ++empty;
            } else {
                EXPECT_NE(pixel, MESSAGE_BOX_INK) << col << "," << row;
                EXPECT_NE(pixel, MESSAGE_BOX_BACKGROUND) << col << "," << row;
            }
        }
    }
    EXPECT_GT(solid, 10);
    EXPECT_GT(empty, 10);
}

TEST(MessageBoxDraw, TextAreaIsInkedOnlyWhenThereIsText) {
    MessageBoxPicture withText, withoutText;
    drawMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_OK, 0, 1024, 768, &withText);
    drawMessageBox("", NOTICE_SJIS, MESSAGE_BOX_OK, 0, 1024, 768, &withoutText);
    EXPECT_EQ(inkedPixels(withoutText, withoutText.textRect), 0);
    OwnFace own;
    if (!own.face) GTEST_SKIP() << "no Japanese face installed";
    EXPECT_GT(inkedPixels(withText, withText.textRect), 100);
    // The caption bar and the buttons carry their own words.
    int32_t bar[4] = {0, 0, withText.width, MESSAGE_BOX_CAPTION_HEIGHT};
    EXPECT_GT(inkedPixels(withText, bar), 0);
}

struct LayoutCase {
    const char* name;
    std::string text;
    std::string caption;
    int32_t kind;
    int32_t screenW;
    int32_t screenH;
    int32_t lines;        // -1: more than one, counted by the checks below
    bool cut;
    int32_t width;        // 0: any width the rules allow
    // Lines wrap short of this width by less than a character: the box is
    // as wide as its widest line, at most this.
    int32_t fullWidth = 0;
};

// Every line fits the text area, a line ends where the next character would
// not have fitted (or at a '\n'), words of ASCII text stay whole, and
// together the lines hold the whole text unless it was cut.
static void checkLines(const LayoutCase& c, const MessageBoxPicture& p, int32_t advanceA) {
    int32_t textWidth = p.textRect[2] - p.textRect[0];
    int32_t at = 0;
    for (size_t i = 0; i < p.lines.size(); ++i) {
        const MessageBoxLine& line = p.lines[i];
        EXPECT_EQ(line.start, at) << "line " << i;
        EXPECT_LE(line.width, textWidth) << "line " << i;
        at = line.end;
        if (at < (int32_t)c.text.size() && c.text[at] == '\n') {
            ++at;
        } else if (i + 1 < p.lines.size()) {
            char last = c.text[line.end - 1];
            char next = c.text[line.end];
            if (last != ' ' && next != ' ' && (unsigned char)next < 0x80)
                ADD_FAILURE() << "a word split at line " << i;
            if ((unsigned char)next >= 0x80) {
                EXPECT_GT(line.width + advanceA, textWidth) << "line " << i;
            }
        }
    }
    if (!p.cut) {
        EXPECT_EQ(at, (int32_t)c.text.size());
    }
}

TEST(MessageBoxLayout, WrapsAndSizesWithinTheScreen) {
    std::string words;
    for (int i = 0; i < 40; ++i) words += i % 3 ? "word " : "longerword ";
    std::string manyLines;
    for (int i = 0; i < 200; ++i) manyLines += "line " + std::to_string(i) + "\n";
    const LayoutCase cases[] = {
        {"empty text", "", "", MESSAGE_BOX_OK, 1024, 768, 0, false, MESSAGE_BOX_WIDTH_MIN},
        {"short line", "Hello", "Error", MESSAGE_BOX_OK, 1024, 768, 1, false, MESSAGE_BOX_WIDTH_MIN},
        {"new lines, an empty one kept", "a\nb\n\nc", "x", MESSAGE_BOX_YES_NO, 1024, 768, 4, false,
         MESSAGE_BOX_WIDTH_MIN},
        {"trailing new line", "a\n", "x", MESSAGE_BOX_OK, 1024, 768, 1, false, MESSAGE_BOX_WIDTH_MIN},
        {"long Japanese line", repeated(HIRAGANA_A, 120), "x", MESSAGE_BOX_OK, 1024, 768, -1, false, 0,
         MESSAGE_BOX_WIDTH_MAX},
        {"long line on a narrow screen", repeated(HIRAGANA_A, 60), "x", MESSAGE_BOX_OK, 400, 768, -1, false, 0,
         400 - 2 * MESSAGE_BOX_SCREEN_MARGIN},
        {"screen narrower than the least box", repeated(HIRAGANA_A, 30), "x", MESSAGE_BOX_YES_NO, 200, 768, -1,
         false, MESSAGE_BOX_WIDTH_MIN},
        {"words", words, "x", MESSAGE_BOX_OK, 1024, 768, -1, false, 0},
        {"many lines on a low screen", manyLines, "x", MESSAGE_BOX_OK, 640, 480, -1, true, 0},
        {"long caption", "a", repeated("Caption ", 20), MESSAGE_BOX_OK, 1024, 768, 1, false, MESSAGE_BOX_WIDTH_MAX},
    };
    OwnFace own;
    if (!own.face) GTEST_SKIP() << "no Japanese face installed";
    std::unique_ptr<GlyphBitmap> glyph(new GlyphBitmap);
    renderOwnGlyph(own.face, 0x82A0, glyph.get());
    int32_t advanceA = glyph->advance;
    ASSERT_GT(advanceA, 0);

    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxPicture p;
        drawMessageBox(c.text.c_str(), c.caption.c_str(), c.kind, 0, c.screenW, c.screenH, &p);
        if (c.lines >= 0) {
            EXPECT_EQ((int32_t)p.lines.size(), c.lines);
        } else {
            EXPECT_GT(p.lines.size(), 1u);
        }
        EXPECT_EQ(p.cut, c.cut);
        if (c.width) {
            EXPECT_EQ(p.width, c.width);
        }
        if (c.fullWidth) {
            EXPECT_LE(p.width, c.fullWidth);
            EXPECT_GT(p.width + advanceA, c.fullWidth);
        }
        EXPECT_GE(p.width, MESSAGE_BOX_WIDTH_MIN);
        EXPECT_LE(p.width, MESSAGE_BOX_WIDTH_MAX);
        if (c.screenW - 2 * MESSAGE_BOX_SCREEN_MARGIN >= MESSAGE_BOX_WIDTH_MIN) {
            EXPECT_LE(p.width, c.screenW - 2 * MESSAGE_BOX_SCREEN_MARGIN);
        }
        EXPECT_LE(p.height, c.screenH - 2 * MESSAGE_BOX_SCREEN_MARGIN);
        int32_t shown = p.lines.empty() ? 1 : (int32_t)p.lines.size();
        EXPECT_EQ(p.textRect[3] - p.textRect[1], shown * MESSAGE_BOX_LINE);
        EXPECT_EQ(p.pixels.size(), (size_t)p.width * p.height);
        checkLines(c, p, advanceA);
        // The buttons sit under the text, inside the box.
        for (int32_t i = 0; i < p.buttonCount; ++i) {
            EXPECT_GE(p.buttons[i].rect[1], p.textRect[3]);
            EXPECT_GE(p.buttons[i].rect[0], 0);
            EXPECT_LE(p.buttons[i].rect[2], p.width);
            EXPECT_LE(p.buttons[i].rect[3], p.height);
        }
    }
}

// A cut box shows as many lines as the screen has room for, no fewer.
TEST(MessageBoxLayout, CutBoxFillsTheScreensHeight) {
    std::string manyLines = repeated("line\n", 100);
    MessageBoxPicture p;
    drawMessageBox(manyLines.c_str(), "x", MESSAGE_BOX_OK, 0, 640, 480, &p);
    ASSERT_TRUE(p.cut);
    EXPECT_GT(p.height + MESSAGE_BOX_LINE, 480 - 2 * MESSAGE_BOX_SCREEN_MARGIN);
}

TEST(MessageBoxButtons, KindsGiveTheirButtonsInOrder) {
    MessageBoxPicture ok, yesNo;
    drawMessageBox("a", "b", MESSAGE_BOX_OK, 0, 1024, 768, &ok);
    drawMessageBox("a", "b", MESSAGE_BOX_YES_NO, 0, 1024, 768, &yesNo);
    ASSERT_EQ(ok.buttonCount, 1);
    EXPECT_EQ(ok.buttons[0].answer, MESSAGE_BOX_ANSWER_OK);
    ASSERT_EQ(yesNo.buttonCount, 2);
    EXPECT_EQ(yesNo.buttons[0].answer, MESSAGE_BOX_ANSWER_YES);
    EXPECT_EQ(yesNo.buttons[1].answer, MESSAGE_BOX_ANSWER_NO);
    EXPECT_LE(yesNo.buttons[0].rect[2], yesNo.buttons[1].rect[0]);
    for (int32_t i = 0; i < yesNo.buttonCount; ++i) {
        const int32_t* r = yesNo.buttons[i].rect;
        EXPECT_EQ(messageBoxButtonAt(yesNo, (r[0] + r[2]) / 2, (r[1] + r[3]) / 2), i);
        EXPECT_EQ(messageBoxButtonAt(yesNo, r[0], r[1]), i);
        EXPECT_EQ(messageBoxButtonAt(yesNo, r[2], r[1]), -1);   // right and bottom are outside
    }
    EXPECT_EQ(messageBoxButtonAt(yesNo, yesNo.textRect[0], yesNo.textRect[1]), -1);
}

// Moving the focus redraws only the buttons.
TEST(MessageBoxButtons, FocusShowsOnTheFocusedButtonOnly) {
    MessageBoxPicture first, second;
    drawMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_YES_NO, 0, 1024, 768, &first);
    drawMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_YES_NO, 1, 1024, 768, &second);
    EXPECT_EQ(first.focus, 0);
    EXPECT_EQ(second.focus, 1);
    ASSERT_EQ(first.pixels.size(), second.pixels.size());
    int32_t differ = 0;
    for (int32_t y = 0; y < first.height; ++y) {
        for (int32_t x = 0; x < first.width; ++x) {
            if (first.pixels[(size_t)y * first.width + x] == second.pixels[(size_t)y * second.width + x]) continue;
            ++differ;
            EXPECT_GE(messageBoxButtonAt(first, x, y), 0) << x << "," << y;
        }
    }
    EXPECT_GT(differ, 0);
}

struct KeyCase {
    const char* name;
    int32_t kind;
    std::vector<MessageBoxKey> keys;
    int32_t answer;   // of the last key
    int32_t focus;    // after the keys
};

TEST(MessageBoxKeys, KeysMoveTheFocusAndAnswer) {
    const KeyCase cases[] = {
        {"OK chosen", MESSAGE_BOX_OK, {MESSAGE_BOX_KEY_CHOOSE}, MESSAGE_BOX_ANSWER_OK, 0},
        {"OK escaped", MESSAGE_BOX_OK, {MESSAGE_BOX_KEY_CANCEL}, MESSAGE_BOX_ANSWER_OK, 0},
        {"OK's focus stays", MESSAGE_BOX_OK, {MESSAGE_BOX_KEY_NEXT}, 0, 0},
        {"Yes is the first focus", MESSAGE_BOX_YES_NO, {MESSAGE_BOX_KEY_CHOOSE}, MESSAGE_BOX_ANSWER_YES, 0},
        {"escape answers No", MESSAGE_BOX_YES_NO, {MESSAGE_BOX_KEY_CANCEL}, MESSAGE_BOX_ANSWER_NO, 0},
        {"next to No", MESSAGE_BOX_YES_NO, {MESSAGE_BOX_KEY_NEXT, MESSAGE_BOX_KEY_CHOOSE}, MESSAGE_BOX_ANSWER_NO, 1},
        {"next wraps round", MESSAGE_BOX_YES_NO, {MESSAGE_BOX_KEY_NEXT, MESSAGE_BOX_KEY_NEXT, MESSAGE_BOX_KEY_CHOOSE},
         MESSAGE_BOX_ANSWER_YES, 0},
        {"previous wraps round", MESSAGE_BOX_YES_NO, {MESSAGE_BOX_KEY_PREVIOUS, MESSAGE_BOX_KEY_CHOOSE},
         MESSAGE_BOX_ANSWER_NO, 1},
        {"escape from No", MESSAGE_BOX_YES_NO, {MESSAGE_BOX_KEY_NEXT, MESSAGE_BOX_KEY_CANCEL}, MESSAGE_BOX_ANSWER_NO,
         1},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t focus = 0, answer = 0;
        for (size_t i = 0; i < c.keys.size(); ++i) {
            answer = messageBoxKey(c.kind, &focus, c.keys[i]);
            if (i + 1 < c.keys.size()) {
                EXPECT_EQ(answer, 0) << "key " << i;
            }
        }
        EXPECT_EQ(answer, c.answer);
        EXPECT_EQ(focus, c.focus);
    }
    EXPECT_EQ(messageBoxCancelAnswer(MESSAGE_BOX_OK), MESSAGE_BOX_ANSWER_OK);
    EXPECT_EQ(messageBoxCancelAnswer(MESSAGE_BOX_YES_NO), MESSAGE_BOX_ANSWER_NO);
}

class MessageBoxHeadless : public testing::Test {
protected:
    void SetUp() override {
        headlessWindowReset();
        gWindow = &WINDOW_HEADLESS;
    }
    void TearDown() override {
        gWindow = nullptr;
        headlessWindowReset();
    }
};

TEST_F(MessageBoxHeadless, KeepsTheLastBoxAsDrawnUntilReset) {
    const uint32_t* pixels = nullptr;
    int32_t w = -1, h = -1;
    EXPECT_FALSE(headlessLastMessageBoxImage(&pixels, &w, &h));
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(headlessLastMessageBoxPicture(), nullptr);

    testing::internal::CaptureStderr();
    showMessageBox("first", "x", MESSAGE_BOX_OK);
    showMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_YES_NO);
    testing::internal::GetCapturedStderr();
    ASSERT_TRUE(headlessLastMessageBoxImage(&pixels, &w, &h));
    MessageBoxPicture want;
    drawMessageBox(SHOP_OPENS_SJIS, NOTICE_SJIS, MESSAGE_BOX_YES_NO, 0, 1024, 768, &want);
    ASSERT_EQ(w, want.width);
    ASSERT_EQ(h, want.height);
    EXPECT_EQ(std::vector<uint32_t>(pixels, pixels + (size_t)w * h), want.pixels);
    const MessageBoxPicture* kept = headlessLastMessageBoxPicture();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->buttonCount, 2);

    headlessWindowReset();
    EXPECT_FALSE(headlessLastMessageBoxImage(&pixels, &w, &h));
}
