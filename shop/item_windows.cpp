#include "shop/item_windows.h"

#include <cmath>
#include <cstdio>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "shop/counter_window.h"
#include "shop/day_end.h"
#include "shop/item_db.h"
#include "shop/item_icons.h"
#include "shop/item_list.h"
#include "shop/market.h"
#include "shop/market_stock.h"
#include "shop/negotiation.h"
#include "shop/storage.h"
#include "shop/trends.h"
#include "shop/window_cells.h"
#include "story/story.h"
#include "story/story_state.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr int32_t NEUTRAL_GREY = 0x7F;
constexpr int32_t ITEM_MESSAGE_SIZE = 512;
constexpr int32_t ALL_SHOWN = 1 << 20;   // a typewriter count past any text
constexpr int32_t MARKET_ROW_UNLIMITED = 100;
constexpr int32_t PORTRAIT_ITEM_ID_LIMIT = 3000;   // ids below are gear adventurers wear
constexpr int32_t MEDICINE_SPEED = 4108;
constexpr int32_t MEDICINE_ATTACK = 4109;
constexpr int32_t MEDICINE_DEFENCE = 4110;
constexpr int32_t MEDICINE_CURE = 4111;
constexpr int32_t RUN_END_DEFEATED = 1;
constexpr int32_t RUN_END_CHOICE_FRAME = 59;   // the choice column shows after the banner

// Indexed by trend + 2.
struct TrendColours {
    uint32_t usable, unusable, single;
};
static const TrendColours TREND_COLOURS[4] = {
    {0xFF0000FF, 0xFF00007F, 0x0000FF},   // crash
    {0xFF4D4DFF, 0xFF64647F, 0x4D4DFF},   // down
    {0xFF7F7F7F, 0xFF505050, 0x7F7F7F},   // none
    {0xFFFF4D4D, 0xFF7F6464, 0xFF4D4D},   // up
};

static const TrendColours& trendColours(int32_t trend) {
    return TREND_COLOURS[trend >= -2 && trend <= 1 ? trend + 2 : 2];
}

void formatThousands(char* buffer, int32_t size, int32_t value) {
    if (value < 1000) snprintf(buffer, size, "%d", value);
    else if (value < 1000000) snprintf(buffer, size, "%d,%03d", value / 1000, value % 1000);
    else snprintf(buffer, size, "%d,%03d,%03d", value / 1000000, value / 1000 % 1000, value % 1000);
}

int32_t findItemDisplayRow(int32_t key) {
    if (key < 0) return -1;
    int32_t row = findItemDef(itemKeyId(key));
    if (row < 0 || !(key & ITEM_KEY_UNIDENTIFIED)) return row;
    for (int32_t r = row; r >= 0; r--)
        if (gItemDefinitions[r].price == -1) return r;
    return 0;
}

uint32_t itemRowColour(int32_t trend, bool usable, int32_t grey) {
    if (!usable) return trendColours(trend).unusable;
    if (trend >= -2 && trend <= 1 && trend != 0) return trendColours(trend).usable;
    return greyArgb(255, grey);
}

uint32_t itemEntryColour(int32_t trend) { return trendColours(trend).single; }

static bool isUnidentified(int32_t key) { return key >= 0 && (key & ITEM_KEY_UNIDENTIFIED); }

static void iconSource(int32_t key, const ItemDefinition& def, SpriteSource& src) {
    int32_t cell = isUnidentified(key) ? 0 : def.iconCell;
    float left = static_cast<float>(cell % 8 * 32);
    float top = static_cast<float>(cell / 8 * 32);
    src = SpriteSource{left, top, left + 32.0f, top + 32.0f};
}

// "%s" or "%s+%d"; an unidentified item shows its placeholder's name alone.
static void formatItemName(char* out, int32_t size, int32_t key, const ItemDefinition& def) {
    if (!isUnidentified(key) && itemKeyPlus(key) > 0) snprintf(out, size, "%s+%d", def.name, itemKeyPlus(key));
    else snprintf(out, size, "%s", def.name);
}

