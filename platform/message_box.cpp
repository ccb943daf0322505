#include "platform/message_box.h"
#include "platform/sjis.h"

#include "platform/glyphs.h"
#include "platform/window.h"

#include <cstring>
#include <memory>
#include <mutex>

constexpr uint32_t CAPTION_BAR = 0xFF2B4F81u;
constexpr uint32_t CAPTION_INK = 0xFFFFFFFFu;
constexpr uint32_t FRAME = 0xFF808080u;
constexpr uint32_t BUTTON_FACE = 0xFFE1E1E1u;
constexpr uint32_t BUTTON_EDGE = 0xFFADADADu;
constexpr uint32_t BUTTON_FOCUS_EDGE = 0xFF0078D7u;
constexpr int32_t CAPTION_INSET = 10;
constexpr int32_t SJIS_CODES = 0x10000;

// The face stays open once found: boxes are few, but each would otherwise
// scan the installed fonts again. One box is drawn at a time (the headless
// backend draws from any thread).
struct MessageBoxFace {
    std::mutex lock;
    bool tried = false;
    GlyphFace* face = nullptr;
    GlyphFaceMetrics metrics = {MESSAGE_BOX_CELL, MESSAGE_BOX_CELL};
    std::unique_ptr<GlyphBitmap> glyph;
    std::unique_ptr<int16_t[]> advances;   // per Shift-JIS code; -1 not yet measured
};
static MessageBoxFace sFace;

static void openFaceOnce() {
    if (sFace.tried) return;
    sFace.tried = true;
    sFace.glyph.reset(new GlyphBitmap);
    sFace.advances.reset(new int16_t[SJIS_CODES]);
    memset(sFace.advances.get(), 0xFF, sizeof(int16_t) * SJIS_CODES);
    GlyphFaceResult result = GLYPH_FACE_NONE;
    // Named, so the usual face is taken without a line in the log.
    sFace.face = openOwnGlyphFace(GLYPH_FALLBACK_FACE, MESSAGE_BOX_CELL, &sFace.metrics, &result);
}


// The code of the character at text[at] and its length in bytes. Control
// characters (a tab) take a blank's place.
static uint32_t characterAt(const char* text, int32_t at, int32_t* length) {
    unsigned char c = (unsigned char)text[at];
    if (isSjisLeadByte(c) && text[at + 1] != '\0') {
        *length = 2;
        return (uint32_t)c * 256 + (unsigned char)text[at + 1];
    }
    *length = 1;
    return c < 0x20 ? ' ' : c;
}

static int32_t advanceOf(uint32_t code) {
    int16_t& known = sFace.advances[code];
    if (known < 0) {
        renderOwnGlyph(sFace.face, code, sFace.glyph.get());
        known = (int16_t)(sFace.glyph->advance > 0 ? sFace.glyph->advance : 0);
    }
    return known;
}

// Width of text[start, end), trailing blanks left out.
static int32_t measure(const char* text, int32_t start, int32_t end) {
    int32_t width = 0, inked = 0;
    for (int32_t at = start; at < end;) {
        int32_t length = 1;
        uint32_t code = characterAt(text, at, &length);
        width += advanceOf(code);
        if (code != ' ') inked = width;
        at += length;
    }
    return inked;
}

