#include "field/game_overlay.h"
#include "engine/math.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/config_index.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "field/effect_objects.h"
#include "field/field_state.h"
#include "field/hud.h"
#include "field/hud_bar.h"
#include "field/hud_cells.h"
#include "field/hud_dungeon.h"
#include "field/hud_level_abilities.h"
#include "field/hud_shop.h"
#include "field/resources.h"
#include "field/world_renderer.h"
#include "shop/shop.h"
#include "shop/shop_state.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t BLACK = 0xFF000000;
constexpr uint32_t DIM_GREY = 0xFF9B9B9B;
constexpr uint32_t YELLOW = 0xFFFFFF37;
constexpr uint32_t GREEN = 0xFF00FF00;
constexpr uint32_t RED = 0xFFFF3737;
constexpr int32_t CONDITION_DARKNESS = 16;   // the floor condition that darkens the edges
constexpr int32_t STOCK_MENU_ROWS = 6;
constexpr int32_t LEVEL_LIST_ROWS = 5;
constexpr int32_t CURTAIN_TICKS = 140;
constexpr float PANEL_TEXT_WIDTH = 320.0f;
constexpr int32_t NEWS_PIECES_MAX = 5;
constexpr int32_t TREND_PRICE_DROP = 500;

static_assert(FLOOR_CONDITION_NAME_SIZE <= NEWS_TEXT_SIZE && FLOOR_CONDITION_MAX <= NEWS_COUNT,
              "the ticker's copies hold a condition name too");

// The shop's overlay also stands before any stage is bound and on a town
// layout: every map of type 0.
static bool onShopLayout() { return !gCurrentStage || gCurrentStage->maptype == 0; }

float letterboxHeight(float fade) {
    if (fade >= -0.1f && fade <= 0.1f) return 0.0f;
    return 32.0f * fade;
}

int32_t curtainDay(int32_t date) { return date + 1 < DAY_SHOWN_MAX ? date + 1 : DAY_SHOWN_MAX; }

void drawBadge(float x, float y, uint32_t argb) {
    addSpriteRect(x, y, 64.0f, 48.0f, ITEMWIN_ARROW_UP, gItemWindowTexture, argb);
}

void drawBadge2(float x, float y, uint32_t argb) {
    addSpriteRect(x, y, 64.0f, 48.0f, ITEMWIN_ARROW_DOWN, gItemWindowTexture, argb);
}

static void fullScreen(uint32_t argb) {
    bindSpriteTexture(gSystemTexture);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SYSTEM_TINT, gSystemTexture, argb);
    flushSprites();
}

static void drawVignette() {
    if (gGameMode != GAME_MODE_FIELD || onShopLayout() || !isFloorConditionActive(CONDITION_DARKNESS)) return;
    if (gGfxDevice) {
        gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_ZERO);
        gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_SRCCOLOR);
    }
    bindSpriteTexture(gShadeTexture);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SHADE_VIGNETTE, gShadeTexture, 0x37FFFFFF);
    flushSprites();
    if (gGfxDevice) {
        gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
        gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    }
}

static void drawLetterbox() {
    float h = letterboxHeight(gHud.hudFade);
    if (h <= 0.0f) return;
    float lower = static_cast<float>(static_cast<int32_t>(h));
    bindSpriteTexture(gSystemTexture);
    addSpriteRect(0.0f, 0.0f, 640.0f, h, SYSTEM_TINT, gSystemTexture, BLACK);
    addSpriteRect(0.0f, 480.0f - lower, 640.0f, lower, SYSTEM_TINT, gSystemTexture, BLACK);
    flushSprites();
}

static void drawChargeDigit() {
    if (gParty.models[0] != CHARGE_CHARACTER) return;
    int32_t q = gParty.chargeGauge, n = q / CHARGE_STEP;
    if (q <= 0 || n <= 0 || n > 9) return;
    const Vector3& at = gParty.positions[0];
    if (getViewDepth(at.x, at.y, at.z) >= 0.0f) return;
    ScreenPoint s;
    mapWorldToScreen(at.x, at.y, at.z, &s);
    int32_t k = q % CHARGE_STEP < 16 ? q % CHARGE_STEP : 16;
    float y = s.y - 32.0f * std::sin(k * PI / 16.0f) + 12.0f;
    float left = HPMP_SMALL_DIGIT_LEFT + 24.0f * n;
    bindSpriteTexture(gHpMpBaseTexture);
    addSpriteRect(s.x - 10.0f, y - 14.0f, 20.0f, 20.0f, {left, HPMP_SMALL_DIGIT_TOP, left + 24.0f, HPMP_SMALL_DIGIT_TOP + 24.0f},
                  gHpMpBaseTexture, 0xFFFFBF7F);
    flushSprites();
}