void drawItemIcon(float x, float y, float size, int32_t key, int32_t alpha) {
    int32_t row = findItemDisplayRow(key);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    SpriteSource cell;
    iconSource(key, def, cell);
    const TextureSlot& sheet = itemIconSheet(def.category);
    // Add-signed with a half grey leaves the icon's own colours.
    bindSpriteTexture(sheet);
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    addSpriteRect(x, y, size, size, cell, sheet, static_cast<uint32_t>(alpha & 0xFF) << 24 | 0x7F7F7F);
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
}

void drawItemListEntry(float x, float y, int32_t key, int32_t alpha) {
    int32_t row = findItemDisplayRow(key);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    uint32_t a = static_cast<uint32_t>(alpha & 0xFF) << 24;
    drawItemIcon(x, y, 32.0f, key, alpha);
    char name[ITEM_NAME_SIZE + 8];
    formatItemName(name, sizeof name, key, def);
    drawText(x + 32.0f, y + 9.0f, name, a | itemEntryColour(getTrendForItem(key)), ITEM_ENTRY_TEXT_SCALE);
}

// --- the list window ---------------------------------------------------------

static bool rowUsable(int32_t key) {
    if (key == ITEM_KEY_LIST_ROW) return true;
    if (isUnidentified(key)) return false;
    const ItemListState& s = gItemList;
    return s.equipAdventurer < 0 || canEquip(s.equipAdventurer, s.equipSlot, key) == 1;
}

static void drawListRow(float X, float T, int32_t r, int32_t e, int32_t grey) {
    const ItemListState& s = gItemList;
    const ItemListEntry& entry = s.entries[e];
    float rowY = T + 34.0f * static_cast<float>(r) + 12.0f;
    char text[ITEM_NAME_SIZE + 32];
    int32_t trend = entry.key >= 0 ? getTrendForItem(entry.key) : 0;
    uint32_t colour = itemRowColour(trend, rowUsable(entry.key), grey);
    if (entry.key < 0) {
        bool rearrange = s.type == ITEM_LIST_BAG && e == s.pageStart[s.page] && s.scroll[s.page] == 0;
        drawText(X + 120.0f, rowY, rearrange ? "Rearrange" : "Nothing", colour, 0.8f);
        return;
    }
    int32_t row = findItemDisplayRow(entry.key);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    char name[ITEM_NAME_SIZE + 8];
    formatItemName(name, sizeof name, entry.key, def);
    if (s.type == ITEM_LIST_MARKET) {
        if (entry.count >= 1 && entry.count < MARKET_ROW_UNLIMITED) snprintf(text, sizeof text, "%s - %d Left", name, entry.count);
        else snprintf(text, sizeof text, "%s", name);
        if (entry.count == 0) {
            if (trend == -2) drawText(X + 152.0f, rowY - 4.0f, "Not For Sale", 0xFF00007F, 1.0f);
            else drawText(X + 152.0f, rowY - 4.0f, "Out Of Stock", 0xFF9B0000, 1.2f);
        }
    } else if (entry.count > 1 && !isUnidentified(entry.key)) {
        snprintf(text, sizeof text, "%s x%d", name, entry.count);
    } else {
        snprintf(text, sizeof text, "%s", name);
    }
    drawText(X + 120.0f, rowY, text, colour, 0.8f);
    if (s.type == ITEM_LIST_BAG && (entry.key & ITEM_KEY_POSSESSED))
        drawText(X + 132.0f, rowY + 16.0f, "Adventurer's Possession", 0xFF00C87F, 0.65f);
}

static void drawRowIcon(float X, float T, int32_t r, int32_t key, int32_t grey) {
    int32_t row = findItemDisplayRow(key);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    SpriteSource cell;
    iconSource(key, def, cell);
    const TextureSlot& sheet = itemIconSheet(def.category);
    bindSpriteTexture(sheet);
    uint32_t colour = rowUsable(key) ? greyArgb(255, grey) : 0xFF4D4D4D;
    addSpriteRect(X + 72.0f, T + 34.0f * static_cast<float>(r) + 6.0f, 32.0f, 32.0f, cell, sheet, colour);
    flushSprites();
}

