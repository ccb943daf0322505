// shop/shop_day_overlay.cpp: the counter scene under the counter's windows,
// drawn each frame while the shop is open: the letterbox bars, the
// shopkeeper's and the visitor's portraits, the level-up mark, an adventurer
// customer's equipment comparison and the order slot list. It works out
// gCounter.adventurerTargetSlot for the comparison, which the deal reads.
#include "shop/shop.h"

#include <cstdio>

#include "shop/purchase_equipment.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "shop/counter.h"
#include "shop/item_windows.h"
#include "shop/negotiation.h"
#include "shop/window_cells.h"
#include "story/story.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr SpriteSource SYSTEM_BLACK = {9.0f, 1.0f, 15.0f, 7.0f};
constexpr SpriteSource PORTRAIT = {0.0f, 0.0f, 512.0f, 512.0f};
constexpr int32_t LEVEL_UP_FADE_FRAME = 60;
constexpr int32_t LEVEL_UP_LAST_FRAME = 79;
constexpr int32_t COMPARE_SLIDE_FRAMES = 15;
constexpr int32_t ORDER_ROWS = ORDER_SLOT_COUNT + 1;   // "All set!" and the slots
constexpr int32_t ORDER_ROW_ALPHA = 155;

static const TextureSlot& customerPicture(int32_t type, int32_t face) {
    int32_t index = type * CUSTOMER_PICTURE_SLOTS + face;
    if (face < 0 || face >= CUSTOMER_PICTURE_SLOTS || index < 0 || index >= CUSTOMER_PICTURE_TOTAL) index = 0;
    return gCustomerPictures[index];
}

static void drawPortraits(const CounterState& c) {
    int32_t bar = 4 * c.letterbox < 32 ? 4 * c.letterbox : 32;
    bindSpriteTexture(gSystemTexture);
    addSpriteRect(0.0f, 0.0f, 640.0f, static_cast<float>(bar), SYSTEM_BLACK, gSystemTexture, 0xFF000000);
    addSpriteRect(0.0f, static_cast<float>(480 - bar), 640.0f, static_cast<float>(bar), SYSTEM_BLACK, gSystemTexture,
                  0xFF000000);
    flushSprites();

    int32_t keeperX = 12 * c.letterbox - 524 < -128 ? 12 * c.letterbox - 524 : -128;
    const TextureSlot& keeper = customerPicture(0, c.faces[SLOT_SHOPKEEPER]);
    bindSpriteTexture(keeper);
    SpriteDest dest = {static_cast<float>(keeperX), 0.0f, 512.0f, 512.0f};
    addSpriteQuadMirrored(dest, PORTRAIT, keeper, WHITE);
    flushSprites();

    int32_t visitorX = 640 - 12 * c.slide > 256 ? 640 - 12 * c.slide : 256;
    const TextureSlot& visitor = customerPicture(c.visitorType, c.faces[SLOT_CUSTOMER]);
    bindSpriteTexture(visitor);
    addSpriteRect(static_cast<float>(visitorX), 0.0f, 512.0f, 512.0f, PORTRAIT, visitor, WHITE);
    flushSprites();

    if (c.levelUpFlash <= 0) return;
    int32_t step = c.levelUpFlash < WINDOW_POP_STEPS ? c.levelUpFlash : WINDOW_POP_STEPS;
    WindowPop pop = computeWindowPopCurve(step, 0);
    int32_t alpha = pop.alpha;
    if (c.levelUpFlash > LEVEL_UP_FADE_FRAME)
        alpha = alpha * (LEVEL_UP_LAST_FRAME - c.levelUpFlash) / (LEVEL_UP_LAST_FRAME - LEVEL_UP_FADE_FRAME);
    if (alpha < 0) alpha = 0;
    float cx = static_cast<float>(visitorX) + 192.0f, cy = 72.0f;
    SpriteDest heart = {cx - 32.0f * pop.scaleX, cy - 32.0f * pop.scaleY, 64.0f * pop.scaleX, 64.0f * pop.scaleY};
    bindSpriteTexture(gHpMpBaseTexture);
    addSpriteQuad(heart, HPMP_HEART, gHpMpBaseTexture, static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF);
    flushSprites();
}

static void drawComparison(const CounterState& c) {
    if (c.customerType < ADVENTURER_TYPE_FIRST || c.customerType > ADVENTURER_TYPE_LAST) return;
    if (c.infoFrame == 0 && c.sidePanelMode != 2) return;
    findAdventurerTargetSlot();
    int32_t slot = gCounter.adventurerTargetSlot;
    if (slot < 0 || slot >= EQUIPMENT_SLOTS) return;
    int32_t adventurer = c.customerType - ADVENTURER_TYPE_FIRST;
    float x = 400.0f;
    if (c.infoFrame > 0 && c.infoFrame < COMPARE_SLIDE_FRAMES) x = 640.0f - 16.0f * static_cast<float>(c.infoFrame);
    bindSpriteTexture(gShopModeTexture);
    addSpriteRect(x, 24.0f, 240.0f, 114.0f, SHOPMODE_COMPARE_PANEL, gShopModeTexture, WHITE);
    flushSprites();
    drawItemListEntry(x + 8.0f, 30.0f, runningGameState().adventurers[adventurer].equipment[slot], 255);
    drawStatCompare(x + 8.0f, 66.0f, slot, adventurer, c.itemKey);
}

static void drawOrderSlots(const CounterState& c) {
    if (c.sidePanelMode != 1 && c.sidePanelMode != 2) return;
    bool summary = c.sidePanelMode == 2;
    float left = summary ? 144.0f : 16.0f;
    float top = summary ? 56.0f : 120.0f;
    for (int32_t r = 0; r < ORDER_ROWS; r++) {
        bool selected = r == c.orderCursor;
        float x = left + (selected ? 16.0f : 0.0f);
        float y = top + 38.0f * static_cast<float>(r);
        int32_t alpha = selected ? 255 : ORDER_ROW_ALPHA;
        uint32_t colour = static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF;
        bindSpriteTexture(gShopModeTexture);
        addSpriteRect(x, y, 240.0f, 40.0f, SHOPMODE_ORDER_PLATE, gShopModeTexture, colour);
        flushSprites();
        if (r == 0) {
            drawText(x + 16.0f, y + 10.0f, "All set!", colour, 0.8f);
            continue;
        }
        char number[8];
        snprintf(number, sizeof number, "%2d:", r);
        drawText(x + 8.0f, y + 10.0f, number, colour, 0.7f);
        int32_t key = c.orderSlots[r - 1].key;
        if (key >= 0) drawItemListEntry(x + 44.0f, y + 4.0f, key, alpha);
    }
}

void drawShopDayOverlay() {
    const CounterState& c = gCounter;
    if (!c.shopOpening || gPortraitState != PORTRAIT_READY) return;
    drawPortraits(c);
    drawComparison(c);
    drawOrderSlots(c);
}
