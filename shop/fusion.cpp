#include "shop/fusion.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "field/field.h"
#include "shop/collection.h"
#include "shop/fusion_recipes.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/item_windows.h"
#include "shop/market.h"
#include "shop/storage.h"
#include "shop/window_cells.h"

constexpr int32_t FUSION_SLOTS_USED = 3;   // the table holds five, fusion takes the first three
constexpr int32_t FUSION_EFFECT_SET = 7;
constexpr int32_t FUSION_EFFECT_TICK = 2;
constexpr float FUSION_POINTER_X = 92.0f;
constexpr float FUSION_POINTER_Y = 148.0f;
constexpr float FUSION_ROW_STEP = 32.0f;
constexpr float FUSION_NAME_SCALE = 0.7692308f;

int32_t fusionRankForLevel(int32_t merchantLevel) {
    if (merchantLevel < 4) return 0;
    if (merchantLevel < 12) return 1;
    if (merchantLevel < 18) return 2;
    if (merchantLevel < 24) return 3;
    if (merchantLevel < 29) return 4;
    return 5;
}

int32_t fusionRecipesOffered(int32_t merchantLevel) {
    int32_t rank = fusionRankForLevel(merchantLevel);
    int32_t offered = 0;
    for (int32_t i = 0; i < gFusionRecipeCount && i < FUSION_RECIPE_MAX; ++i)
        if (gFusionRecipes[i].rank >= 1 && gFusionRecipes[i].rank <= rank) ++offered;
    return offered;
}

bool isFusionRecipeKnown(int32_t recipe) {
    if (recipe < 0 || recipe >= FUSION_KNOWN_WORDS * 32) return false;
    return (runningGameState().fusionKnownBits[recipe / 32] >> (recipe % 32) & 1) != 0;
}

static void markFusionRecipeKnown(int32_t recipe) {
    if (recipe < 0 || recipe >= FUSION_KNOWN_WORDS * 32) return;
    runningGameState().fusionKnownBits[recipe / 32] |= (int32_t)(1u << (recipe % 32));
}

// The item id of a table row; -1 for a row the table does not have.
static int32_t rowId(int32_t row) { return row >= 0 && row < gItemDefinitionCount ? gItemDefinitions[row].id : -1; }

static bool ingredientShort(const FusionRecipe& r, int32_t slot) {
    int32_t id = rowId(r.ingredients[slot]);
    return id >= 0 && countItemInStorage(id) < r.quantities[slot];
}

bool fusionIngredientsStored(int32_t recipe) {
    if (recipe < 0 || recipe >= gFusionRecipeCount) return false;
    for (int32_t slot = 0; slot < FUSION_SLOTS_USED; ++slot)
        if (ingredientShort(gFusionRecipes[recipe], slot)) return false;
    return true;
}

int32_t fusionProductDisplayRow(int32_t recipe) {
    int32_t id = rowId(gFusionRecipes[recipe].product);
    if (id < 0) return -1;
    int32_t flags = isFusionRecipeKnown(recipe) ? 0 : ITEM_KEY_UNIDENTIFIED;
    return findItemDisplayRow(makeItemKey(id, flags, 0));
}

static const char* rowName(int32_t row) { return row >= 0 ? gItemDefinitions[row].name : ""; }

static int32_t visibleRow() { return gMarket.fusionCursor - gMarket.fusionTop; }

static void pointRecipeRow(bool glide) {
    float y = FUSION_POINTER_Y + FUSION_ROW_STEP * (float)visibleRow();
    if (glide) glidePointerTo(FUSION_POINTER_X, y);
    else setPointerPosition(FUSION_POINTER_X, y);
}

void showFusionProduct() {
    const MarketScene& m = gMarket;
    if (m.fusionCursor < 0 || m.fusionCursor >= std::min(m.fusionCount, gFusionRecipeCount)) {
        showItemInfo(ITEM_KEY_NONE);
        closeItemInfo();
        return;
    }
    int32_t id = rowId(gFusionRecipes[m.fusionCursor].product);
    showItemInfo(isFusionRecipeKnown(m.fusionCursor) ? makeItemKey(id, 0, 0) : ITEM_KEY_FUSION_UNKNOWN);
    gItemList.infoItemStock = countItemInStorage(id);
    openItemInfo(1);
}

void openFusionList() {
    gMarket.fusionCount = std::min(gMarket.fusionCount, gFusionRecipeCount);
    showPointer();
    pointRecipeRow(false);
    showFusionProduct();
}

static void askToFuse() {
    MarketScene& m = gMarket;
    if (!fusionIngredientsStored(m.fusionCursor)) {
        playSoundEffect(SOUND_REFUSED);
        return;
    }
    char text[DIALOG_LINE_BYTES];
    snprintf(text, sizeof text, "Fusing %s.<BR>Continue?", rowName(fusionProductDisplayRow(m.fusionCursor)));
    openYesNoWindow(text, 1, 0);
    m.screen = MARKET_SCREEN_FUSION_QUESTION;
    playSoundEffect(SOUND_CONFIRM);
}

