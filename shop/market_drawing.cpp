// The market's and the guild's drawing; it only reads gMarket, the item
// list and the running game.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/dialogs.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "field/field.h"
#include "shop/counter_window.h"
#include "shop/fusion.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/item_windows.h"
#include "shop/market.h"
#include "shop/window_cells.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t MENU_GREY = 0xFF7F7F7F;
constexpr SpriteSource SYSTEM_BLACK = {9.0f, 1.0f, 15.0f, 7.0f};
constexpr SpriteSource BACKDROP = {0.0f, 0.0f, 640.0f, 480.0f};
constexpr SpriteSource WHOLE_PICTURE = {0.0f, 0.0f, 512.0f, 512.0f};
constexpr float MENU_PANEL_X = 256.0f;
constexpr float MENU_PANEL_Y = 40.0f;
constexpr float MENU_LABEL_X = 360.0f;
constexpr float MENU_FIRST_Y = 64.0f;
constexpr float MENU_ROW_STEP = 34.0f;
constexpr float MENU_SCALE_HIGHLIGHT = 1.0769231f;
constexpr float MENU_SCALE = 0.8615385f;
constexpr float SPEECH_TEXT_X = 250.0f;
constexpr float SPEECH_TEXT_Y = 348.0f;
constexpr float SPEECH_PANEL_X = 128.0f;
constexpr float SPEECH_PANEL_Y = 288.0f;
constexpr float TRADE_PANEL_W = 512.0f;
constexpr float TRADE_PANEL_H = 128.0f;

// The scene's own copy of the shop-mode sheet: the speech panel, the "more"
// arrow and the quantity window.
static const TextureSlot& shopModeSheet() { return gScenePictures[5]; }

static void drawCell(const TextureSlot& sheet, const SpriteSource& src, float x, float y, float w, float h,
                     uint32_t colour) {
    bindSpriteTexture(sheet);
    addSpriteRect(x, y, w, h, src, sheet, colour);
    flushSprites();
}

static uint32_t withAlpha(uint32_t rgb, int32_t alpha) {
    if (alpha < 0) alpha = 0;
    if (alpha > 255) alpha = 255;
    return (uint32_t)alpha << 24 | (rgb & 0xFFFFFF);
}

// 0..1, a slow pulse on the scene's frame counter.
static float pulse(float rate) { return 0.5f + 0.5f * std::sin((float)gMarket.frame * rate); }

static void drawNewTag(float x, float y) {
    drawText(x, y, "New", withAlpha(0xFFE040, 96 + (int32_t)(159.0f * pulse(0.15f))), 0.7f);
}

static void drawBackground() {
    if (gMarket.eventStarted) {
        drawCell(gSystemTexture, SYSTEM_BLACK, 0.0f, 0.0f, 640.0f, 480.0f, 0xFF000000);
        return;
    }
    drawCell(gScenePictures[0], BACKDROP, 0.0f, 0.0f, 640.0f, 480.0f, 0xFFFFFFFF);
    // The fairy keeps the heroine company at the market.
    if (gMarketMode == MARKET_MODE_MARKET) drawCell(gScenePictures[2], WHOLE_PICTURE, 24.0f, 72.0f, 192.0f, 192.0f, 0xFFFFFFFF);
}

static void drawMenuEntries(float x) {
    const MarketScene& m = gMarket;
    for (int32_t i = m.menuCount - 1; i >= 0; --i) {
        bool lit = i == m.menuCursor;
        float y = MENU_FIRST_Y + MENU_ROW_STEP * (float)i + (lit ? 0.0f : 2.0f);
        const char* label = marketMenuLabel(m.menuCodes[i]);
        float scale = lit ? MENU_SCALE_HIGHLIGHT : MENU_SCALE;
        float width = drawText(x, y, label, lit ? WHITE : MENU_GREY, scale);
        if (m.menuCodes[i] == MARKET_TALK && marketAnyTopicUnheard()) drawNewTag(x + width + 8.0f, y + 4.0f);
    }
}

static void drawTopics(float x) {
    const MarketScene& m = gMarket;
    for (int32_t row = 0; row < MARKET_TOPICS_VISIBLE; ++row) {
        int32_t topic = m.topicTop + row;
        if (topic >= MARKET_TOPIC_COUNT) break;
        bool lit = topic == m.topicCursor;
        float y = MENU_FIRST_Y + MENU_ROW_STEP * (float)row + (lit ? 0.0f : 2.0f);
        float width = drawText(x, y, MARKET_TOPICS[topic].label, lit ? WHITE : MENU_GREY, lit ? MENU_SCALE_HIGHLIGHT : MENU_SCALE);
        if (marketTopicUnheard(topic)) drawNewTag(x + width + 8.0f, y + 4.0f);
    }
    if (m.topicTop > 0) drawCell(gItemWindowTexture, ITEMWIN_ARROW_UP, MENU_PANEL_X + 56.0f, MENU_PANEL_Y, 64.0f, 48.0f, WHITE);
    if (m.topicTop + MARKET_TOPICS_VISIBLE < MARKET_TOPIC_COUNT)
        drawCell(gItemWindowTexture, ITEMWIN_ARROW_DOWN, MENU_PANEL_X + 56.0f, MENU_PANEL_Y + 272.0f, 64.0f, 48.0f, WHITE);
}