// Breaks at each '\n', and where a line would pass wrapWidth: after its last
// blank when it has one (words stay whole), else before the character that
// does not fit (Japanese runs on without blanks).
static void wrap(const char* text, int32_t wrapWidth, std::vector<MessageBoxLine>* lines) {
    lines->clear();
    auto push = [&](int32_t start, int32_t end) { lines->push_back({start, end, measure(text, start, end)}); };
    int32_t start = 0, width = 0, lastBreak = -1, widthAtBreak = 0, at = 0;
    while (text[at] != '\0') {
        if (text[at] == '\n') {
            push(start, at);
            start = ++at;
            width = 0;
            lastBreak = -1;
            continue;
        }
        int32_t length = 1;
        uint32_t code = characterAt(text, at, &length);
        int32_t advance = advanceOf(code);
        if (width + advance > wrapWidth && at > start && code != ' ') {
            if (lastBreak > start) {
                push(start, lastBreak);
                start = lastBreak;
                width -= widthAtBreak;
            } else {
                push(start, at);
                start = at;
                width = 0;
            }
            lastBreak = -1;
        }
        width += advance;
        at += length;
        if (code == ' ') {
            lastBreak = at;
            widthAtBreak = width;
        }
    }
    if (at > start) push(start, at);
}

struct Canvas {
    uint32_t* pixels;
    int32_t width;
    int32_t height;
};

static void fill(const Canvas& c, int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    if (right > c.width) right = c.width;
    if (bottom > c.height) bottom = c.height;
    for (int32_t y = top; y < bottom; ++y)
        for (int32_t x = left; x < right; ++x) c.pixels[(size_t)y * c.width + x] = colour;
}

static void frame(const Canvas& c, const int32_t r[4], int32_t thickness, uint32_t colour) {
    fill(c, r[0], r[1], r[2], r[1] + thickness, colour);
    fill(c, r[0], r[3] - thickness, r[2], r[3], colour);
    fill(c, r[0], r[1], r[0] + thickness, r[3], colour);
    fill(c, r[2] - thickness, r[1], r[2], r[3], colour);
}

static uint32_t blend(uint32_t under, uint32_t ink, int32_t level) {
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        int32_t a = (int32_t)((under >> shift) & 0xFF);
        int32_t b = (int32_t)((ink >> shift) & 0xFF);
        out |= (uint32_t)(a + (b - a) * level / GLYPH_LEVEL_MAX) << shift;
    }
    return out;
}

// Draws text[start, end) with its baseline at y, inside clip (left, top,
// right, bottom); returns the pen's end.
static int32_t drawRun(const Canvas& c, const char* text, int32_t start, int32_t end, int32_t x, int32_t y,
                       const int32_t clip[4], uint32_t ink) {
    GlyphBitmap& g = *sFace.glyph;
    for (int32_t at = start; at < end;) {
        int32_t length = 1;
        uint32_t code = characterAt(text, at, &length);
        at += length;
        if (code == ' ') {
            x += advanceOf(code);
            continue;
        }
        renderOwnGlyph(sFace.face, code, &g);
        for (int32_t row = 0; row < g.boxHeight && g.byteCount > 0; ++row) {
            int32_t py = y - g.boxTop + row;
            if (py < clip[1] || py >= clip[3]) continue;
            for (int32_t col = 0; col < g.boxWidth; ++col) {
                int32_t px = x + g.boxLeft + col;
                int32_t level = g.levels[row * g.pitch + col];
                if (level == 0 || px < clip[0] || px >= clip[2]) continue;
                uint32_t& pixel = c.pixels[(size_t)py * c.width + px];
                pixel = blend(pixel, ink, level);
            }
        }
        x += g.advance > 0 ? g.advance : 0;
    }
    return x;
}

static const char* buttonLabel(int32_t answer) {
    switch (answer) {
    case MESSAGE_BOX_ANSWER_YES: return "Yes";
    case MESSAGE_BOX_ANSWER_NO: return "No";
    default: return "OK";
    }
}

static int32_t buttonsOf(int32_t kind, int32_t answers[MESSAGE_BOX_BUTTON_MAX]) {
    if (kind == MESSAGE_BOX_YES_NO) {
        answers[0] = MESSAGE_BOX_ANSWER_YES;
        answers[1] = MESSAGE_BOX_ANSWER_NO;
        return 2;
    }
    answers[0] = MESSAGE_BOX_ANSWER_OK;
    return 1;
}