int32_t updateFusionList() {
    MarketScene& m = gMarket;
    uint16_t pressed = gInputState[0].pressed, repeat = gInputState[0].repeat;
    if (pressed & BUTTON_CANCEL) {
        closeItemInfo();
        playSoundEffect(SOUND_CANCEL);
        return 1;
    }
    int32_t count = m.fusionCount;
    if ((pressed & BUTTON_CONFIRM) && count > 0) {
        askToFuse();
        showFusionProduct();
        return 0;
    }
    int32_t cursor = m.fusionCursor, top = m.fusionTop;
    if ((repeat & BUTTON_UP) && cursor > 0) cursor--;
    else if ((repeat & BUTTON_DOWN) && cursor < count - 1) cursor++;
    else if (repeat & BUTTON_LEFT) cursor -= FUSION_VISIBLE_ROWS, top -= FUSION_VISIBLE_ROWS;
    else if (repeat & BUTTON_RIGHT) cursor += FUSION_VISIBLE_ROWS, top += FUSION_VISIBLE_ROWS;
    cursor = std::clamp(cursor, 0, std::max(count - 1, 0));
    top = std::clamp(top, 0, std::max(count - FUSION_VISIBLE_ROWS, 0));
    if (cursor < top) top = cursor;
    if (cursor >= top + FUSION_VISIBLE_ROWS) top = cursor - FUSION_VISIBLE_ROWS + 1;
    if (cursor != m.fusionCursor || top != m.fusionTop) {
        m.fusionCursor = cursor;
        m.fusionTop = top;
        playSoundEffect(SOUND_CURSOR);
        pointRecipeRow(true);
    }
    showFusionProduct();
    return 0;
}

// The ingredients leave storage, the plus levels they carried (up to 15)
// going to the product, which is stored and shown.
static void fuse() {
    MarketScene& m = gMarket;
    const FusionRecipe& r = gFusionRecipes[m.fusionCursor];
    int32_t budget = FUSION_PLUS_BUDGET;
    for (int32_t slot = 0; slot < FUSION_SLOTS_USED; ++slot) {
        int32_t id = rowId(r.ingredients[slot]);
        if (id >= 0) budget = removeItemsFromStorage(id, r.quantities[slot], budget);
    }
    m.fusionPlus = FUSION_PLUS_BUDGET - budget;
    markFusionRecipeKnown(m.fusionCursor);
    addItemToStorage(makeItemKey(rowId(r.product), 0, m.fusionPlus));
    showFusionProduct();
}

void updateFusionQuestion() {
    MarketScene& m = gMarket;
    int32_t answer = updateYesNoWindow(0);
    if (answer <= 0) return;
    if (answer != 1) {
        m.screen = MARKET_SCREEN_LIST;
        showPointer();
        pointRecipeRow(false);
        return;
    }
    m.screen = MARKET_SCREEN_FUSION_RESULT;
    m.fusionResult = 0;
    hidePointer();
    fuse();
}

void updateFusionResult() {
    MarketScene& m = gMarket;
    if (m.fusionResult < FUSION_RESULT_WAIT) {
        if (++m.fusionResult == FUSION_EFFECT_TICK) {
            spawnScreenEffectSet(304.0f, 144.0f, FUSION_EFFECT_SET, 1.0f, EFFECT_LIFETIME_DEFAULT, 0);
            playSoundEffect(SOUND_ITEM_SHOWN);
        }
        return;
    }
    if (m.fusionResult == FUSION_RESULT_WAIT) {
        if (!(gInputState[0].pressed & BUTTON_CONFIRM)) return;
        playSoundEffect(SOUND_BALLOON);
        showPointer();
        pointRecipeRow(false);
    }
    if (++m.fusionResult >= FUSION_RESULT_END) {
        m.fusionResult = 0;
        m.screen = MARKET_SCREEN_LIST;
    }
}

// ---- drawing ----

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr SpriteSource FUSION_PANEL = {0.0f, 0.0f, 256.0f, 256.0f};
constexpr SpriteSource FUSION_TITLE_PLATE = {256.0f, 0.0f, 444.0f, 64.0f};

// The guild's board picture holds the panels and the title plate.
static const TextureSlot& boardSheet() { return gScenePictures[2]; }

static void drawBoardCell(const SpriteSource& src, float x, float y, float w, float h, uint32_t colour) {
    bindSpriteTexture(boardSheet());
    addSpriteRect(x, y, w, h, src, boardSheet(), colour);
    flushSprites();
}

static uint32_t greyOf(int32_t grey) { return 0xFF000000u | (uint32_t)grey << 16 | (uint32_t)grey << 8 | (uint32_t)grey; }

static void drawTitledPanel(float x, const char* title) {
    drawBoardCell(FUSION_PANEL, x, 96.0f, 256.0f, 256.0f, 0xFF7F7F7F);
    drawBoardCell(FUSION_TITLE_PLATE, x + 128.0f - 94.0f, 46.0f, 188.0f, 64.0f, 0xFF7F7F7F);
    drawTextCentered(x + 128.0f, 68.0f, title, WHITE, 0.8f);
}