// After a defeat: "Confirm" and a bar per item the run may keep.
static void drawItemChoiceColumn() {
    if (gRun.runEndState != RUN_END_DEFEATED || gRun.runEndTimer <= RUN_END_CHOICE_FRAME) return;
    int32_t slots = itemChoiceSlots(runningGameState().merchantLevel);
    float slideOffset = 640.0f - 128.0f * static_cast<float>(gItemList.slide);
    for (int32_t k = 0; k <= slots; k++) {
        bool selected = k == gItemChoice.cursor;
        float x = selected ? 32.0f + slideOffset : 16.0f;
        float y = 80.0f + 36.0f * static_cast<float>(k);
        int32_t alpha = selected ? 0xFF : 0x80;
        uint32_t colour = static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF;
        bindSpriteTexture(gItemWindowTexture);
        addSpriteRect(x, y, 240.0f, 38.4f, ITEMWIN_CHOICE_BAR, gItemWindowTexture, colour);
        flushSprites();
        if (k == 0) drawTextCentered(x + 120.0f, y + 10.0f, "Confirm", colour, 0.8f);
        else if (gItemChoice.chosenItems[k - 1] >= 0) drawItemListEntry(x + 32.0f, y + 2.0f, gItemChoice.chosenItems[k - 1], alpha);
    }
}

void drawItemListWindow(float x, float y) {
    const ItemListState& s = gItemList;
    if (s.slide <= 0) return;
    float X = x + 640.0f - 128.0f * static_cast<float>(s.slide) + 240.0f;
    float T = y + 80.0f;
    bool hasPage = s.pageCount > 0 && s.page >= 0 && s.page < s.pageCount;
    int32_t size = hasPage ? s.pageSize[s.page] : 0;
    int32_t start = hasPage ? s.pageStart[s.page] : 0;
    int32_t scroll = hasPage ? s.scroll[s.page] : 0;
    int32_t visible = size < ITEM_LIST_VISIBLE_ROWS ? size : ITEM_LIST_VISIBLE_ROWS;

    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(X, y + 40.0f, 400.0f, 320.0f, ITEMWIN_LIST_FRAME, gItemWindowTexture, WHITE);
    if (s.type != ITEM_LIST_BAG)
        addSpriteRect(X + 80.0f, 10.0f, 240.0f, 77.0f, s.pageCount == 1 ? ITEMWIN_PAGE_TAB_SINGLE : ITEMWIN_PAGE_TABS,
                      gItemWindowTexture, WHITE);
    if (scroll > 0) addSpriteRect(X + 56.0f, 40.0f, 64.0f, 48.0f, ITEMWIN_ARROW_UP, gItemWindowTexture, WHITE);
    if (scroll + ITEM_LIST_VISIBLE_ROWS < size)
        addSpriteRect(X + 56.0f, 312.0f, 64.0f, 48.0f, ITEMWIN_ARROW_DOWN, gItemWindowTexture, WHITE);
    if (s.header != 0) {
        const SpriteSource& badge = isItemInSubcategory(s.infoItemKey, "Venders") ? ITEMWIN_BADGE_VENDER
                                    : s.header == 1                               ? ITEMWIN_BADGE_EMPTY
                                                                                  : ITEMWIN_BADGE_FILLED;
        addSpriteRect(X - 128.0f, 48.0f, 191.0f, 63.0f, badge, gItemWindowTexture, WHITE);
    }
    flushSprites();

    char title[ITEM_CATEGORY_NAME_SIZE + 16] = "";
    if (s.type == ITEM_LIST_BAG) {
        int32_t carried = 0;
        for (int32_t key : gBag) carried += key != ITEM_KEY_NONE;
        snprintf(title, sizeof title, "%d/%d", carried, gBagCapacity);
    } else if (hasPage && s.pageKey[s.page] >= 0) {
        int32_t category = itemKeyId(s.pageKey[s.page]) / 100;
        if (category < ITEM_CATEGORY_COUNT) snprintf(title, sizeof title, "%s", gItemCategoryNames[category]);
    }
    drawTextCentered(X + 204.0f, 40.0f, title, WHITE, 0.8f);

    // The confirm flash brightens the cursor row and lays a glow over it.
    int32_t cursorRow = hasPage ? s.cursor[s.page] - scroll : -1;
    int32_t flashGrey = NEUTRAL_GREY;
    if (s.flash >= 1 && s.flash <= ITEM_LIST_FLASH_TICKS) {
        float wave = std::sin(static_cast<float>(s.flash) * 3.14159265f / 6.0f);
        flashGrey = NEUTRAL_GREY + static_cast<int32_t>(128.0f * wave);
        if (flashGrey > 255) flashGrey = 255;
        if (gGfxDevice) gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_ONE);
        bindSpriteTexture(gItemWindowTexture);
        addSpriteRect(X + 64.0f, T + 34.0f * static_cast<float>(cursorRow) + 2.0f, 280.0f, 38.0f, ITEMWIN_HIGHLIGHT,
                      gItemWindowTexture, greyArgb(255, static_cast<int32_t>(32.0f * wave)));
        flushSprites();
        if (gGfxDevice) gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    }
    for (int32_t r = 0; r < visible && scroll + r < size; r++) {
        int32_t e = start + scroll + r;
        if (e < 0 || e >= ITEM_LIST_ENTRY_MAX) break;
        int32_t grey = r == cursorRow ? flashGrey : NEUTRAL_GREY;
        drawListRow(X, T, r, e, grey);
        if (s.entries[e].key >= 0) drawRowIcon(X, T, r, s.entries[e].key, grey);
    }

    drawItemChoiceColumn();
    drawItemMessagePanel(x, y);
    if (s.infoState != 0) drawItemInfoPanel();
    bindSpriteTexture(gDataWindowTexture);
    addSpriteRect(440.0f, 440.0f, 200.0f, 32.0f, DATAWIN_HINT_BAR, gDataWindowTexture, WHITE);
    flushSprites();
}

