#include "field/hud_shop.h"
#include "engine/math.h"

#include <cmath>
#include <cstdio>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/sprites.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "field/field_camera.h"
#include "field/hud.h"
#include "field/hud_bar.h"
#include "field/hud_cells.h"
#include "shop/shop.h"

const char* const FIRST_MENU_LABELS[FIRST_MENU_ENTRY_COUNT] = {
    "Open Store", "Change Flooring", "Change Walls", "Change Rug", "Change Tables", "Move Tables", "Cancel"};
const char* const SECOND_MENU_LABELS[SECOND_MENU_ENTRY_COUNT] = {
    "Store Atmosphere", "Selling Lecture", "Buying Lecture",    "Orders Lecture", "Never Mind",
    "Merchant Level",   "Time Lecture",    "Yoss's Lectures", "News Summary",   "Outstanding Orders"};
const char* const LECTURE_LABELS[LECTURE_ENTRY_COUNT] = {"Selling Lecture", "Buying Lecture", "Orders Lecture"};

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t HALF_GREY = 0xFF7F7F7F;
constexpr int32_t VENDING_SMALL = 5201;
constexpr int32_t VENDING_MEDIUM = 5202;

static const char* menuLabel(const char* const* labels, int32_t count, int32_t id) {
    return id >= 0 && id < count ? labels[id] : "";
}

int32_t vendingCapacity(int32_t machineKey) {
    int32_t id = itemKeyId(machineKey);
    return id == VENDING_SMALL ? 6 : id == VENDING_MEDIUM ? 8 : 10;
}

static uint32_t trendColour(int32_t trend) {
    if (trend >= 2) return 0xFFFF0000;
    if (trend == 1) return 0xFFFF4D4D;
    if (trend == 0) return HALF_GREY;
    if (trend == -1) return 0xFF4D4DFF;
    return 0xFF0000FF;
}

static void drawShelfLabel(const GameState& g) {
    if (gShopFloor.shopFloorState != SHOP_FLOOR_WALKING && gShopFloor.shopFloorState != SHOP_FLOOR_ITEM_INFO) return;
    int32_t c = gShopPlacement.placementCell.x, r = gShopPlacement.placementCell.z;
    if (c < 0 || r < 0 || c >= SHELF_CELLS || r >= SHELF_ROWS) return;
    int32_t key = g.shelves[r][c];
    int32_t machine = gShopPlacement.shopEditState[1];
    bool vending = machine > 0 && machine <= SHELF_COUNT;
    if (key < 0 && !vending) return;
    ScreenPoint p;
    mapWorldToScreen(2.0f * c - 9.0f, 1.9f, 2.0f * r - 6.5f, &p);
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(p.x - 26.0f, p.y - 16.0f, 164.0f, 80.0f, ITEMWIN_SHELF_LABEL, gItemWindowTexture, WHITE);
    flushSprites();
    char text[ITEM_NAME_SIZE + 16];
    if (!vending) {
        formatHudItemName(text, sizeof text, key, true);
        setSpriteColourOp(GFX_TOP_ADDSIGNED);
        drawTextCentered(p.x + 52.0f, p.y + 26.0f, text, trendColour(getTrendForItem(key)), 0.6f);
        setSpriteColourOp(GFX_TOP_MODULATE);
        return;
    }
    int32_t shelf = machine - 1;
    int32_t machineKey = g.vendingModes[shelf];
    formatHudItemName(text, sizeof text, machineKey, false);
    drawTextCentered(p.x + 52.0f, p.y + 18.0f, text, WHITE, 0.6f);
    int32_t filled = 0;
    for (int32_t slot : g.vendingStock[shelf])
        if (slot != -1) ++filled;
    snprintf(text, sizeof text, "(%d/%d)", filled, vendingCapacity(machineKey));
    drawTextCentered(p.x + 52.0f, p.y + 34.0f, text, WHITE, 0.6f);
}