// A beaten bomb's seconds left, 9 down to 1, red from 3.
static void drawBombCountdowns() {
    for (const Enemy& e : gEnemies) {
        if (e.state != ENEMY_DYING || e.kind < 37 || e.kind > 40) continue;
        int32_t n = 9 - e.dyingFrames / 60;
        if (n < 1 || n > 9) continue;
        const Vector3& at = e.position;
        if (getViewDepth(at.x, at.y, at.z) >= 0.0f) continue;
        ScreenPoint s;
        mapWorldToScreen(at.x, at.y, at.z, &s);
        float left = HPMP_SMALL_DIGIT_LEFT + 24.0f * n;
        bindSpriteTexture(gHpMpBaseTexture);
        addSpriteRect(s.x - 16.0f, s.y - 22.4f, 32.0f, 32.0f,
                      {left, HPMP_SMALL_DIGIT_TOP, left + 24.0f, HPMP_SMALL_DIGIT_TOP + 24.0f}, gHpMpBaseTexture,
                      n <= 3 ? 0xFFFF4040 : 0xFF7F7F7F);
        flushSprites();
    }
}

// The icon over the controlled character's head while its emotion timer
// runs (the shop floor's prompt: its fade is the timer, its kind the cell);
// it pops up over the timer's first eight ticks.
static void drawEmotionIcon() {
    const int32_t t = gParty.promptFade;
    if (t == 0) return;
    const Vector3& at = gParty.positions[0];
    const float y = at.y + 0.1f * gFieldCamera.cameraOffsets.elevation + 4.0f;
    if (getViewDepth(at.x, y, at.z) >= 0.0f) return;
    ScreenPoint s;
    mapWorldToScreen(at.x, y, at.z, &s);
    float w = 32.0f, h = 32.0f, lift = 0.0f;
    if (t < 8) {
        const float f = static_cast<float>(t) / 8.0f, a = static_cast<float>(t) * PI / 8.0f;
        h = (std::sin(a) + f) * 48.0f;
        w = (2.0f - std::sin(a) - f) * 48.0f;
        lift = 32.0f * std::sin(a);
    }
    const int32_t c = gParty.promptKind;
    const float left = HPMP_EMOTION_LEFT + static_cast<float>(c % 4) * 48.0f, top = static_cast<float>(c / 4) * 48.0f;
    bindSpriteTexture(gHpMpBaseTexture);
    addSpriteRect(s.x - w, s.y - 0.7f * h - lift, w, h, {left, top, left + 48.0f, top + 48.0f}, gHpMpBaseTexture, WHITE);
    flushSprites();
}

static void drawStockMenu(const GameState& g) {
    // The list's cursor, top row and last cursor value.
    const int32_t position = gShopFloor.shopFloorCursor[0], scroll = gShopFloor.shopFloorCursor[1], rowCount = gShopFloor.shopFloorCursor[2] + 1;
    bindSpriteTexture(gItemWindowTexture);
    for (int32_t k = 0; k < STOCK_MENU_ROWS; ++k) {
        bool selected = k == position - scroll;
        uint32_t alpha = selected ? 255 : 155;
        float shift = selected ? 16.0f : 0.0f;
        addSpriteRect(16.0f + shift, 104.0f + 40.0f * k, 240.0f, 44.0f, ITEMWIN_STOCK_ROW, gItemWindowTexture,
                      alpha << 24 | 0xFFFFFF);
    }
    if (scroll > 0) drawBadge(16.0f, 92.0f, WHITE);
    if (scroll < rowCount - 5) drawBadge2(16.0f, 352.0f, WHITE);
    flushSprites();
    int32_t shelf = gShopPlacement.shopEditState[0];
    for (int32_t k = 0; k < STOCK_MENU_ROWS; ++k) {
        bool selected = k == position - scroll;
        int32_t alpha = selected ? 255 : 155;
        float shift = selected ? 16.0f : 0.0f;
        uint32_t colour = static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF;
        int32_t i = k + scroll;
        if (i == 0 || i == 1) {
            drawText(shift + 64.0f, 40.0f * k + 118.0f, i == 0 ? "Revert To Table" : "Done Stocking", colour, 0.923f);
            continue;
        }
        char label[16];
        snprintf(label, sizeof label, "%2d:", i - 1);
        drawText(shift + 28.0f, 40.0f * k + 118.0f, label, colour, 0.769f);
        int32_t slot = i - 2;
        if (shelf >= 0 && shelf < SHELF_COUNT && slot >= 0 && slot < VENDING_STOCK_SLOTS &&
            g.vendingStock[shelf][slot] != -1)
            drawItemListEntry(shift + 56.0f, 40.0f * k + 110.0f, g.vendingStock[shelf][slot], alpha);
    }
}

