// The day report's and the item choice's drawing, and the run-result band;
// they only read gDayReport, gItemChoice and the running game.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "dungeon/dungeon.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "field/field.h"
#include "shop/day_end.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/item_windows.h"
#include "shop/window_cells.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr float PANEL_REST_Y = 120.0f;
constexpr int32_t PANEL_STAGGER = 8;
constexpr int32_t PANEL_BOUNCE = 30;
constexpr int32_t TITLES_FROM = 20;
constexpr int32_t TOTALS_FROM = 30;
constexpr int32_t STAMP_FROM = 61;
constexpr int32_t STAMP_ZOOM = 10;
constexpr int32_t WEEK_LABEL_FROM = 31;
constexpr int32_t BOARD_NUMBERS_FROM = 61;
constexpr int32_t RESULT_STAMP_AFTER = 80;
constexpr float BAND_X = 80.0f;

static TextureSlot& boardPicture() { return gScenePictures[0]; }
static TextureSlot& stampPicture() { return gScenePictures[2]; }

static uint32_t alphaOf(float a, uint32_t rgb = 0xFFFFFF) {
    if (a < 0.0f) a = 0.0f;
    if (a > 1.0f) a = 1.0f;
    return static_cast<uint32_t>(a * 255.0f) << 24 | (rgb & 0xFFFFFF);
}

static void drawCell(const TextureSlot& sheet, const SpriteSource& src, float x, float y, float w, float h, uint32_t colour) {
    bindSpriteTexture(sheet);
    addSpriteRect(x, y, w, h, src, sheet, colour);
    flushSprites();
}

void drawUpArrow(float x, float y, uint32_t colour) { drawCell(boardPicture(), REPORT_ARROW_UP, x - 32.0f, y - 24.0f, 64.0f, 48.0f, colour); }
void drawDownArrow(float x, float y, uint32_t colour) {
    drawCell(boardPicture(), REPORT_ARROW_DOWN, x - 32.0f, y - 24.0f, 64.0f, 48.0f, colour);
}

static int32_t boardGlyph(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    const char* extra = strchr(REPORT_BOARD_EXTRA, ch);
    return extra && ch != 0 ? 10 + static_cast<int32_t>(extra - REPORT_BOARD_EXTRA) : -1;
}

void drawBoardDigits(float x, float y, const char* text, uint32_t colour) {
    const TextureSlot& sheet = boardPicture();
    bindSpriteTexture(sheet);
    for (const char* p = text; *p; ++p) {
        if (*p == ' ') continue;
        int32_t glyph = boardGlyph(*p);
        if (glyph >= 0) {
            float left = REPORT_DIGIT_LEFT + REPORT_DIGIT_SIZE * static_cast<float>(glyph);
            SpriteSource src = {left, REPORT_DIGIT_TOP, left + REPORT_DIGIT_SIZE, REPORT_DIGIT_TOP + REPORT_DIGIT_SIZE};
            addSpriteRect(x, y, REPORT_DIGIT_SIZE, REPORT_DIGIT_SIZE, src, sheet, colour);
        }
        x += p[1] == ',' ? 16.0f : 32.0f;
    }
    flushSprites();
}

static void drawStamp(int32_t cell, float cx, float cy, float scale, uint32_t colour) {
    float top = 128.0f * static_cast<float>(cell);
    SpriteSource src = {0.0f, top, 128.0f, top + 128.0f};
    float size = 128.0f * scale;
    drawCell(stampPicture(), src, cx - size / 2.0f, cy - size / 2.0f, size, size, colour);
}

// A zoom from `from` times the size down to 1 over `frames` frames.
static float zoom(int32_t frame, float from, int32_t frames) {
    if (frame >= frames) return 1.0f;
    return from - (from - 1.0f) * static_cast<float>(frame) / static_cast<float>(frames);
}

// --- the report ------------------------------------------------------------------------

static const char* const LOG_TITLES[DAY_LOG_COUNT] = {"Sold", "Bough\x82\x94", "Found"};

static void itemName(char* out, int32_t size, int32_t key) {
    out[0] = 0;
    int32_t row = key >= 0 ? findItemDef(itemKeyId(key)) : -1;
    if (row < 0) return;
    snprintf(out, static_cast<size_t>(size), "%.*s", ITEM_NAME_SIZE, gItemDefinitions[row].name);
}