static void drawExperienceGauge(const GameState& g) {
    float ox = static_cast<float>(gHudTimers.shakeX), y0 = 424.0f + gHudTimers.shakeY;
    int32_t v = std::abs(static_cast<int32_t>(64.0f * std::sin(gHudTimers.gaugePulse * PI / 30.0f))) + 127;
    uint32_t colour = greyArgb(255, v);
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(ox, y0, 192.0f, 40.0f, ITEMWIN_EXP_BACK, gItemWindowTexture, colour);
    int64_t span = merchantExpSpan(g);
    float f = (gHud.expShown - static_cast<float>(g.levelExpFloor)) / static_cast<float>(span > 1 ? span : 1);
    SpriteSource fill = ITEMWIN_EXP_FILL;
    fill.right = fill.left + 142.0f * f;
    addSpriteRect(ox + 39.0f, y0, 142.0f * f, 40.0f, fill, gItemWindowTexture, colour);
    addSpriteRect(ox, y0, 192.0f, 40.0f, ITEMWIN_EXP_FRAME, gItemWindowTexture, colour);
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
    drawDayNumber(ox + 16.0f, y0, g.merchantLevel, WHITE);
    drawLevelUpTag(ox + 16.0f, y0 - 48.0f);
}

static void drawMenuRow(float x, float y, const char* label, int32_t alpha, int32_t grey) {
    uint32_t colour = greyArgb(alpha, grey);
    addSpriteRect(x - 120.0f, y, 240.0f, 38.4f, ITEMWIN_MENU_ROW, gItemWindowTexture, colour);
    flushSprites();
    drawTextCentered(x, y + 12.0f, label, colour, 0.8f);
}

// One pass over a list: its unselected rows, or its selected one.
static void drawSecondMenuPass(bool lecture, bool selectedPass, int32_t pulse, bool focus) {
    int32_t rows = lecture ? 1 + (runningGameState().storyFlags[FLAG_SELLERS] ? 1 : 0) +
                                 (runningGameState().storyFlags[FLAG_REQUESTS] ? 1 : 0)
                           : gShopFloor.shopMenuCountB;
    if (rows > SHOP_MENU_B_MAX) rows = SHOP_MENU_B_MAX;
    int32_t selection = lecture ? gShopFloor.shopMenuCursor[1] : gShopFloor.shopMenuCursor[0];
    int32_t slide = lecture ? gShopFloor.lectureMenuSlide : gShopFloor.shopMenuSlide;
    int32_t m = gShopFloor.lectureMenuSlide < 5 ? gShopFloor.lectureMenuSlide : 5;
    for (int32_t i = 0; i < rows; ++i) {
        if ((i == selection) != selectedPass) continue;
        int32_t x = 60 * slide - (16 * i + 160) < 320 ? 60 * slide - (16 * i + 160) : 320;
        int32_t y = 36 * i + 224;
        if (!lecture && gShopFloor.lectureMenuSlide > 0) {
            y -= ((i + 1) * m * 36) / 5;
            x -= (32 * m) / 5;
        }
        const char* label = lecture ? menuLabel(LECTURE_LABELS, LECTURE_ENTRY_COUNT, i)
                                    : menuLabel(SECOND_MENU_LABELS, SECOND_MENU_ENTRY_COUNT, gShopFloor.shopMenuListB[i]);
        if (selectedPass)
            drawMenuRow(static_cast<float>(x), static_cast<float>(y), label, 255, focus ? pulse : 127);
        else
            drawMenuRow(static_cast<float>(x), static_cast<float>(y), label, 128, 127);
    }
}