// The ticker's texts are drawn as they are: a news text or a condition name
// is data, never a format string.
static void drawTicker(const GameState& g) {
    int32_t& c = gConditionBanner.counter;
    if (c == 0) return;
    bool shop = onShopLayout();
    float s = shop ? 0.7f : 0.5f;
    int32_t n = shop ? g.newsCount : gFloorConditionList.count;
    int32_t limit = shop ? NEWS_COUNT : FLOOR_CONDITION_MAX;
    if (n > limit) n = limit;
    if (n <= 0) return;
    // A news text read from a save may fill its field without an end; each
    // is drawn from a terminated copy.
    static char texts[NEWS_COUNT][NEWS_TEXT_SIZE];
    for (int32_t i = 0; i < n; ++i) {
        const char* from = shop ? g.newsTexts[i] : gFloorConditionList.names[i];
        size_t length = strnlen(from, NEWS_TEXT_SIZE - 1);
        memcpy(texts[i], from, length);
        texts[i][length] = 0;
    }
    auto textAt = [&](int32_t i) -> const char* { return texts[i]; };
    float h = 3.2f * c < 64.0f ? 3.2f * c : 64.0f;
    float length = 320.0f * s;
    for (int32_t i = 0; i < n; ++i) length += s * (getTextWidth(textAt(i), 1.1f) + 8.0f) / 2.0f;
    if (c > length + 60.0f) h -= 3.2f * (c - (length + 60.0f));
    if (h < 0.0f) {
        c = 0;
        gConditionBanner.tickerDone = 1;
        h = 0.0f;
    }
    bindSpriteTexture(gItemWindowTexture);
    if (h > 0.0f) addSpriteRect(0.0f, 64.0f - h / 2.0f, 640.0f, h, ITEMWIN_TICKER_BAND, gItemWindowTexture, WHITE);
    if (c > 30 && c < 60) addSpriteRect(208.0f, 48.0f, 224.0f, 32.0f, ITEMWIN_TICKER_LABEL, gItemWindowTexture, WHITE);
    flushSprites();
    float x = 640.0f - (2.0f * c - 120.0f) / s;
    for (int32_t i = 0; i < n; ++i) {
        float w = getTextWidth(textAt(i), 1.1f);
        drawText(x, 52.0f, textAt(i), WHITE, 1.1f);
        x += w + 32.0f;
    }
}

static void drawBlinkingMarker(float x, float y) {
    int32_t b = (gTickCounter / 16) % 2;
    float left = ITEMWIN_MARKER_LEFT + 96.0f * b;
    addSpriteRect(x, y, 96.0f, 96.0f, {left, ITEMWIN_MARKER_TOP, left + 96.0f, ITEMWIN_MARKER_TOP + 96.0f},
                  gItemWindowTexture, WHITE);
}

static void drawAtmospherePanel(float x0) {
    bindSpriteTexture(gMoodTexture);
    addSpriteRect(x0 + 64.0f, 0.0f, 512.0f, 480.0f, {0.0f, 0.0f, 512.0f, 480.0f}, gMoodTexture, WHITE);
    flushSprites();
    bindSpriteTexture(gItemWindowTexture);
    drawBlinkingMarker(x0 + 320.0f - 12.0f * gShopAtmosphere.decoration - 48.0f,
                       12.0f * (20 - gShopAtmosphere.items) - 48.0f);
    flushSprites();
}

