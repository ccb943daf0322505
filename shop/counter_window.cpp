#include "shop/counter_window.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "shop/counter.h"
#include "shop/customer_types.h"
#include "shop/item_db.h"
#include "shop/item_icons.h"
#include "shop/item_list.h"
#include "shop/item_windows.h"
#include "shop/request_rows.h"
#include "shop/trends.h"
#include "shop/window_cells.h"
#include "story/story.h"

static void append(char* out, int32_t outSize, int32_t& n, const char* text) {
    for (const char* p = text; *p && n < outSize - 1; p++) out[n++] = *p;
}

void expandSpeechTags(const char* text, char* out, int32_t outSize) {
    const CounterState& c = gCounter;
    int32_t n = 0;
    int32_t length = static_cast<int32_t>(strnlen(text, COUNTER_TEXT_SIZE));
    for (int32_t i = 0; i < length && n < outSize - 1;) {
        char next = i + 1 < length ? text[i + 1] : 0;
        if (text[i] != '<' || (next != 'S' && next != 'I' && next != 'Y' && next != 'D' && next != 'T')) {
            out[n++] = text[i++];
            continue;
        }
        switch (next) {
        case 'S': append(out, outSize, n, c.requestText); break;
        case 'I': append(out, outSize, n, c.itemText); break;
        case 'Y': append(out, outSize, n, c.priceText); break;
        case 'T': break;   // the category text, which nothing fills
        case 'D': {
            bool quantity = i + 2 < length && text[i + 2] == '1';
            if (quantity) {
                append(out, outSize, n, c.quantityText);
            } else {
                int32_t start = n;
                append(out, outSize, n, c.dueText);
                // Opening the text, the due date starts with a capital.
                if (i == 0 && n > start) out[start] = out[start] == 'i' ? 'I' : 'B';
            }
            i++;   // the digit
            break;
        }
        default: break;
        }
        i += 3;   // "<", the letter and the closing character
    }
    out[n] = 0;
}

// --- the typewriter ------------------------------------------------------------

// Walks the expanded text as the typewriter shows it; with draw, each line
// is drawn as it ends. True when the end was reached within `shown`.
static bool runTypewriter(const char* expanded, int32_t shown, bool draw, float x, float y, uint32_t argb,
                          float scale) {
    if (shown <= 0) return false;
    char line[SPEECH_EXPANDED_SIZE];
    int32_t n = 0;
    int32_t counted = 0;
    int32_t lineFirst = 0;   // characters counted before this line
    int32_t lineIndex = 0;
    bool reached = false;
    auto flush = [&]() {
        line[n] = 0;
        if (draw && n > 0)
            drawTextFaded(x, y + 40.0f * 0.76f * scale * static_cast<float>(lineIndex), line, argb, 0.76f * scale,
                          shown - lineFirst);
        n = 0;
        lineFirst = counted;
    };
    for (const char* p = expanded;;) {
        if (!*p) {
            reached = true;
            break;
        }
        if (strncmp(p, "<BR>", 4) == 0) {
            flush();
            p += 4;
            if (++lineIndex >= SPEECH_LINES_MAX) return true;
            continue;
        }
        bool twoBytes = static_cast<unsigned char>(*p) & 0x80;
        if (twoBytes && !p[1]) {   // a lead byte cut off by the end: nothing more to show
            reached = true;
            break;
        }
        if (counted >= shown) break;    // the next character is not shown yet
        line[n++] = *p++;
        if (twoBytes) line[n++] = *p++;
        counted++;
    }
    flush();
    return reached;
}

bool speechTextShown(const char* expanded, int32_t shown) {
    return runTypewriter(expanded, shown, false, 0.0f, 0.0f, 0, 0.0f);
}

bool drawTypewriterText(float x, float y, const char* text, uint32_t argb, float scale, int32_t shown) {
    if (shown <= 0) return false;
    char expanded[SPEECH_EXPANDED_SIZE];
    expandSpeechTags(text, expanded, SPEECH_EXPANDED_SIZE);
    return runTypewriter(expanded, shown, true, x, y, argb, scale);
}