static bool recipeDimmed(const FusionRecipe& r) {
    for (int32_t slot = 0; slot < FUSION_SLOTS_USED; ++slot) {
        int32_t id = rowId(r.ingredients[slot]);
        if (id >= 0 && !isItemSeen(makeItemKey(id, 0, 0))) return true;
    }
    return false;
}

static void drawRecipeRows(float X) {
    const MarketScene& m = gMarket;
    int32_t count = std::min(m.fusionCount, gFusionRecipeCount);
    for (int32_t row = 0; row < FUSION_VISIBLE_ROWS && m.fusionTop + row < count; ++row) {
        int32_t i = m.fusionTop + row;
        const FusionRecipe& r = gFusionRecipes[i];
        char text[ITEM_NAME_SIZE + 16];
        const char* name = rowName(fusionProductDisplayRow(i));
        if (isFusionRecipeKnown(i)) snprintf(text, sizeof text, "%s", name);
        else snprintf(text, sizeof text, "Rank %d %s", r.rank, name);
        drawText(X + 136.0f, 128.0f + FUSION_ROW_STEP * (float)row, text, greyOf(recipeDimmed(r) ? 0x5F : 0x7F),
                 FUSION_NAME_SCALE);
    }
    if (m.fusionTop > 0) {
        bindSpriteTexture(gItemWindowTexture);
        addSpriteRect(X + 184.0f, 96.0f, 64.0f, 48.0f, ITEMWIN_ARROW_UP, gItemWindowTexture, WHITE);
        flushSprites();
    }
    if (m.fusionTop + FUSION_VISIBLE_ROWS < count) {
        bindSpriteTexture(gItemWindowTexture);
        addSpriteRect(X + 184.0f, 304.0f, 64.0f, 48.0f, ITEMWIN_ARROW_DOWN, gItemWindowTexture, WHITE);
        flushSprites();
    }
}

static void drawIngredients(float X) {
    const MarketScene& m = gMarket;
    if (m.fusionCursor < 0 || m.fusionCursor >= std::min(m.fusionCount, gFusionRecipeCount)) return;
    const FusionRecipe& r = gFusionRecipes[m.fusionCursor];
    float x = X + 408.0f, y = 120.0f;
    for (int32_t slot = 0; slot < FUSION_SLOTS_USED; ++slot) {
        int32_t id = rowId(r.ingredients[slot]);
        if (id < 0) continue;
        int32_t key = makeItemKey(id, isItemSeen(makeItemKey(id, 0, 0)) ? 0 : ITEM_KEY_UNIDENTIFIED, 0);
        bool shortOf = ingredientShort(r, slot);
        uint32_t colour = greyOf(shortOf ? 0x60 : 0x7F);
        drawItemIcon(x - 28.0f, y, 32.0f, key, 0xFF);
        drawText(x, y + 4.0f, rowName(findItemDisplayRow(key)), colour, FUSION_NAME_SCALE);
        char line[48];
        snprintf(line, sizeof line, "Req: (%d) Pos: (%d)", r.quantities[slot], countItemInStorage(id));
        drawText(x, y + 24.0f, line, colour, FUSION_NAME_SCALE);
        if (shortOf) drawTextCentered(x + 64.0f, y + 44.0f, "More required.", 0xFFFF0000, FUSION_NAME_SCALE);
        y += 68.0f;
    }
}

static void drawFusionResult() {
    const MarketScene& m = gMarket;
    if (m.screen != MARKET_SCREEN_FUSION_RESULT || m.fusionResult <= 0) return;
    int32_t c = m.fusionResult;
    float s = c < 15 ? std::sin((float)c * 1.5707964f / 15.0f) : 1.0f;
    float x = 320.0f - (c > FUSION_RESULT_WAIT ? 40.0f * (float)(c - FUSION_RESULT_WAIT) : 0.0f);
    drawBoardCell(FUSION_PANEL, x - 128.0f * s, 128.0f - 32.0f * s, 256.0f * s, 256.0f * s, WHITE);
    int32_t id = rowId(gFusionRecipes[m.fusionCursor].product);
    drawItemIcon(x - 16.0f * s, 128.0f - 16.0f * s, 32.0f * s, makeItemKey(id, 0, 0), 0xFF);
    float scale = FUSION_NAME_SCALE * s;
    drawText(x - 64.0f * s, 128.0f + 32.0f * s, "Fused", WHITE, scale);
    int32_t row = findItemDef(id);
    char name[ITEM_NAME_SIZE + 16];
    if (m.fusionPlus > 0) snprintf(name, sizeof name, "%s+%d!", rowName(row), m.fusionPlus);
    else snprintf(name, sizeof name, "%s!", rowName(row));
    drawText(x - 64.0f * s, 128.0f + 48.0f * s, name, WHITE, scale);
}

void drawFusionWindow(int32_t opening) {
    float X = opening > 15 ? 640.0f - 64.0f * (float)(opening - 15) : 640.0f;
    if (X < 0.0f) X = 0.0f;
    drawItemMessagePanel(X, 0.0f);
    drawTitledPanel(X + 88.0f, "Fusion Result");
    drawTitledPanel(X + 352.0f, "Ingredients");
    drawRecipeRows(X);
    drawIngredients(X);
    drawFusionResult();
}