// --- the side panel ----------------------------------------------------------

static bool isPossessed(int32_t key) { return key >= 0 && (key & ITEM_KEY_POSSESSED); }

// "Used %s.<BR>%s recovered %d HP." and its kin for a food's two values.
static int32_t formatFoodUse(char* out, int32_t size, const char* item, const char* who, int32_t hp, int32_t sp) {
    const char* hpLine = hp >= 0 ? "%s recovered %d HP." : "%s LOST %d HP!";
    const char* spLine = sp >= 0 ? "%s recovered %d SP." : "%s LOST %d SP!";
    char format[128];
    if (hp != 0 && sp != 0) {
        snprintf(format, sizeof format, "Used %%s.<BR>%s<BR>%s", hpLine, spLine);
        snprintf(out, size, format, item, who, std::abs(hp), who, std::abs(sp));
        return 3;
    }
    snprintf(format, sizeof format, "Used %%s.<BR>%s", sp != 0 ? spLine : hpLine);
    snprintf(out, size, format, item, who, std::abs(sp != 0 ? sp : hp));
    return 2;
}

// The use message's text and its line count.
static int32_t formatUseMessage(char* out, int32_t size, int32_t key, const ItemDefinition& def) {
    if (isUnidentified(key)) return snprintf(out, size, "Can't use unidentified items!"), 1;
    if (isPossessed(key)) return snprintf(out, size, "Can't use an adventurer's possession!"), 1;
    if (gItemList.panelKey != 0) return snprintf(out, size, "Can't recover any further."), 1;
    if (gParty.berserkTimer) return snprintf(out, size, "Can't use items while Berserked!"), 1;
    if (gParty.darkSoulTimer) return snprintf(out, size, "Can't use items during Dark Soul!"), 1;
    int32_t adventurer = gChosenAdventurer >= 0 && gChosenAdventurer < ADVENTURER_COUNT ? gChosenAdventurer : 0;
    char who[ADVENTURER_NAME_SIZE + 1];
    snprintf(who, sizeof who, "%.*s", ADVENTURER_NAME_SIZE, ADVENTURER_NAMES[adventurer].name);
    const int32_t* values = gItemList.useValues;
    if (isItemInSubcategory(key, "Food")) return formatFoodUse(out, size, def.name, who, values[0], values[1]);
    if (isItemInSubcategory(key, "Medicines")) {
        if (def.id < MEDICINE_SPEED) snprintf(out, size, "Used %s.<BR>%s's maximum HP up by %d.", def.name, who, values[0]);
        else if (def.id == MEDICINE_SPEED) snprintf(out, size, "Used %s.<BR>Movement speed has increased.", def.name);
        else if (def.id == MEDICINE_ATTACK) snprintf(out, size, "Used %s.<BR>Attack power up by %d.", def.name, values[0]);
        else if (def.id == MEDICINE_DEFENCE) snprintf(out, size, "Used %s.<BR>Defense power up by %d.", def.name, values[0]);
        else if (def.id == MEDICINE_CURE && values[0] == 1) snprintf(out, size, "Used %s.<BR>All status effects were cured!", def.name);
        else if (def.id == MEDICINE_CURE) snprintf(out, size, "Used %s.<BR>All attributes up!", def.name);
        else snprintf(out, size, "Used %s<BR>However, it had no effect.", def.name);
        return 2;
    }
    snprintf(out, size, "Used %s<BR>However, it had no effect.", def.name);
    return 2;
}