void drawSpeechText(float x, float y, const char* text, uint32_t argb, float scale, int32_t shown) {
    if (drawTypewriterText(x, y, text, argb, scale, shown) && gCounter.stateFrame > 0) gCounter.speechDone = 1;
}

// --- numbers -------------------------------------------------------------------

float counterPopScale(int32_t k) {
    if (k < 0) return 0.0f;
    if (k >= COUNTER_POP_STEPS) return 1.0f;
    const float turn = 0.8f * 3.14159265f;
    return std::sin(turn * static_cast<float>(k) / 15.0f) / std::sin(turn);
}

int32_t percentOfBasePrice(int32_t price, int32_t basePrice) {
    // Without a base price there is nothing to measure against.
    if (basePrice == 0) return 0;
    return static_cast<int32_t>(static_cast<float>(price) / static_cast<float>(basePrice) * 100.0f);
}

void drawPriceDigits(float x, float y, int32_t price, uint32_t argb) {
    char text[16];
    snprintf(text, sizeof text, "%7d", price);
    bindSpriteTexture(gShopModeTexture);
    float at = x;
    for (int32_t p = 0; p < COUNTER_PRICE_DIGITS && text[p]; p++) {
        if (text[p] >= '0' && text[p] <= '9') {
            float left = SHOPMODE_DIGIT_LEFT + SHOPMODE_DIGIT_WIDTH * static_cast<float>(text[p] - '0');
            addSpriteRect(at, y, SHOPMODE_DIGIT_WIDTH, SHOPMODE_DIGIT_HEIGHT,
                          SpriteSource{left, SHOPMODE_DIGIT_TOP, left + SHOPMODE_DIGIT_WIDTH,
                                       SHOPMODE_DIGIT_TOP + SHOPMODE_DIGIT_HEIGHT},
                          gShopModeTexture, argb);
        }
        at += 36.0f;
        if (p == 0 || p == 3 || p == 6) at += 8.0f;   // the thousands gaps
    }
    flushSprites();
}

void drawBonusNumber(float x, float y, int32_t value, int32_t kind, int32_t alpha, bool withSign) {
    char text[16];
    snprintf(text, sizeof text, withSign && value >= 0 ? "+%d" : "%d", value);
    float top = ITEMWIN_BONUS_GLYPH_TOP + 24.0f * static_cast<float>(kind >= 0 && kind <= BONUS_TOTAL ? kind : 0);
    uint32_t colour = static_cast<uint32_t>(alpha & 0xFF) << 24 | 0xFFFFFF;
    bindSpriteTexture(gItemWindowTexture);
    for (int32_t i = 0; i < 5 && text[i]; i++) {
        int32_t cell = text[i] == '+' ? BONUS_GLYPH_PLUS : text[i] == '-' ? BONUS_GLYPH_MINUS : text[i] - '0';
        float left = ITEMWIN_BONUS_GLYPH_LEFT + 16.0f * static_cast<float>(cell);
        addSpriteRect(x + 14.0f * static_cast<float>(i), y, 16.0f, 24.0f, SpriteSource{left, top, left + 16.0f, top + 24.0f},
                      gItemWindowTexture, colour);
    }
    flushSprites();
}

// --- the windows -----------------------------------------------------------------

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t PROMPT_YELLOW = 0xFFFFFF37;
constexpr int32_t SIDE_TITLE_SPLIT = 10;        // longer titles take two lines
constexpr int32_t ITEM_TEXT_FRAME = 38;         // the item panel's texts appear
constexpr int32_t PRICE_CONTENT_SLIDE = 10;     // the price panel's digits appear
constexpr int32_t NAME_PLATE_SLIDE = 8;
constexpr int32_t BONUS_MIRROR_FRAME = 29;
constexpr int32_t BONUS_FADE_FRAME = 60;
constexpr int32_t BONUS_TOTAL_FADE_FRAME = 90;
constexpr int32_t CHOICE_OTHER_ALPHA = 0xB9;
constexpr float CHOICE_CENTRE_X = 320.0f;

