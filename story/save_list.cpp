#include "story/save_list.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "story/game_records.h"
#include "story/title.h"

int32_t gSlotListCount;

constexpr float PI_F = std::numbers::pi_v<float>;
constexpr float PAGE_WIDTH = 640.0f;
constexpr float TEXT_SCALE = 0.8f;
constexpr int32_t DAY_NUMBER_MAX = 9999;
constexpr int32_t TICKS_PER_HOUR = 216000;
constexpr int32_t HOURS_SHOWN_MAX = 999;

// Cells of the item window picture.
constexpr SpriteSource SLOT_PLATE = {0.0f, 320.0f, 640.0f, 480.0f};
constexpr SpriteSource SUMMARY_PLATE = {480.0f, 0.0f, 768.0f, 128.0f};
constexpr SpriteSource ENDLESS_MARK = {288.0f, 480.0f, 383.0f, 575.0f};
constexpr SpriteSource ARROW_UP = {448.0f, 896.0f, 512.0f, 944.0f};
constexpr SpriteSource ARROW_DOWN = {512.0f, 896.0f, 576.0f, 944.0f};
constexpr SpriteSource MONEY_SIGN = {776.0f, 144.0f, 830.0f, 174.0f};
constexpr SpriteSource COMMA = {752.0f, 144.0f, 776.0f, 176.0f};
constexpr float DIGIT_LEFT = 512.0f;   // large digit d at (512 + 24 d, 144)-(536 + 24 d, 168)
constexpr float DIGIT_TOP = 144.0f;
constexpr float DIGIT_CELL = 24.0f;
constexpr float LEVEL_DIGIT_TOP = 848.0f;   // level digit d at (32 d, 848)-(32 d + 32, 888)
// The dial hand, in texture fractions, and its edges around its pivot.
constexpr SpriteUv DIAL_HAND_UV = {465.0f / 1024.0f, 129.0f / 1024.0f, 495.0f / 1024.0f, 191.0f / 1024.0f};
constexpr RotatedCorners DIAL_HAND_CORNERS = {-16.0f, -54.0f, 16.0f, 10.0f};
// The level plate of the pause sheet.
constexpr SpriteSource LEVEL_PLATE = {720.0f, 368.0f, 864.0f, 416.0f};

void listAllSaveSlots() {
    for (int32_t k = 0; k < SAVE_SLOT_COUNT; ++k) gTitle.slotList[k] = k;
    gSlotListCount = SAVE_SLOT_COUNT;
}

void listClearDataSlots() {
    int32_t n = 0;
    for (int32_t k = 0; k < SAVE_SLOT_COUNT; ++k)
        if (gSaveImage.slots[k].playMode == PLAY_MODE_ENDLESS && gTitle.slotHasCard[k]) gTitle.slotList[n++] = k;
    gSlotListCount = n;
    for (int32_t k = n; k < SAVE_SLOT_COUNT; ++k) gTitle.slotList[k] = 0;
}

bool isCardSlot(int32_t slot) {
    if (slot < 0 || slot >= SAVE_SLOT_COUNT) return false;
    const GameState& game = gSaveImage.slots[slot];
    return game.playTicks > 0 && game.playMode == PLAY_MODE_ENDLESS && gTitle.slotHasCard[slot];
}

// One step of a scroll animation away from 0; true on the step that ends it.
static bool stepScroll(int32_t& scroll) {
    scroll += scroll > 0 ? 1 : -1;
    return scroll == SLOT_LIST_SCROLL_END || scroll == -SLOT_LIST_SCROLL_END;
}