// The side panel's price; in the market and guild the very price a trade
// there charges, trend included.
int32_t itemPanelPrice(int32_t price, float factor, int32_t trend, bool market) {
    if (market) return marketUnitPrice(price, factor, trend);
    return static_cast<int32_t>(static_cast<float>(price) * factor);
}

void drawItemMessagePanel(float x, float y) {
    const ItemListState& s = gItemList;
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(x, y + 332.0f, 640.0f, 160.0f, ITEMWIN_SIDE_PANEL, gItemWindowTexture, WHITE);
    flushSprites();
    int32_t key = s.infoItemKey;
    if (key == ITEM_KEY_EQUIP_OPTIMUM) {
        drawText(x + 80.0f, y + 384.0f, "Equip Optimum Items", WHITE, 1.0f);
        return;
    }
    if (key == ITEM_KEY_FUSION_UNKNOWN) {
        drawTypewriterText(x + 80.0f, y + 368.0f, "The product of this fusion will be a mystery until<BR>you attempt it.",
                           WHITE, 0.8f, ALL_SHOWN);
        return;
    }
    int32_t row = findItemDisplayRow(key);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    char message[ITEM_MESSAGE_SIZE];
    if (s.discardTimer > 0) {
        if (isPossessed(key)) snprintf(message, sizeof message, "Can't throw away an adventurer's possession!");
        else snprintf(message, sizeof message, "Discarded %s.", def.name);
        drawTypewriterText(x + 80.0f, y + 384.0f, message, WHITE, 1.0f, s.discardTimer);
        return;
    }
    if (s.useTimer > 0) {
        int32_t lines = formatUseMessage(message, sizeof message, key, def);
        drawTypewriterText(x + 80.0f, y + 384.0f - (lines >= 3 ? 32.0f : 0.0f), message, WHITE, 1.0f, s.useTimer);
        return;
    }
    bool hasEntries = s.pageCount > 0 && s.page >= 0 && s.page < s.pageCount && s.pageSize[s.page] > 0;
    if (!hasEntries && (s.infoState < 2 || s.infoState > 4)) return;
    drawText(x + 80.0f, y + 368.0f, def.text, WHITE, 0.8f);
    drawText(x + 80.0f, y + 394.0f, def.text2, WHITE, 0.8f);
    if (isUnidentified(key)) return;

    int32_t trend = getTrendForItem(key);
    bool market = gGameMode == GAME_MODE_MARKET;
    char amount[THOUSANDS_TEXT_SIZE];
    formatThousands(amount, sizeof amount, itemPanelPrice(def.price, s.infoPriceFactor, trend, market));
    const char* label = !market ? "Base Price- %s" : isMarketBuySelected() ? "Buy Price- %s" : "Sell Price- %s";
    snprintf(message, sizeof message, label, amount);
    drawText(x + 80.0f, y + 420.0f, message, WHITE, 0.8f);
    if (trend == 1) drawText(x + 80.0f, y + 446.0f, "Price Up", 0xFFFF7878, 0.6f);
    else if (trend == -1) drawText(x + 80.0f, y + 446.0f, "Price Down", 0xFF7878FF, 0.6f);
    else if (trend == -2) drawText(x + 80.0f, y + 446.0f, "Price Crash!", 0xFF4D4DFF, 0.6f);
    snprintf(message, sizeof message, "Number possessed- %d", s.infoItemStock > 0 ? s.infoItemStock : 0);
    drawText(x + 304.0f, y + 420.0f, message, WHITE, 0.8f);
}