static void drawMenus() {
    int32_t c = gShopFloor.shopMenuDelay;
    int32_t u = static_cast<int32_t>(128.0f * std::sin(c * PI / 15.0f));
    int32_t pulse = 127 + u;
    if (pulse > 255) pulse = 255;
    if (pulse < 0) pulse = 0;
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gItemWindowTexture);
    if (gShopFloor.shopFloorState == 15 || gShopFloor.shopFloorState == 16 || gShopFloor.shopFloorState == 30) {
        bool lectureOpen = gShopFloor.lectureMenuSlide > 0;
        drawSecondMenuPass(true, false, pulse, lectureOpen);
        drawSecondMenuPass(true, true, pulse, lectureOpen);
        drawSecondMenuPass(false, false, pulse, !lectureOpen);
        drawSecondMenuPass(false, true, pulse, !lectureOpen);
    } else if (gShopFloor.shopFloorState == 0 || gShopFloor.shopFloorState == 10) {
        int32_t count = gShopFloor.shopMenuCountA < SHOP_MENU_A_MAX ? gShopFloor.shopMenuCountA : SHOP_MENU_A_MAX;
        for (int32_t i = 0; i < count; ++i) {
            bool selected = i == gShopFloor.shopMenuCursor[0];
            int32_t x = 30 * gShopFloor.shopMenuSlide - (16 * i + 256);
            if (selected) {
                if (x > 0) x = 0;
            } else {
                if (x > -40) x = -40;
                x -= 20 * c;
            }
            int32_t y = (7 - count) * 48 + 48 * i;
            uint32_t plate = selected ? greyArgb(255, pulse) : HALF_GREY;
            addSpriteRect(x + 10.0f, y + 128.0f, 256.0f, 64.0f, ITEMWIN_FIRST_MENU_ROW, gItemWindowTexture, plate);
            flushSprites();
            int32_t warm = u + 127 < 0 ? 0 : u + 127 > 255 ? 255 : u + 127;
            int32_t blue = u < 0 ? 0 : u > 255 ? 255 : u;
            uint32_t text = selected ? 0xFF000000u | static_cast<uint32_t>(warm) << 16 |
                                           static_cast<uint32_t>(warm) << 8 | static_cast<uint32_t>(blue)
                                     : 0xFF464646u;
            drawTextCentered(x + 154.0f, y + 152.0f,
                             menuLabel(FIRST_MENU_LABELS, FIRST_MENU_ENTRY_COUNT, gShopFloor.shopMenuListA[i]), text, 0.8f);
        }
    }
    setSpriteColourOp(GFX_TOP_MODULATE);
}

void drawShopOverlay() {
    const GameState& g = runningGameState();
    drawShopDayOverlay();
    drawShelfLabel(g);
    drawExperienceGauge(g);
    if (gShopFloor.shopFloorState == SHOP_FLOOR_ITEM_INFO) {
        drawItemInfoPanel();
        drawItemMessagePanel(0.0f, 0.0f);
    }
    drawMenus();
    if (!gEventReady && gFieldCamera.cameraMode == 0) {
        bindSpriteTexture(gDataWindowTexture);
        addSpriteRect(440.0f, 440.0f, 200.0f, 32.0f, DATAWIN_SHOP_HINT, gDataWindowTexture, WHITE);
        flushSprites();
    }
}

int32_t levelUpTagAlpha(int32_t t) {
    if (t <= 0) return 0;
    int32_t a = t > 60 ? 1215 - 16 * t : 255;
    return a > 0 ? a : 0;
}

void drawLevelUpTag(float x, float y) {
    int32_t t = gHud.levelUpTimer;
    int32_t a = levelUpTagAlpha(t);
    if (a <= 0) return;
    float dy = -10.0f, s = 1.0f;
    if (t < 10) {
        s = 0.1f * t + 0.3f * std::sin(t * PI / 10.0f);
        dy = -20.0f * std::sin(t * PI / 10.0f) - t;
    }
    int32_t grey = 127;
    if (t > 20 && t < 35) grey = static_cast<int32_t>((std::sin((t - 20) * PI / 15.0f) + 1.0f) * 127.0f);
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(x + 8.0f, y + dy - 8.0f + 40.0f - 40.0f * s, 192.0f, 39.0f * s, ITEMWIN_LEVEL_TAG, gItemWindowTexture,
                  greyArgb(a, grey));
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
}