int32_t navigateSlotList(const SlotListCursor& list, int32_t count, uint16_t repeat) {
    if (list.scrollByOne != 0) {
        if (stepScroll(list.scrollByOne)) {
            list.top += list.scrollByOne > 0 ? 1 : -1;
            list.scrollByOne = 0;
        }
        return 0;
    }
    if (list.scrollByThree != 0) {
        if (stepScroll(list.scrollByThree)) {
            if (list.scrollByThree > 0) {
                list.top += SLOT_LIST_VISIBLE;
                if (list.top > count - SLOT_LIST_VISIBLE) list.top = count - SLOT_LIST_VISIBLE;
            } else {
                list.top -= SLOT_LIST_VISIBLE;
                if (list.top < 0) list.top = 0;
            }
            list.scrollByThree = 0;
        }
        return 0;
    }
    int32_t visible = count < SLOT_LIST_VISIBLE ? count : SLOT_LIST_VISIBLE;
    if ((repeat & BUTTON_LEFT) && list.cursor > 0 && list.top > 0) {
        list.cursor -= SLOT_LIST_VISIBLE;
        if (list.cursor < 0) list.cursor = 0;
        if (list.cursor < list.top) list.scrollByThree = -1;
        return 1;
    }
    if ((repeat & BUTTON_RIGHT) && list.cursor < count - 1 && list.top < count - SLOT_LIST_VISIBLE) {
        list.cursor += SLOT_LIST_VISIBLE;
        if (list.cursor > count - 1) list.cursor = count - 1;
        if (list.cursor - list.top > visible - SLOT_LIST_VISIBLE) list.scrollByThree = 1;
        return 1;
    }
    if ((repeat & BUTTON_UP) && list.cursor > 0) {
        list.cursor -= 1;
        if (list.cursor < list.top) list.scrollByOne = -1;
        return 1;
    }
    if ((repeat & BUTTON_DOWN) && list.cursor < count - 1) {
        list.cursor += 1;
        if (list.cursor - list.top > visible - 1) list.scrollByOne = 1;
        return 1;
    }
    return 0;
}

SlotRowLook slotRowLook(bool underCursor, bool dimmed, int32_t listFrame, int32_t flash) {
    if (!underCursor) return SlotRowLook{dimmed ? 32 : 95, 200, dimmed ? 64 : 95, 200};
    int32_t plate = 159 + (int32_t)(32.0f * std::sin(0.1f * (float)listFrame));
    if (dimmed) plate -= 64;
    int32_t flashGrey = flash > 0 ? (int32_t)(128.0f * std::sin(PI_F * (float)flash / 30.0f)) : 0;
    int32_t text = dimmed ? 64 : 127 + flashGrey;
    return SlotRowLook{std::clamp(plate + flashGrey, 0, 255), 255, std::clamp(text, 0, 255), 255};
}

void formatPlayTime(char* out, int32_t size, int32_t playTicks) {
    int32_t ticks = playTicks < 0 ? 0 : playTicks;
    int32_t hours = ticks / TICKS_PER_HOUR;
    int32_t minutes = ticks / 3600 % 60;
    int32_t seconds = ticks / 60 % 60;
    if (hours > HOURS_SHOWN_MAX) {
        hours = HOURS_SHOWN_MAX;
        minutes = 59;
        seconds = 59;
    }
    snprintf(out, (size_t)size, "TIME %3d:%02d:%02d", hours, minutes, seconds);
}

int32_t shownDayNumber(int32_t date) {
    if (date >= DAY_NUMBER_MAX) return DAY_NUMBER_MAX;
    return date < 0 ? 1 : date + 1;
}

const char* playModeTag(int32_t playMode, int32_t survivalHell) {
    switch (playMode) {
    case PLAY_MODE_ENDLESS: return "Endless";
    case PLAY_MODE_NEW_GAME_PLUS: return "New Game+";
    case PLAY_MODE_SURVIVAL: return survivalHell ? "Survival Hell" : "Normal Survival";
    default: return nullptr;
    }
}