// --- the information popup ----------------------------------------------------

static void drawAdventurerPortraits(int32_t key) {
    bindSpriteTexture(gDataWindowTexture);
    addSpriteRect(304.0f, 160.0f, 320.0f, 192.0f, DATAWIN_PORTRAIT_WINDOW, gDataWindowTexture, WHITE);
    flushSprites();
    const GameState& game = runningGameState();
    int32_t k = 0;
    for (int32_t i = 0; i < gAvailableAdventurerCount && i < ADVENTURER_COUNT; i++) {
        int32_t a = gAvailableAdventurers[i];
        if (a < 0 || a >= ADVENTURER_COUNT || !canAdventurerUseItem(key, a)) continue;
        float px = 320.0f + 64.0f * static_cast<float>(k % 4) + 32.0f * static_cast<float>(k / 4);
        float py = 176.0f + 72.0f * static_cast<float>(k / 4);
        float cellX = 80.0f * static_cast<float>(a % 6);
        float cellY = 352.0f + 80.0f * static_cast<float>(a / 6);
        bindSpriteTexture(gHpMpBaseTexture);
        addSpriteRect(px, py, 64.0f, 64.0f, SpriteSource{cellX, cellY, cellX + 80.0f, cellY + 80.0f}, gHpMpBaseTexture,
                      WHITE);
        flushSprites();
        for (int32_t slot = 0; slot < EQUIPMENT_SLOTS; slot++) {
            int32_t worn = game.adventurers[a].equipment[slot];
            int32_t row = findItemDisplayRow(worn);
            if (row < 0) continue;
            SpriteSource cell;
            iconSource(worn, gItemDefinitions[row], cell);
            const TextureSlot& sheet = itemIconSheet(gItemDefinitions[row].category);
            bindSpriteTexture(sheet);
            addSpriteRect(px, py - 8.0f + 16.0f * static_cast<float>(slot), 20.0f, 20.0f, cell, sheet, WHITE);
            flushSprites();
        }
        k++;
    }
}

// The effect line of the popup, drawn at its place on line 2.
static void drawEffectLine(float tx, float ox, float oy, float lineY, int32_t key, const ItemDefinition& def) {
    char text[96];
    if (isItemInSubcategory(key, "Food")) {
        int32_t hp = def.attack, sp = def.defence;
        if (hp != 0 && sp != 0) {
            const char* first = hp >= 0 ? "Recovers %dHP" : "Lose %dHP";
            const char* second = sp >= 0 ? "Recovers %dSP" : "Lose %dSP";
            char format[64];
            snprintf(format, sizeof format, "%s, %s", first, second);
            snprintf(text, sizeof text, format, std::abs(hp), std::abs(sp));
            drawTextRight(ox + 244.0f, oy + 68.0f, text, WHITE, 0.52f);
            return;
        }
        if (sp != 0) snprintf(text, sizeof text, sp > 0 ? "Recovers %dSP" : "Lose %dSP", std::abs(sp));
        else snprintf(text, sizeof text, hp >= 0 ? "Recovers %dHP" : "Lose %dHP", std::abs(hp));
        drawText(tx + 120.0f, lineY, text, WHITE, 0.65f);
        return;
    }
    if (isItemInSubcategory(key, "Medicines")) {
        if (def.attack != 0) snprintf(text, sizeof text, "Gives %d Max HP", def.attack);
        else snprintf(text, sizeof text, "----");
        drawText(tx + 120.0f, lineY, text, WHITE, 0.65f);
        return;
    }
    int32_t stats[ITEM_STAT_COUNT];
    getItemStats(key, stats);
    static const char* const NAMES[ITEM_STAT_COUNT] = {"ATK", "DEF", "MAG", "MDEF"};
    int32_t shown = 0, n = 0;
    text[0] = 0;
    for (int32_t i = 0; i < ITEM_STAT_COUNT; i++) {
        if (stats[i] == 0) continue;
        n += snprintf(text + n, sizeof text - n, stats[i] > 0 ? "%s+%d " : "%s%d ", NAMES[i], stats[i]);
        if (n >= static_cast<int32_t>(sizeof text)) n = sizeof text - 1;
        shown++;
    }
    if (shown == 0) drawText(tx + 120.0f, lineY, "----", WHITE, 0.65f);
    else if (shown == ITEM_STAT_COUNT) drawText(tx + 64.0f, lineY + 2.0f, text, WHITE, 0.52f);
    else drawText(shown > 2 ? tx + 72.0f : tx + 120.0f, lineY, text, WHITE, 0.65f);
}