static uint32_t withAlpha(uint32_t argb, int32_t alpha) {
    if (alpha < 0) alpha = 0;
    if (alpha > 255) alpha = 255;
    return static_cast<uint32_t>(alpha) << 24 | (argb & 0x00FFFFFF);
}

// A piece of a sheet grown by scale about its centre.
static void addGrown(float cx, float cy, float w, float h, float sx, float sy, const SpriteSource& src,
                     const TextureSlot& sheet, uint32_t argb, bool mirrored = false) {
    SpriteDest dest = {cx - w * 0.5f * sx, cy - h * 0.5f * sy, w * sx, h * sy};
    if (mirrored) addSpriteQuadMirrored(dest, src, sheet, argb);
    else addSpriteQuad(dest, src, sheet, argb);
}

static int32_t countCharacters(const char* text) {
    int32_t count = 0;
    for (const char* p = text; *p; p++, count++)
        if ((static_cast<unsigned char>(*p) & 0x80) && p[1]) p++;
    return count;
}

static void drawSideTitle(const CounterState& c) {
    if (c.sidePanelMode < 1 || c.sidePanelMode > 3) return;
    bool summary = c.sidePanelMode == 2;
    float shiftX = summary ? 128.0f : 0.0f, shiftY = summary ? -64.0f : 0.0f;
    float s = counterPopScale(c.sidePanelSlide);
    if (!summary) {
        bindSpriteTexture(gShopModeTexture);
        addGrown(216.0f, 88.0f, 159.0f, 95.0f, s, s, SHOPMODE_TITLE_WINDOW, gShopModeTexture, WHITE);
        flushSprites();
    }
    if (c.requestRow < 0 || c.requestRow >= REQUEST_ROW_MAX) return;
    const RequestRow& row = gRequestRows[c.requestRow];
    const char* title = c.mode == COUNTER_REQUEST ? row.name : row.orderName;
    int32_t pulse = 191 + static_cast<int32_t>(64.0f * std::sin(0.2f * static_cast<float>(c.dayTimer)));
    uint32_t colour = greyArgb(255, pulse);
    float x = 213.6f + shiftX, y = 76.0f + shiftY;
    const char* space = countCharacters(title) > SIDE_TITLE_SPLIT ? strrchr(title, ' ') : nullptr;
    if (!space) {
        drawTextCentered(x, y + 10.0f, title, colour, 0.8f);
        return;
    }
    char first[REQUEST_NAME_SIZE];
    int32_t n = static_cast<int32_t>(space - title);
    if (n >= REQUEST_NAME_SIZE) n = REQUEST_NAME_SIZE - 1;
    memcpy(first, title, n);
    first[n] = 0;
    drawTextCentered(x, y, first, colour, 0.8f);
    drawTextCentered(x, y + 22.0f, space + 1, colour, 0.8f);
}

static void drawItemPanel(const CounterState& c) {
    if (c.infoFrame == 0) return;
    int32_t k = c.infoFrame;
    float s = counterPopScale(k);
    int32_t grey = 255;
    if (k > 30 && k <= 45) grey -= static_cast<int32_t>(127.0f * std::sin(3.14159265f * static_cast<float>(k - 30) / 15.0f));
    bindSpriteTexture(gShopModeTexture);
    addGrown(304.0f, 120.0f, 176.0f, 176.0f, s, s, SHOPMODE_ITEM_WINDOW, gShopModeTexture, greyArgb(255, grey));
    flushSprites();
    if (k < ITEM_TEXT_FRAME) return;
    int32_t row = findItemDisplayRow(c.itemKey);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    bool unidentified = (c.itemKey & ITEM_KEY_UNIDENTIFIED) != 0;
    char text[ITEM_NAME_SIZE + 32];
    if (!unidentified && itemKeyPlus(c.itemKey) > 0) snprintf(text, sizeof text, "%s+%d", def.name, itemKeyPlus(c.itemKey));
    else snprintf(text, sizeof text, "%s", def.name);
    int32_t trend = getTrendForItem(c.itemKey);
    drawTextCentered(304.0f, 80.0f, text, itemRowColour(trend, true, 0x7F), 0.8f);
    char amount[THOUSANDS_TEXT_SIZE];
    formatThousands(amount, sizeof amount, c.basePrice);
    snprintf(text, sizeof text, trend > 0 ? "High Price %s" : trend < 0 ? "Low Price %s" : "Base Price %s", amount);
    drawTextCentered(304.0f, 168.0f, text, WHITE, 0.6f);
    if (c.showcaseItem) drawTextCentered(304.0f, 64.0f, "Showcase Item", WHITE, 0.8f);
    int32_t category = def.category >= 0 && def.category < ITEM_CATEGORY_COUNT ? def.category : 0;
    int32_t cell = unidentified ? 0 : def.iconCell;
    float left = static_cast<float>(cell % 8 * 32), top = static_cast<float>(cell / 8 * 32);
    bindSpriteTexture(gItemIconTextures[category]);
    addSpriteRect(280.0f, 96.0f, 48.0f, 48.0f, SpriteSource{left, top, left + 32.0f, top + 32.0f},
                  gItemIconTextures[category], WHITE);
    flushSprites();
    bindSpriteTexture(gDataWindowTexture);
    addSpriteRect(440.0f, 440.0f, 192.0f, 32.0f, DATAWIN_LABEL, gDataWindowTexture, WHITE);
    flushSprites();
}