// The large digits of the item window, right-aligned: the last digit ends 16
// pixels left of x. Money has the gold mark at the right end and a comma
// every three digits.
static void drawSlotNumber(float x, float y, int32_t value, bool money, uint32_t argb) {
    char digits[16];
    int32_t n = snprintf(digits, sizeof digits, "%d", value < 0 ? 0 : value);
    if (money) {
        addSpriteRect(x - 67.5f, y, 54.0f, 30.0f, MONEY_SIGN, gItemWindowTexture, argb);
        x -= 59.5f;
    }
    for (int32_t k = 1; k <= n; ++k) {
        if (money && k != 1 && k % 3 == 1) {
            addSpriteRect(x - 16.0f, y, 24.0f, 32.0f, COMMA, gItemWindowTexture, argb);
            x -= 4.0f;
        }
        x -= 16.0f;
        float d = (float)(digits[n - k] - '0');
        addSpriteRect(x, y, 24.0f, 24.0f, SpriteSource{DIGIT_LEFT + DIGIT_CELL * d, DIGIT_TOP, DIGIT_LEFT + DIGIT_CELL * (d + 1), DIGIT_TOP + DIGIT_CELL},
             gItemWindowTexture, argb);
    }
}

// The merchant level (0-based) shown + 1 in the level digits, at most two,
// 20 pixels apart, from x - 8 for one digit and x - 20 for two.
static void drawLevelDigits(float x, float y, int32_t level, uint32_t argb) {
    int32_t shown = level + 1 < 1 ? 1 : level + 1 > 99 ? 99 : level + 1;
    char digits[4];
    int32_t n = snprintf(digits, sizeof digits, "%d", shown);
    float left = n == 1 ? x - 8.0f : x - 20.0f;
    for (int32_t i = 0; i < n; ++i) {
        float d = (float)(digits[i] - '0');
        addSpriteRect(left + 20.0f * (float)i, y, 32.0f, 40.0f, SpriteSource{32.0f * d, LEVEL_DIGIT_TOP, 32.0f * d + 32.0f, LEVEL_DIGIT_TOP + 40.0f},
             gItemWindowTexture, argb);
    }
}

// The day number's right edge by its digit count.
static float dayNumberX(float px, int32_t day) {
    if (day < 10) return px + 192.0f;
    if (day < 100) return px + 196.0f;
    if (day < 1000) return px + 200.0f;
    return px + 210.0f;
}

static void drawSavedGame(float px, float py, const GameState& game, uint32_t colour) {
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(px + 80.0f, py + 16.0f, 288.0f, 128.0f, SUMMARY_PLATE, gItemWindowTexture, colour);
    if (game.playMode == PLAY_MODE_ENDLESS) addSpriteRect(px + 544.0f, py + 32.0f, 96.0f, 96.0f, ENDLESS_MARK, gItemWindowTexture, colour);
    flushSprites();
    drawRotatedQuad(px + 132.0f, py + 88.0f, PI_F / 2.0f - PI_F / 3.0f * (float)game.dayPhase, DIAL_HAND_CORNERS, DIAL_HAND_UV,
                    colour);
    int32_t day = shownDayNumber(game.date);
    drawSlotNumber(dayNumberX(px, day), py + 92.0f, day, false, colour);
    drawSlotNumber(px + 352.0f, py + 44.0f, game.money, true, colour);
    flushSprites();
    bindSpriteTexture(gPauseTextures[0]);
    addSpriteRect(px + 240.0f, py + 76.0f, 144.0f, 48.0f, LEVEL_PLATE, gPauseTextures[0], colour);
    flushSprites();
    bindSpriteTexture(gItemWindowTexture);
    drawLevelDigits(px + 392.0f, py + 80.0f, game.merchantLevel, colour);
    flushSprites();

    char text[32];
    drawText(px + 432.0f, py + 32.0f, "SCORE", colour, TEXT_SCALE);
    snprintf(text, sizeof text, "%8d", game.totalScore);
    drawTextRight(px + 546.0f, py + 32.0f, text, colour, TEXT_SCALE);
    drawText(px + 432.0f, py + 64.0f, "LOOP ", colour, TEXT_SCALE);
    snprintf(text, sizeof text, "%3d", game.loopCount + 1);
    drawTextRight(px + 546.0f, py + 64.0f, text, colour, TEXT_SCALE);
    formatPlayTime(text, sizeof text, game.playTicks);
    drawText(px + 432.0f, py + 96.0f, text, colour, TEXT_SCALE);
    const char* tag = playModeTag(game.playMode, game.survivalHell);
    if (tag) drawText(px + 464.0f, py + 120.0f, tag, colour, TEXT_SCALE);
}