void drawItemInfoPanel() {
    const ItemListState& s = gItemList;
    int32_t key = s.infoItemKey;
    int32_t row = findItemDisplayRow(key);
    if (row < 0) return;
    const ItemDefinition& def = gItemDefinitions[row];
    float ox = gPointer.x, oy = gPointer.y;
    if (s.infoState == 2) ox = 256.0f, oy = 120.0f;
    if (s.infoState == 3 || s.infoState == 4) ox = 256.0f, oy = 160.0f;
    bool movedLeft = ox > 200.0f;
    bool movedUp = oy > 220.0f;
    if (movedLeft) ox -= 240.0f;
    if (movedUp) oy -= 168.0f;
    // The background is a corner of the large window: the rounded corner
    // lies away from the pointer.
    float top = movedUp ? DATAWIN_HEIGHT - 160.0f : 0.0f;
    SpriteSource back = {0.0f, top, 288.0f, top + 160.0f};
    SpriteDest dest = {ox, oy, 288.0f, 160.0f};
    bindSpriteTexture(gDataWindowTexture);
    if (movedLeft) addSpriteQuad(dest, back, gDataWindowTexture, WHITE);
    else addSpriteQuadMirrored(dest, back, gDataWindowTexture, WHITE);
    flushSprites();
    float tx = movedLeft ? ox : ox + 48.0f;

    if (def.id < PORTRAIT_ITEM_ID_LIMIT && s.infoState != 4) drawAdventurerPortraits(key);

    static const char* const LABELS[6] = {"", "Type", "Effect", "Base Price", "Highest Sale Price", "Lowest Sale Price"};
    char text[ITEM_NAME_SIZE + ITEM_CATEGORY_NAME_SIZE + 8];
    int32_t category = def.category >= 0 && def.category < ITEM_CATEGORY_COUNT ? def.category : 0;
    for (int32_t line = 0; line < 6; line++) {
        float lineY = oy + 26.0f + 20.0f * static_cast<float>(line);
        if (line == 0) {
            snprintf(text, sizeof text, "%.63s %.31s", def.name, gItemCategoryTitles[category]);
            drawText(tx + 8.0f, lineY, text, WHITE, 0.65f);
            continue;
        }
        drawText(tx + 8.0f, lineY, LABELS[line], WHITE, 0.65f);
        if (line == 2) {
            drawEffectLine(tx, ox, oy, lineY, key, def);
            continue;
        }
        if (line == 1) {
            snprintf(text, sizeof text, "%.31s", gItemCategoryNames[category]);
        } else if (line == 3) {
            snprintf(text, sizeof text, "%d gold", def.price);
        } else {
            const PriceRecord& record = runningGameState().priceRecords[row < PRICE_RECORD_COUNT ? row : 0];
            int32_t price = line == 4 ? record.highest : record.lowest;
            if (price == 0 || s.infoState == 4 || row >= PRICE_RECORD_COUNT) snprintf(text, sizeof text, "----");
            else snprintf(text, sizeof text, "%d gold", price);
        }
        drawText(tx + 152.0f, lineY, text, WHITE, 0.65f);
    }
}