// The first line of the expanded page.
static void firstSpeechLine(const char* text, char* out) {
    expandSpeechTags(text, out, SPEECH_EXPANDED_SIZE);
    char* end = strstr(out, "<BR>");
    if (end) *end = 0;
}

static void drawPricePanel(const CounterState& c) {
    if (c.pricePanelSlide <= 0) return;
    WindowPop pop = computeWindowPopCurve(c.pricePanelSlide, c.pricePanelWanted == 0);
    int32_t alpha = pop.alpha;
    if (c.panelSlide[SLOT_SHOPKEEPER] > 0 || c.panelSlide[SLOT_CUSTOMER] > 0) alpha /= 2;
    bindSpriteTexture(gShopModeTexture);
    SpriteDest dest = {284.0f - 220.0f * pop.scaleX, 306.0f - 88.0f * pop.scaleY, 432.0f * pop.scaleX, 176.0f * pop.scaleY};
    addSpriteQuad(dest, SHOPMODE_PRICE_PANEL, gShopModeTexture, withAlpha(WHITE, alpha));
    flushSprites();
    if (c.pricePanelSlide < PRICE_CONTENT_SLIDE) return;
    drawPriceDigits(176.0f, 290.0f, c.counterPrice, WHITE);
    float arrowX = 409.0f - 36.0f * static_cast<float>(c.digitCursor);
    if (c.digitCursor > 2) arrowX -= 8.0f;
    if (c.digitCursor > 5) arrowX -= 8.0f;
    int32_t blink = 128 + static_cast<int32_t>(127.0f * std::sin(0.2f * static_cast<float>(c.dayTimer)));
    bindSpriteTexture(gShopModeTexture);
    addSpriteRect(arrowX, 288.0f, 32.0f, 48.0f, SHOPMODE_CURSOR_ARROW, gShopModeTexture, withAlpha(WHITE, blink));
    flushSprites();
    if (c.tutorialMode) {
        if (c.tutorialLesson == 1) drawTextCentered(312.0f, 250.0f, "What should I pay?...", PROMPT_YELLOW, 0.8f);
        else drawTextCentered(312.0f, 250.0f, "How much should I?...", WHITE, 0.8f);
    } else {
        char line[SPEECH_EXPANDED_SIZE];
        firstSpeechLine(c.speechText, line);
        drawTextCentered(312.0f, 250.0f, line, c.mode == COUNTER_SELLER ? PROMPT_YELLOW : WHITE, 0.8f);
    }
    char amount[THOUSANDS_TEXT_SIZE];
    formatThousands(amount, sizeof amount, percentOfBasePrice(c.counterPrice, c.basePrice));
    char text[THOUSANDS_TEXT_SIZE + 24];
    snprintf(text, sizeof text, "%s%% Of Base Price", amount);
    drawTextRight(400.0f, 342.0f, text, WHITE, 0.8f);
}