// A damped bounce onto the resting line over PANEL_BOUNCE frames.
static float panelDrop(int32_t frame) {
    if (frame >= PANEL_BOUNCE) return PANEL_REST_Y;
    float t = static_cast<float>(frame) / static_cast<float>(PANEL_BOUNCE);
    float height = 480.0f * (1.0f - t) * (1.0f - t) * std::fabs(std::cos(3.0f * 3.14159265f * t));
    return PANEL_REST_Y - height;
}

static void drawLogPanels(float alpha) {
    const DayReportState& r = gDayReport;
    const GameState& game = runningGameState();
    for (int32_t list = 0; list < DAY_LOG_COUNT; list++) {
        int32_t frame = r.panelFrame - PANEL_STAGGER * list;
        if (frame <= 0) continue;
        bool selected = list == r.selectedList;
        float x = 208.0f * static_cast<float>(list);
        float y = panelDrop(frame) - (selected ? 32.0f : 0.0f);
        uint32_t colour = alphaOf(alpha, selected ? 0xFFFFFF : 0xA0A0A0);
        drawCell(boardPicture(), REPORT_LOG_PANEL, x, y, 224.0f, 224.0f, colour);
        drawCell(boardPicture(), REPORT_TITLE_PLATE, x + 18.0f, y - 40.0f, 188.0f, 64.0f, colour);
        drawTextCentered(x + 112.0f, y - 26.0f, LOG_TITLES[list], colour, 1.0f);
        int32_t count = game.dayLogCounts[list];
        int32_t scroll = r.scroll[list];
        char name[ITEM_NAME_SIZE + 1];
        for (int32_t row = 0; row < LOG_ROWS_SHOWN; row++) {
            int32_t entry = scroll + row;
            if (entry < 0 || entry >= count || entry >= DAY_LOG_ENTRIES) break;
            itemName(name, sizeof name, game.dayLogs[list][entry]);
            drawText(x + 16.0f, y + 34.0f + 26.0f * static_cast<float>(row), name, colour, 0.7f);   // below the title plate
        }
        if (scroll > 0) drawUpArrow(x + 112.0f, y + 12.0f, colour);
        if (scroll + LOG_ROWS_SHOWN < count) drawDownArrow(x + 112.0f, y + 212.0f, colour);
    }
}

static void drawTotals(float alpha) {
    const DayReportState& r = gDayReport;
    const GameState& game = runningGameState();
    if (r.panelFrame >= TITLES_FROM) {
        float scale = zoom(r.panelFrame - TITLES_FROM, 2.0f, 10);
        char day[32];
        snprintf(day, sizeof day, "Day %d", r.reportDay + 1);
        drawTextCentered(320.0f, 8.0f, "Daily Profits", alphaOf(alpha), scale);
        drawTextCentered(320.0f, 48.0f, day, alphaOf(alpha), scale);
    }
    if (r.panelFrame < TOTALS_FROM) return;
    int32_t t = r.panelFrame - TOTALS_FROM;
    float slide = t < 20 ? 64.0f * static_cast<float>(20 - t) / 20.0f : 0.0f;
    uint32_t colour = alphaOf(alpha * (t < 20 ? static_cast<float>(t) / 20.0f : 1.0f));
    char text[64];
    if (r.shownProfit > 0) snprintf(text, sizeof text, "+%d", r.shownProfit);
    else snprintf(text, sizeof text, "%d", r.shownProfit);
    drawText(288.0f + slide, 408.0f, "Profits", colour, 1.0f);
    drawTextRight(576.0f + slide, 408.0f, text, colour, 1.0f);
    int32_t total = r.totalBefore + r.shownScore;
    if (game.dayScore > 0) snprintf(text, sizeof text, "%8d(+%d)", total, r.shownScore);
    else snprintf(text, sizeof text, "%8d(%d)", total, r.shownScore);
    drawText(288.0f + slide, 440.0f, "Score Difference", colour, 1.0f);
    drawTextRight(632.0f + slide, 440.0f, text, colour, 1.0f);
}

// "1,234,567": thousands apart with commas.
static void groupDigits(char* out, int32_t size, int32_t value) { formatThousands(out, size, value); }