// One row: the plate, the slot number and the saved game's summary, or NO-DATA.
static void drawSlotRow(float px, float py, int32_t position, int32_t cursor, int32_t alphaOverride, int32_t flash) {
    int32_t slot = gTitle.slotList[position];
    if (slot < 0 || slot >= SAVE_SLOT_COUNT) return;
    bool dimmed = gTitle.cardListMode && !isCardSlot(slot);
    SlotRowLook look = slotRowLook(position == cursor, dimmed, gTitle.slotListFrame, flash);
    if (alphaOverride >= 0) look.plateAlpha = look.textAlpha = alphaOverride;
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(px, py, 640.0f, 160.0f, SLOT_PLATE, gItemWindowTexture, greyArgb(look.plateAlpha, look.plateGrey));
    flushSprites();
    uint32_t colour = greyArgb(look.textAlpha, look.textGrey);
    char number[8];
    snprintf(number, sizeof number, "%03d", slot + 1);
    drawText(px + 16.0f, py + 64.0f, number, colour, 1.0f);
    const GameState& game = gSaveImage.slots[slot];
    if (game.playTicks == 0) {
        drawText(px + 240.0f, py + 64.0f, "NO-DATA", colour, 1.0f);
        return;
    }
    drawSavedGame(px, py, game, colour);
}

// Rows top - 1 .. top + 3 of the page starting at top, drawn at plate x px.
static void drawPage(float px, int32_t top, int32_t cursor, int32_t rowScroll, int32_t flash) {
    for (int32_t i = 0; i < 5; ++i) {
        int32_t position = top - 1 + i;
        if (position < 0 || position >= gSlotListCount) continue;
        int32_t alpha = -1;
        if (i == 0) {
            if (rowScroll >= 0) continue;
            alpha = 51 * -rowScroll;
        } else if (i == 1 && rowScroll > 0) {
            alpha = 51 * (SLOT_LIST_SCROLL_END - rowScroll);
        }
        float py = SLOT_ROW_HEIGHT * (float)i - 92.0f - 28.0f * (float)rowScroll;
        drawSlotRow(px, py, position, cursor, alpha, flash);
    }
}

void drawSaveSlotList(float x, int32_t cursor, int32_t top, int32_t pageScroll, int32_t rowScroll, int32_t flash) {
    ++gTitle.slotListFrame;
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    float px = x - 128.0f * (float)pageScroll;
    drawPage(px, top, cursor, rowScroll, flash);
    // The neighbouring pages slide in with a page scroll; only the list
    // standing fully open shows them.
    if (x == 0.0f) {
        drawPage(px - PAGE_WIDTH, top - SLOT_LIST_VISIBLE, cursor, rowScroll, flash);
        drawPage(px + PAGE_WIDTH, top + SLOT_LIST_VISIBLE, cursor, rowScroll, flash);
    }
    bindSpriteTexture(gItemWindowTexture);
    uint32_t arrow = greyArgb(255, 127);
    if (top > 0) addSpriteRect(x, 64.0f, 64.0f, 48.0f, ARROW_UP, gItemWindowTexture, arrow);
    if (top < gSlotListCount - SLOT_LIST_VISIBLE) addSpriteRect(x, 408.0f, 64.0f, 48.0f, ARROW_DOWN, gItemWindowTexture, arrow);
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
}

void resetSaveListState() { gSlotListCount = 0; }