static void drawChoiceButtons(const CounterState& c) {
    if (c.choiceFade <= 0) return;
    bool order = c.mode == COUNTER_ORDER_PLACEMENT;
    static const char* const LABELS[2][2] = {{"Okay!", "Start Again"}, {"Accept Order", "Refuse"}};
    float grow = 0.2f * static_cast<float>(c.choiceFade);
    for (int32_t i = 0; i < 2; i++) {
        bool chosen = i == c.choiceCursor;
        uint32_t colour = chosen ? 0xFF7F7F7F : withAlpha(0x7F7F7F, CHOICE_OTHER_ALPHA);
        if (c.choiceTimer >= 1) {
            if (chosen) {
                float wave = std::sin(3.14159265f * static_cast<float>(c.choiceTimer) / 15.0f);
                colour = greyArgb(255, 0x7F + static_cast<int32_t>(128.0f * wave));
            } else {
                colour = withAlpha(0x7F7F7F, CHOICE_OTHER_ALPHA - 25 * c.choiceTimer);
            }
        }
        float top = (order ? 186.0f : 362.0f) + 48.0f * static_cast<float>(i);
        bindSpriteTexture(gShopModeTexture);
        addGrown(CHOICE_CENTRE_X, top + 24.0f, 192.0f, 48.0f, grow, grow, SHOPMODE_CHOICE_PLATE, gShopModeTexture, colour);
        flushSprites();
        drawTextCentered(CHOICE_CENTRE_X, top + 12.0f, LABELS[order][i], withAlpha(WHITE, static_cast<int32_t>(colour >> 24)), 0.8f);
    }
}

static SpriteSource namePlateCell(int32_t n) {
    float col, row;
    if (n <= 21) {
        col = static_cast<float>(n / 7);
        row = static_cast<float>(n % 7);
    } else {
        col = static_cast<float>((n - 22) / 8);
        row = static_cast<float>(8 + (n - 22) % 8);
    }
    return SpriteSource{128.0f * col, 32.0f * row, 128.0f * col + 128.0f, 32.0f * row + 32.0f};
}

static void drawSpeechPanel(CounterState& c, int32_t slot) {
    int32_t slide = c.panelSlide[slot];
    if (slide <= 0) return;
    WindowPop pop = computeWindowPopCurve(slide, c.panelWanted[slot] == 0);
    bool shopkeeper = slot == SLOT_SHOPKEEPER;
    bindSpriteTexture(gShopModeTexture);
    addGrown(shopkeeper ? 352.0f : 288.0f, 376.0f, 448.0f, 176.0f, pop.scaleX, pop.scaleY, SHOPMODE_SPEECH_PANEL,
             gShopModeTexture, withAlpha(WHITE, pop.alpha), shopkeeper);
    flushSprites();
    if (slide >= NAME_PLATE_SLIDE) {
        int32_t type = shopkeeper ? 0 : c.customerType;
        int32_t n = type >= 0 && type < CUSTOMER_TYPE_COUNT ? gCustomerTypes[type].nameNumber : 0;
        int32_t alpha = (slide - NAME_PLATE_SLIDE + 1) * 255 / (COUNTER_PANEL_OPEN - NAME_PLATE_SLIDE + 1);
        bindSpriteTexture(gNamePlateTexture);
        addSpriteRect(shopkeeper ? 308.0f : 204.0f, 300.0f, 128.0f, 32.0f, namePlateCell(n < 0 ? 0 : n), gNamePlateTexture,
                      withAlpha(WHITE, alpha));
        flushSprites();
    }
    if (c.speechDone) {
        float left = SHOPMODE_MORE_LEFT + 64.0f * static_cast<float>(c.dayTimer / 5 % 5);
        bindSpriteTexture(gShopModeTexture);
        addSpriteRect(shopkeeper ? 468.0f : 368.0f, 404.0f, 64.0f, 64.0f,
                      SpriteSource{left, SHOPMODE_MORE_TOP, left + 64.0f, SHOPMODE_MORE_TOP + 64.0f}, gShopModeTexture, WHITE);
        flushSprites();
    }
    drawSpeechText(shopkeeper ? 250.0f : 130.0f, 346.0f, c.speechText, WHITE, 1.0f, c.shownChars);
}