void drawPaymentBoard() {
    const DayReportState& r = gDayReport;
    const GameState& game = runningGameState();
    float slide = 640.0f - 32.0f * static_cast<float>(r.paymentFrame);
    float x = 64.0f + (slide > 0.0f ? slide : 0.0f) + static_cast<float>(r.shakeX);
    float y = 48.0f + static_cast<float>(r.shakeY);
    drawCell(boardPicture(), REPORT_PAYMENT_BOARD, x, y, 512.0f, 384.0f, WHITE);
    if (r.paymentFrame >= WEEK_LABEL_FROM) {
        if (game.playMode == PLAY_MODE_SURVIVAL || game.playMode == PLAY_MODE_ENDLESS) {
            char label[64];
            snprintf(label, sizeof label, "S#%d", game.date / 7);
            drawBoardDigits(x + 32.0f, y + 24.0f, label, WHITE);
            snprintf(label, sizeof label, "%dP", r.quota);
            drawBoardDigits(x + 224.0f, y + 24.0f, label, WHITE);
        } else {
            int32_t row = (game.weekEndDay - 1) / 7;
            if (row < 0) row = 0;
            if (row >= REPORT_WEEK_ROWS) row = REPORT_WEEK_ROWS - 1;
            float top = REPORT_WEEK_TOP + REPORT_WEEK_HEIGHT * static_cast<float>(row);
            SpriteSource src = {REPORT_WEEK_LEFT, top, REPORT_WEEK_LEFT + REPORT_WEEK_WIDTH, top + REPORT_WEEK_HEIGHT};
            drawCell(boardPicture(), src, x + 96.0f, y + 24.0f, REPORT_WEEK_WIDTH, REPORT_WEEK_HEIGHT, WHITE);
        }
    }
    if (r.paymentFrame >= BOARD_NUMBERS_FROM) {
        char digits[32];
        groupDigits(digits, sizeof digits, r.quota);
        drawBoardDigits(x + 160.0f, y + 120.0f, digits, WHITE);
        groupDigits(digits, sizeof digits, r.paid);
        drawBoardDigits(x + 160.0f, y + 216.0f, digits, WHITE);
    }
    if (r.payEndFrame > 0) {
        int32_t frame = r.paymentFrame - (r.payEndFrame - 10) - RESULT_STAMP_AFTER;
        if (frame >= 0) drawStamp(r.paidShort ? STAMP_SHORT : STAMP_PAID, x + 420.0f, y + 300.0f, zoom(frame, 3.0f, STAMP_ZOOM), WHITE);
    }
    drawHudBar();
}

void drawDayReport() {
    const DayReportState& r = gDayReport;
    float alpha = 1.0f - 0.05f * static_cast<float>(r.paymentFrame);
    if (alpha > 0.0f) {
        drawLogPanels(alpha);
        drawTotals(alpha);
        if (r.timer >= STAMP_FROM && r.rank >= 0 && r.rank < REPORT_RANK_COUNT)
            // Zoomed about (544, 96), so at rest it ends inside the screen's right edge.
            drawStamp(r.rank, 544.0f, 96.0f, zoom(r.timer - STAMP_FROM, 3.0f, STAMP_ZOOM), alphaOf(alpha));
    }
    // The coin shower of a paid week, over the panels and under the board.
    drawEffectObjects3D();
    if (r.paymentDay) drawPaymentBoard();
}

// --- the item choice -------------------------------------------------------------------

static const char* const CHOICE_PROMPTS[CHOSEN_ITEMS_MAX] = {
    "Please select 1 item.",
    "Please select 2 items.",
    "Please select 3 items.",
};

void drawItemChoice() {
    const DayReportState& r = gDayReport;
    if (r.intro) return;
    if (!r.wholeBag) {
        int32_t slots = itemChoiceSlots(runningGameState().merchantLevel);
        drawText(16.0f, 48.0f, CHOICE_PROMPTS[slots - 1], WHITE, 0.8f);
    }
    drawItemListWindow(0.0f, 0.0f);
    drawItemInfoPanel();
}

static const char* const BAND_TEXTS[3] = {"Defeated...", "Back through the gate", "Dungeon cleared!"};

void drawLoadingBand() {
    if (gRun.runEndTimer <= 0 || gRun.runEndState < 1 || gRun.runEndState > 3) return;
    float y = 2.0f * static_cast<float>(gRun.runEndTimer) - 120.0f;
    if (y > 96.0f) y = 96.0f;
    if (gRun.runEndTimer >= 120) {
        y = 96.0f - 6.0f * static_cast<float>(gRun.runEndTimer - 120);
        if (y < -48.0f) y = -48.0f;
    }
    drawCell(gItemWindowTexture, ITEMWIN_LIST_FRAME, BAND_X, y, 480.0f, 128.0f, WHITE);
    drawTextCentered(BAND_X + 240.0f, y + 48.0f, BAND_TEXTS[gRun.runEndState - 1], WHITE, 1.2f);
}