static void layOut(const char* text, const char* caption, int32_t kind, int32_t screenWidth, int32_t screenHeight,
                   MessageBoxPicture* out) {
    int32_t answers[MESSAGE_BOX_BUTTON_MAX];
    out->buttonCount = buttonsOf(kind, answers);
    int32_t buttonsWidth =
        out->buttonCount * MESSAGE_BOX_BUTTON_WIDTH + (out->buttonCount - 1) * MESSAGE_BOX_BUTTON_GAP;

    int32_t widthMax = screenWidth - 2 * MESSAGE_BOX_SCREEN_MARGIN;
    if (widthMax > MESSAGE_BOX_WIDTH_MAX) widthMax = MESSAGE_BOX_WIDTH_MAX;
    if (widthMax < MESSAGE_BOX_WIDTH_MIN) widthMax = MESSAGE_BOX_WIDTH_MIN;
    wrap(text, widthMax - 2 * MESSAGE_BOX_PADDING, &out->lines);

    const char* captionEnd = strchr(caption, '\n');
    int32_t captionWidth = measure(caption, 0, captionEnd ? (int32_t)(captionEnd - caption) : (int32_t)strlen(caption));
    int32_t width = MESSAGE_BOX_WIDTH_MIN;
    for (const MessageBoxLine& line : out->lines)
        if (line.width + 2 * MESSAGE_BOX_PADDING > width) width = line.width + 2 * MESSAGE_BOX_PADDING;
    if (captionWidth + 2 * CAPTION_INSET > width) width = captionWidth + 2 * CAPTION_INSET;
    if (buttonsWidth + 2 * MESSAGE_BOX_PADDING > width) width = buttonsWidth + 2 * MESSAGE_BOX_PADDING;
    if (width > widthMax) width = widthMax;

    // Caption, the text's padding, the buttons and their padding; the text
    // gets what is left of the screen, one line at least.
    int32_t fixed = MESSAGE_BOX_CAPTION_HEIGHT + 3 * MESSAGE_BOX_PADDING + MESSAGE_BOX_BUTTON_HEIGHT;
    int32_t room = (screenHeight - 2 * MESSAGE_BOX_SCREEN_MARGIN - fixed) / MESSAGE_BOX_LINE;
    if (room < 1) room = 1;
    out->cut = (int32_t)out->lines.size() > room;
    if (out->cut) out->lines.resize((size_t)room);
    int32_t shown = out->lines.empty() ? 1 : (int32_t)out->lines.size();

    out->width = width;
    out->height = fixed + shown * MESSAGE_BOX_LINE;
    out->textRect[0] = MESSAGE_BOX_PADDING;
    out->textRect[1] = MESSAGE_BOX_CAPTION_HEIGHT + MESSAGE_BOX_PADDING;
    out->textRect[2] = width - MESSAGE_BOX_PADDING;
    out->textRect[3] = out->textRect[1] + shown * MESSAGE_BOX_LINE;
    int32_t x = (width - buttonsWidth) / 2;
    int32_t y = out->textRect[3] + MESSAGE_BOX_PADDING;
    for (int32_t i = 0; i < out->buttonCount; ++i) {
        MessageBoxButton& b = out->buttons[i];
        b.rect[0] = x;
        b.rect[1] = y;
        b.rect[2] = x + MESSAGE_BOX_BUTTON_WIDTH;
        b.rect[3] = y + MESSAGE_BOX_BUTTON_HEIGHT;
        b.answer = answers[i];
        x += MESSAGE_BOX_BUTTON_WIDTH + MESSAGE_BOX_BUTTON_GAP;
    }
}

// The baseline of a run of text centred in a band from top, height high.
static int32_t baselineIn(int32_t top, int32_t height) {
    return top + (height - sFace.metrics.height) / 2 + sFace.metrics.ascent;
}