float bonusRowTop(int32_t a) {
    int32_t frame = a > BONUS_MIRROR_FRAME ? 2 * BONUS_MIRROR_FRAME - a : a;
    float f = 0.1f * static_cast<float>(frame);
    if (f > 1.0f) f = 1.0f;
    return 400.0f - 16.0f * f;
}

static void drawBonusRows(const CounterState& c) {
    if (c.bonusTimer <= 0) return;
    int32_t rows = c.bonusRowCount < COUNTER_BONUS_ROWS ? c.bonusRowCount : COUNTER_BONUS_ROWS;
    for (int32_t i = 0; i < rows; i++) {
        int32_t a = c.bonusAnim[i];
        if (a <= 0) continue;
        int32_t kind = c.bonusKinds[i] >= 0 && c.bonusKinds[i] <= BONUS_TOTAL ? c.bonusKinds[i] : 0;
        float y = bonusRowTop(a);
        int32_t fadeFrom = kind == BONUS_TOTAL ? BONUS_TOTAL_FADE_FRAME : BONUS_FADE_FRAME;
        int32_t alpha = a > fadeFrom ? 255 - 17 * (a - fadeFrom) : 255;
        if (alpha <= 0) continue;
        float top = SHOPMODE_BONUS_TOP + 24.0f * static_cast<float>(kind);
        bindSpriteTexture(gShopModeTexture);
        addSpriteRect(16.0f, y, 128.0f, 24.0f, SpriteSource{SHOPMODE_BONUS_LEFT, top, SHOPMODE_BONUS_LEFT + 128.0f, top + 24.0f},
                      gShopModeTexture, withAlpha(WHITE, alpha));
        flushSprites();
        drawBonusNumber(152.0f, y, c.bonusValues[i], kind, alpha, kind != BONUS_TOTAL);
    }
}

// What the trend day's visitors are after: the item, or the category's word.
static const char* trendTarget(const CounterState& c) {
    if (c.trendItem > 0) {
        int32_t row = findItemDef(c.trendItem);
        if (row >= 0) return gItemDefinitions[row].name;
    }
    if (c.trendCategoryMask != 0) {
        for (const ItemCategoryCode& code : ITEM_CATEGORY_CODES)
            if (c.trendCategoryMask & code.flag) return code.word;
    }
    if (c.trendCategory >= 0 && c.trendCategory < ITEM_CATEGORY_COUNT) return gItemCategoryNames[c.trendCategory];
    return "";
}

static void drawTrendBanner(CounterState& c) {
    if (!c.trendDay) return;
    // Counting stops at the end, so the banner never comes back.
    if (c.trendBannerFrame < TREND_BANNER_FRAMES) c.trendBannerFrame++;
    if (c.trendBannerFrame >= TREND_BANNER_FRAMES) return;
    int32_t type = c.trendCustomerType >= 0 && c.trendCustomerType < CUSTOMER_TYPE_COUNT ? c.trendCustomerType : 0;
    char text[COUNTER_TEXT_SIZE];
    snprintf(text, sizeof text, "%s have come in great numbers, looking for the popular %s!", gCustomerTypes[type].groupName,
             trendTarget(c));
    drawText(640.0f - 6.0f * static_cast<float>(c.trendBannerFrame), 192.0f, text, WHITE, 2.2f);
}

void drawCounterWindow() {
    CounterState& c = gCounter;
    if (!c.shopOpening) return;
    drawSideTitle(c);
    drawItemPanel(c);
    drawPricePanel(c);
    drawChoiceButtons(c);
    drawSpeechPanel(c, SLOT_SHOPKEEPER);
    drawSpeechPanel(c, SLOT_CUSTOMER);
    if (c.infoFrame != 0 && getItemInfoState() != 0) drawItemInfoPanel();
    drawBonusRows(c);
    drawTrendBanner(c);
}