static const char* itemNameById(int32_t id, bool lookUp) {
    int32_t row = lookUp ? findItemDef(id) : id;
    if (row < 0 || row >= ITEM_DEFINITION_MAX) return "";
    return gItemDefinitions[row].name;
}

// One news line, broken at '@' when it is wider than the panel.
static float drawNewsLine(float x, float y, const char* text) {
    if (getTextWidth(text, 0.7f) <= PANEL_TEXT_WIDTH) {
        drawText(x, y, text, WHITE, 0.7f);
        return y;
    }
    char piece[NEWS_TEXT_SIZE * 2];
    const char* p = text;
    for (int32_t count = 0; count < NEWS_PIECES_MAX && *p; ++count) {
        if (getTextWidth(p, 0.7f) <= PANEL_TEXT_WIDTH) {
            drawText(x, y, p, WHITE, 0.7f);
            break;
        }
        const char* at = strchr(p, '@');
        size_t length = at ? static_cast<size_t>(at - p) : strlen(p);
        if (length >= sizeof piece) length = sizeof piece - 1;
        memcpy(piece, p, length);
        piece[length] = 0;
        drawText(x, y, piece, WHITE, 0.7f);
        if (!at) break;
        p = at + 1;
        y += 16.0f;
    }
    return y;
}

static void drawNewsPanel(const GameState& g, float x0) {
    bindSpriteTexture(gLevelWindowTexture);
    addSpriteRect(x0 + 128.0f, 128.0f, 384.0f, 256.0f, {0.0f, 0.0f, 320.0f, 256.0f}, gLevelWindowTexture, WHITE);
    flushSprites();
    drawTextCentered(x0 + 320.0f, 168.0f, "News Summary", WHITE, 0.9f);
    float y = 200.0f;
    char line[NEWS_TEXT_SIZE * 2];
    for (const TrendSlot& slot : g.trendSlots) {
        if (slot.definition < 1) continue;
        if (slot.definition == TREND_PRICE_DROP) {
            snprintf(line, sizeof line, "Price of %s has dropped.", itemNameById(slot.item, slot.item > 10));
        } else if (const char* text = trendDefinitionText(slot.definition)) {
            if (slot.item == -1) {
                snprintf(line, sizeof line, "%s", text);
            } else {
                const char* name = itemNameById(slot.item, slot.item > 10 && slot.effect != 0);
                size_t n = 0;
                for (const char* p = text; *p && n + 1 < sizeof line; ++p) {
                    if (*p == '<') {
                        for (const char* q = name; *q && n + 1 < sizeof line; ++q) line[n++] = *q;
                        for (int32_t k = 0; k < 2 && p[1]; ++k) ++p;
                        continue;
                    }
                    line[n++] = *p;
                }
                line[n] = 0;
            }
        } else {
            continue;
        }
        y = drawNewsLine(x0 + 160.0f, y, line);
        y += 24.0f;
    }
}