static void paint(const char* text, const char* caption, MessageBoxPicture* p) {
    p->pixels.assign((size_t)p->width * p->height, MESSAGE_BOX_BACKGROUND);
    Canvas c = {p->pixels.data(), p->width, p->height};

    fill(c, 0, 0, p->width, MESSAGE_BOX_CAPTION_HEIGHT, CAPTION_BAR);
    const char* captionEnd = strchr(caption, '\n');
    int32_t captionClip[4] = {CAPTION_INSET, 0, p->width - CAPTION_INSET, MESSAGE_BOX_CAPTION_HEIGHT};
    drawRun(c, caption, 0, captionEnd ? (int32_t)(captionEnd - caption) : (int32_t)strlen(caption), CAPTION_INSET,
            baselineIn(0, MESSAGE_BOX_CAPTION_HEIGHT), captionClip, CAPTION_INK);

    for (size_t i = 0; i < p->lines.size(); ++i) {
        int32_t top = p->textRect[1] + (int32_t)i * MESSAGE_BOX_LINE;
        drawRun(c, text, p->lines[i].start, p->lines[i].end, p->textRect[0], baselineIn(top, MESSAGE_BOX_LINE),
                p->textRect, MESSAGE_BOX_INK);
    }

    for (int32_t i = 0; i < p->buttonCount; ++i) {
        const MessageBoxButton& b = p->buttons[i];
        fill(c, b.rect[0], b.rect[1], b.rect[2], b.rect[3], BUTTON_FACE);
        bool focused = i == p->focus;
        frame(c, b.rect, focused ? 2 : 1, focused ? BUTTON_FOCUS_EDGE : BUTTON_EDGE);
        const char* label = buttonLabel(b.answer);
        int32_t length = (int32_t)strlen(label);
        int32_t x = (b.rect[0] + b.rect[2] - measure(label, 0, length)) / 2;
        drawRun(c, label, 0, length, x, baselineIn(b.rect[1], b.rect[3] - b.rect[1]), b.rect, MESSAGE_BOX_INK);
    }
    int32_t whole[4] = {0, 0, p->width, p->height};
    frame(c, whole, 1, FRAME);
}

void drawMessageBox(const char* text, const char* caption, int32_t kind, int32_t focus, int32_t screenWidth,
                    int32_t screenHeight, MessageBoxPicture* out) {
    std::lock_guard<std::mutex> hold(sFace.lock);
    openFaceOnce();
    if (!text) text = "";
    if (!caption) caption = "";
    layOut(text, caption, kind, screenWidth, screenHeight, out);
    out->focus = focus >= 0 && focus < out->buttonCount ? focus : 0;
    paint(text, caption, out);
}

int32_t messageBoxCancelAnswer(int32_t kind) {
    return kind == MESSAGE_BOX_YES_NO ? MESSAGE_BOX_ANSWER_NO : MESSAGE_BOX_ANSWER_OK;
}

int32_t messageBoxKey(int32_t kind, int32_t* focus, MessageBoxKey key) {
    int32_t answers[MESSAGE_BOX_BUTTON_MAX];
    int32_t count = buttonsOf(kind, answers);
    if (*focus < 0 || *focus >= count) *focus = 0;
    switch (key) {
    case MESSAGE_BOX_KEY_CHOOSE: return answers[*focus];
    case MESSAGE_BOX_KEY_CANCEL: return messageBoxCancelAnswer(kind);
    case MESSAGE_BOX_KEY_NEXT: *focus = (*focus + 1) % count; return 0;
    case MESSAGE_BOX_KEY_PREVIOUS: *focus = (*focus + count - 1) % count; return 0;
    }
    return 0;
}

int32_t messageBoxButtonAt(const MessageBoxPicture& picture, int32_t x, int32_t y) {
    for (int32_t i = 0; i < picture.buttonCount; ++i) {
        const int32_t* r = picture.buttons[i].rect;
        if (x >= r[0] && x < r[2] && y >= r[1] && y < r[3]) return i;
    }
    return -1;
}