static void drawSpeechPanel() {
    const MarketScene& m = gMarket;
    if (m.panelSlide <= 0) return;
    float drop = 12.0f * (float)(MARKET_SPEECH_SLIDE - m.panelSlide);
    int32_t alpha = 17 * m.panelSlide;
    drawCell(shopModeSheet(), SHOPMODE_SPEECH_PANEL, SPEECH_PANEL_X, SPEECH_PANEL_Y + drop, 448.0f, 176.0f,
             withAlpha(0xFFFFFF, alpha));
    // The clerk, or the heroine at the market, beside the panel.
    drawCell(gScenePictures[1], WHOLE_PICTURE, -16.0f - 2.0f * drop, 224.0f, 256.0f, 256.0f, withAlpha(0xFFFFFF, alpha));
    if (m.panelSlide < MARKET_SPEECH_SLIDE) return;
    char line[DIALOG_LINE_BYTES];
    formatMarketSpeech(line, (int32_t)sizeof line);
    bool done = drawTypewriterText(SPEECH_TEXT_X, SPEECH_TEXT_Y, line, WHITE, 1.0f, 2 * m.speechChars);
    if (done && (m.speechTimer / 16) % 2 == 0) {
        float left = SHOPMODE_MORE_LEFT + 64.0f * (float)((m.speechTimer / 5) % 5);
        SpriteSource more = {left, SHOPMODE_MORE_TOP, left + 64.0f, SHOPMODE_MORE_TOP + 64.0f};
        drawCell(shopModeSheet(), more, 468.0f, 404.0f, 64.0f, 64.0f, WHITE);
    }
}

void drawMarketPanels() {
    const MarketScene& m = gMarket;
    // The menu slides off to the right while a list opens, and back.
    bool listCode = m.openingCode == MARKET_BUY || m.openingCode == MARKET_SELL || m.openingCode == MARKET_FUSION;
    int32_t slide = m.screen == MARKET_SCREEN_MENU ? m.closing : listCode ? std::min(m.opening, MARKET_OPEN_FRAMES) : 0;
    float shift = 384.0f * (float)slide / (float)MARKET_OPEN_FRAMES;
    if (shift < 384.0f) {
        drawCell(gItemWindowTexture, ITEMWIN_LIST_FRAME, MENU_PANEL_X + shift, MENU_PANEL_Y, 400.0f, 320.0f, WHITE);
        if (m.screen == MARKET_SCREEN_TOPICS) drawTopics(MENU_LABEL_X + shift);
        else drawMenuEntries(MENU_LABEL_X + shift);
    }
    drawSpeechPanel();
}

void drawTradeConfirm() {
    const TradeConfirm& c = gMarket.confirm;
    if (c.openCounter <= 0) return;
    float s = (float)c.openCounter / 4.0f;
    float w = TRADE_PANEL_W * s, h = TRADE_PANEL_H * s;
    drawCell(shopModeSheet(), SHOPMODE_QUANTITY_PANEL, 320.0f - w / 2.0f, 224.0f - h / 2.0f, w, h, MENU_GREY);
    if (c.openCounter < 4) return;
    const char* name = "";
    int32_t row = findItemDisplayRow(c.itemKey);
    if (row >= 0) name = gItemDefinitions[row].name;
    char prompt[DIALOG_LINE_BYTES];
    snprintf(prompt, sizeof prompt, c.buying ? "x %s - buy these?" : "x %s - sell these?", name);
    float left = 320.0f - getTextWidth(prompt, 0.8f) / 2.0f;
    drawText(left, 200.0f, prompt, WHITE, 0.8f);
    char number[8];
    snprintf(number, sizeof number, "%2d", c.quantity);
    int32_t grey = 0xA0 + (int32_t)(95.0f * pulse(0.25f));
    // Full size, 4 higher than the prompt: the number the arrows change
    // stands on the prompt's line.
    drawTextRight(left - 6.0f, 196.0f, number, 0xFF000000u | (uint32_t)grey << 16 | (uint32_t)grey << 8 | 0x40u, 1.0f);
    int64_t total = (int64_t)c.quantity * c.unitPrice;
    char amount[THOUSANDS_TEXT_SIZE];
    formatThousands(amount, THOUSANDS_TEXT_SIZE, total > INT32_MAX ? INT32_MAX : (int32_t)total);
    char priceLine[48];
    snprintf(priceLine, sizeof priceLine, "Total- %s gold", amount);
    drawText(112.0f, 240.0f, priceLine, WHITE, 0.8f);
    for (int32_t k = 0; k < 2; ++k) {
        bool flashing = c.answer == k + 1 && c.answerFrames <= 4 && c.answerFrames % 2 == 1;
        drawText(380.0f + 92.0f * (float)k, 240.0f, k == 0 ? "Yes" : "No", flashing ? 0xFFFFE040 : WHITE, 0.8f);
    }
    // The arrows above and below the quantity.
    if (c.quantity < c.maxQuantity) drawCell(gItemWindowTexture, ITEMWIN_ARROW_UP, left - 36.0f, 174.0f, 32.0f, 24.0f, WHITE);
    if (c.quantity > 1) drawCell(gItemWindowTexture, ITEMWIN_ARROW_DOWN, left - 36.0f, 218.0f, 32.0f, 24.0f, WHITE);
}

void drawMarketScreen() {
    drawBackground();
    drawMarketPanels();
    const MarketScene& m = gMarket;
    if (m.openingCode == MARKET_FUSION && m.screen != MARKET_SCREEN_MENU) drawFusionWindow(m.opening);
    else drawItemListWindow(0.0f, 0.0f);
    drawYesNoWindow();
    drawTradeConfirm();
    drawPointer();
    drawMessageWindow();
}

void drawMarketScene() {
    set2DRenderStates();
    drawMarketScreen();
    drawHudBar();
}