static void drawOrdersPanel(const GameState& g, float x0) {
    bindSpriteTexture(gLevelWindowTexture);
    addSpriteRect(x0 + 104.0f, 78.0f, 432.0f, 368.0f, {0.0f, 0.0f, 320.0f, 256.0f}, gLevelWindowTexture, WHITE);
    flushSprites();
    drawTextCentered(x0 + 320.0f, 128.0f, "Advance Order Summary", WHITE, 0.9f);
    drawText(x0 + 144.0f, 156.0f, "Deadline", GREEN, 0.7f);
    drawText(x0 + 272.0f, 156.0f, "Orderee", GREEN, 0.7f);
    drawText(x0 + 384.0f, 156.0f, "Order Details", GREEN, 0.7f);
    float y = 180.0f;
    if (g.storyFlags[FLAG_QUEST_GIVEN] && !g.storyFlags[FLAG_QUEST_PAID]) {
        drawText(x0 + 136.0f, 180.0f, "No Deadline", WHITE, 0.7f);
        drawText(x0 + 272.0f, 180.0f, "Zirezuz", WHITE, 0.7f);
        drawText(x0 + 384.0f, 172.0f, "Charred Lizard, Bat Wings", WHITE, 0.6f);
        drawText(x0 + 384.0f, 188.0f, "Slime Liver", WHITE, 0.6f);
        y += 24.0f;
    }
    char text[REQUEST_NAME_SIZE + 32];
    for (const OrderRecord& o : g.orders) {
        if (o.active != 1) continue;
        if (o.daysLeft < 0)
            drawText(x0 + 136.0f, y, "Due Date Passed", RED, 0.7f);
        else if (o.daysLeft == 0)
            drawText(x0 + 136.0f, y, "Today", WHITE, 0.7f);
        else if (o.daysLeft == 1)
            drawText(x0 + 136.0f, y, "by tomorrow", WHITE, 0.7f);
        else {
            snprintf(text, sizeof text, "in %d days", o.daysLeft);
            drawText(x0 + 136.0f, y, text, WHITE, 0.7f);
        }
        const char* who = customerTypeName(o.customerType);
        drawText(x0 + 272.0f, y, who, WHITE, 0.7f);
        const char* what = requestOrderName(o.requestRow);
        if (strncmp(what, "cold weather clothes", strlen(what)) == 0 && what[0]) {
            snprintf(text, sizeof text, "%d cold weather", o.quantity);
            drawText(x0 + 384.0f, y - 5.0f, text, WHITE, 0.6f);
            drawText(x0 + 384.0f, y + 5.0f, "clothes", WHITE, 0.6f);
        } else {
            snprintf(text, sizeof text, "%d %s", o.quantity, what);
            drawText(x0 + 384.0f, y, text, WHITE, 0.7f);
        }
        y += 24.0f;
    }
}

static void drawLevelPanel(const GameState& g, float x0) {
    bindSpriteTexture(gLevelWindowTexture);
    addSpriteRect(x0 + 160.0f, 80.0f, 320.0f, 256.0f, {0.0f, 0.0f, 320.0f, 256.0f}, gLevelWindowTexture, WHITE);
    flushSprites();
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(x0, 332.0f, 640.0f, 160.0f, ITEMWIN_LEVEL_FOOTER, gItemWindowTexture, WHITE);
    if (gShopFloor.abilityListTop > 0) drawBadge(x0 + 190.0f, 130.0f, WHITE);
    if (gShopFloor.abilityListTop < 17) drawBadge2(x0 + 190.0f, 318.0f, WHITE);
    flushSprites();
    drawTextCentered(x0 + 320.0f, 122.0f, "Level Abilities", WHITE, 0.9f);
    int32_t reached = g.merchantLevel + 1;
    int32_t firstBeyond = LEVEL_ABILITY_ROWS;
    for (int32_t r = 0; r < LEVEL_ABILITY_ROWS; ++r)
        if (MERCHANT_LEVEL_ABILITIES[r].level > reached) {
            firstBeyond = r;
            break;
        }
    char text[32];
    for (int32_t k = 0; k < LEVEL_LIST_ROWS; ++k) {
        int32_t r = gShopFloor.abilityListTop + k;
        if (r < 0 || r >= LEVEL_ABILITY_ROWS) continue;
        const LevelAbility& row = MERCHANT_LEVEL_ABILITIES[r];
        uint32_t colour = row.level == reached ? YELLOW : r >= firstBeyond ? DIM_GREY : WHITE;
        float y = 158.0f + 32.0f * k;
        snprintf(text, sizeof text, "Level %d", row.level);
        drawText(x0 + 200.0f, y, text, colour, 0.8f);
        bool named = row.level < 10 || row.level <= g.merchantLevel + 2;
        drawText(x0 + 312.0f, y, named ? row.name : "???", colour, 0.8f);
    }
    int32_t marker = LEVEL_ABILITY_ROWS;
    for (int32_t r = 0; r < LEVEL_ABILITY_ROWS; ++r)
        if (MERCHANT_LEVEL_ABILITIES[r].level > g.merchantLevel) {
            marker = r;
            break;
        }
    int32_t m = marker - gShopFloor.abilityListTop;
    if (m >= 0 && m < LEVEL_LIST_ROWS) {
        bindSpriteTexture(gItemWindowTexture);
        drawBlinkingMarker(x0 + 408.0f, 108.0f + 32.0f * m);
        flushSprites();
    }
    int32_t sel = gShopFloor.abilityListCursor;
    if (sel >= 0 && sel < LEVEL_ABILITY_ROWS && (sel < 9 || MERCHANT_LEVEL_ABILITIES[sel].level <= reached))
        for (int32_t i = 0; i < LEVEL_ABILITY_LINES; ++i)
            drawText(x0 + 80.0f, 372.0f + 30.0f * i, MERCHANT_LEVEL_ABILITY_TEXTS[sel][i], WHITE, 0.85f);
}

static void drawInformationPanel(const GameState& g) {
    int32_t index = gShopFloor.shopMenuCursor[0];
    if (index < 0 || index >= SHOP_MENU_B_MAX) return;
    int32_t entry = gShopFloor.shopMenuListB[index];
    float x0 = 64.0f * gShopFloor.shopMenuCounter - 640.0f;
    bool listPanels = gShopFloor.shopFloorState == 15 || gShopFloor.shopFloorState == 16 || gShopFloor.shopFloorState == 17;
    bool levelPanel = gShopFloor.shopFloorState == 15 || gShopFloor.shopFloorState == 16 || gShopFloor.shopFloorState == 18;
    if (entry == SHOP_MENU_ATMOSPHERE && listPanels) drawAtmospherePanel(x0);
    if (entry == SHOP_MENU_NEWS && listPanels) drawNewsPanel(g, x0);
    if (entry == SHOP_MENU_ORDERS && listPanels) drawOrdersPanel(g, x0);
    if (entry == SHOP_MENU_MERCHANT_LEVEL && levelPanel) drawLevelPanel(g, x0);
}

static void drawCurtain(const GameState& g) {
    int32_t t = gFieldTicks;
    if (gShopSequence != SHOP_SEQUENCE_MORNING || t >= CURTAIN_TICKS) return;
    if (t < 122) {
        fullScreen(BLACK);
        int32_t a = 8 * t < 255 ? 8 * t : 255;
        uint32_t colour = static_cast<uint32_t>(a < 0 ? 0 : a) << 24 | 0xFFFFFF;
        if (g.playMode == PLAY_MODE_SURVIVAL) drawTextCentered(320.0f, 168.0f, "Survival Mode", colour, 1.8f);
        if (g.playMode == PLAY_MODE_ENDLESS) drawTextCentered(320.0f, 168.0f, "Endless Mode", colour, 1.8f);
        char text[32];
        snprintf(text, sizeof text, "Day %d", curtainDay(g.date));
        drawTextCentered(320.0f, 208.0f, text, colour, 2.2f);
    }
    if (t > 90) {
        int32_t a = 8 * t - 720 < 255 ? 8 * t - 720 : 255;
        if (t > 122) a -= 16 * (t - 122);
        if (a > 0) fullScreen(static_cast<uint32_t>(a) << 24 | 0xFFFFFF);
    }
}

void drawGameOverlay() {
    cacheViewProjection();
    if (gShowFps == 0) return;
    if (gGfxDevice) set2DRenderStates();
    drawVignette();
    drawLetterbox();
    if (gEffectEditorOn) {
        drawEditorMenu();
        return;
    }
    drawPopupBalloon();
    const GameState& g = runningGameState();
    bool field = gGameMode == GAME_MODE_FIELD;
    bool shop = field && onShopLayout();
    if (field) {
        if (shop)
            drawShopOverlay();
        else
            drawDungeonOverlay();
        drawEmotionIcon();
        setSpriteColourOp(GFX_TOP_ADDSIGNED);
        drawChargeDigit();
        drawBombCountdowns();
        setSpriteColourOp(GFX_TOP_MODULATE);
    }
    drawHudBar();
    if (shop && gShopFloor.shopEditMode == 2) drawStockMenu(g);
    drawItemListWindow(0.0f, 0.0f);
    if (shop) drawCounterWindow();
    drawYesNoWindow();
    if (field) {
        drawTicker(g);
        if (shop) drawInformationPanel(g);
    }
    drawPointer();
    drawMessageWindow();
    if (shop) drawCurtain(g);
    if (field && !shop && gWorldDraw.skillCountdown > 0)
        fullScreen(static_cast<uint32_t>(10 * gWorldDraw.skillCountdown < 255 ? 10 * gWorldDraw.skillCountdown : 255) << 24 | 0xFFFFFF);
}

