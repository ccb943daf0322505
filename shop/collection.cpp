// The item collection: the seen marks of the running game and the screen
// that lists the seen items category by category (the pause menu shows the
// running game's, the title the union of every save slot's).
#include "shop/collection.h"

#include <algorithm>
#include <cstdio>

#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "shop/item_windows.h"
#include "shop/shop.h"
#include "shop/shop_state.h"

CollectionScreen gCollection;

void resetCollectionScreen() { gCollection = CollectionScreen{}; }

constexpr int32_t COLUMNS = 3;
constexpr int32_t VISIBLE_ROWS = 3;
constexpr int32_t PAGE_TURN_END = 10;
constexpr float COLUMN_STEP = 149.33334f;
constexpr float ROW_STEP = 88.0f;
constexpr int32_t INFO_MODE_MENU = 2;
constexpr int32_t INFO_MODE_TITLE = 3;

static const CollectionEntry* findEntry(const GameState& game, int32_t category) {
    for (const CollectionEntry& e : game.collection)
        if (e.count > 0 && e.category == category) return &e;
    return nullptr;
}

// The item's mark: cells 1..64 of its category, or null.
static const uint8_t* seenMark(const GameState& game, int32_t id) {
    int32_t cell = id % 100;
    if (cell < 1 || cell > COLLECTION_SEEN_COUNT) return nullptr;
    const CollectionEntry* e = findEntry(game, id / 100);
    return e ? &e->seen[cell - 1] : nullptr;
}

int32_t isItemSeen(int32_t itemKey) {
    if (itemKey < 0) return 0;
    const uint8_t* mark = seenMark(runningGameState(), itemKeyId(itemKey));
    return mark && *mark ? 1 : 0;
}

// The running game's entries take the runs of the item table anew; their
// marks stay. The save slots are only read: their entries hold the same
// runs, and rewriting them would leave their checksums stale.
static void countRuns(GameState& game) {
    uint8_t seen[COLLECTION_ENTRY_COUNT][COLLECTION_SEEN_COUNT];
    for (int32_t k = 0; k < COLLECTION_ENTRY_COUNT; ++k) std::copy_n(game.collection[k].seen, COLLECTION_SEEN_COUNT, seen[k]);
    for (CollectionEntry& e : game.collection) e.category = e.count = 0;
    fillCollection(game, gItemDefinitions, gItemDefinitionCount);
    for (int32_t k = 0; k < COLLECTION_ENTRY_COUNT; ++k) std::copy_n(seen[k], COLLECTION_SEEN_COUNT, game.collection[k].seen);
}

// Seen in entry k of the running game, or with allSlots in entry k of any
// save slot (every game's entries hold the same runs of the item table).
static bool seenAnywhere(int32_t k, int32_t cell, bool allSlots) {
    if (cell < 1 || cell > COLLECTION_SEEN_COUNT) return false;
    if (runningGameState().collection[k].seen[cell - 1]) return true;
    if (!allSlots) return false;
    for (const GameState& slot : gSaveImage.slots)
        if (slot.collection[k].seen[cell - 1]) return true;
    return false;
}

static int32_t categoryRows(int32_t page) {
    int32_t n = 0;
    while (n < COLLECTION_LIST_MAX && gCollection.items[page][n] != -1) ++n;
    return n == 0 ? 0 : (n - 1) / COLUMNS + 1;
}

static int32_t itemCount(int32_t page) {
    int32_t n = 0;
    while (n < COLLECTION_LIST_MAX && gCollection.items[page][n] != -1) ++n;
    return n;
}

static int32_t rebuild(int32_t allSlots) {
    CollectionScreen& c = gCollection;
    c = CollectionScreen{};
    for (auto& list : c.items) std::fill_n(list, COLLECTION_LIST_MAX, (int16_t)-1);
    for (auto& order : c.order)
        for (int32_t i = 0; i < COLLECTION_LIST_MAX; ++i) order[i] = (uint8_t)i;
    for (int32_t& row : c.firstRow) row = -1;
    GameState& game = runningGameState();
    countRuns(game);
    int32_t keys[COLLECTION_LIST_MAX];
    int32_t runStart = 0;
    for (int32_t k = 0; k < COLLECTION_ENTRY_COUNT; ++k) {
        const CollectionEntry& e = game.collection[k];
        if (e.count <= 0) continue;
        int32_t start = runStart;
        runStart += e.count;
        int32_t page = c.categoryCount++;
        c.categories[page] = e.category;
        c.firstRow[page] = findItemDef(e.category * 100);
        int32_t listed = 0;
        for (int32_t j = 0; j + 1 < e.count && start + j < gItemDefinitionCount; ++j) {
            int32_t cell = 1 + gItemDefinitions[start + j].iconCell;
            int32_t id = e.category * 100 + cell;
            ++c.total;
            if (!seenAnywhere(k, cell, allSlots != 0)) continue;
            ++c.seen;
            if (listed >= COLLECTION_LIST_MAX) continue;
            int32_t row = findItemDef(id);
            int32_t sortNumber = row >= 0 ? gItemDefinitions[row].sortNumber : 0;
            keys[listed] = (e.category * 100 + 10 + sortNumber) * 3200 + id;
            c.items[page][listed++] = (int16_t)id;
        }
        if (listed == 0) c.items[page][0] = COLLECTION_NONE_SEEN;
        uint8_t* order = c.order[page];
        std::stable_sort(order, order + listed, [&](uint8_t a, uint8_t b) { return keys[a] < keys[b]; });
    }
    return c.total > 0 && c.seen == c.total;
}

int32_t buildCollection(int32_t allSlots) {
    int32_t complete = rebuild(allSlots);
    placeCollectionCursor();
    return complete;
}

void registerItemSeen(int32_t itemKey) {
    if (itemKey < 0 || (itemKey & ITEM_KEY_UNIDENTIFIED)) return;
    GameState& game = runningGameState();
    uint8_t* mark = const_cast<uint8_t*>(seenMark(game, itemKeyId(itemKey)));
    if (!mark) return;
    *mark = 1;
    if (game.storyFlags[FLAG_NO_TOWNSFOLK]) return;
    // Counted without touching the pointer: items are stored mid-scene.
    if (rebuild(0)) game.storyFlags[FLAG_COLLECTION_COMPLETE] = 1;
}

void placeCollectionCursor() {
    const CollectionScreen& c = gCollection;
    glidePointerTo(72.0f + COLUMN_STEP * (float)c.column, 112.0f + ROW_STEP * (float)(c.row - c.firstVisible));
}

// The id under the cursor, in display order; -1 or -2 for none.
static int32_t cursorItem() {
    const CollectionScreen& c = gCollection;
    int32_t i = c.row * COLUMNS + c.column;
    if (c.categoryCount == 0 || i < 0 || i >= COLLECTION_LIST_MAX) return -1;
    return c.items[c.current][c.order[c.current][i]];
}

static int32_t wrapPage(int32_t page) {
    int32_t n = std::max(gCollection.categoryCount, 1);
    return (page % n + n) % n;
}

static void startTurn(int32_t direction) {
    CollectionScreen& c = gCollection;
    c.pageTurn = direction;
    c.firstVisible = 0;
    int32_t target = wrapPage(c.current - direction);
    int32_t rows = std::max(categoryRows(target), 1);
    c.row = std::min({c.row, rows - 1, 2});
    if (direction > 0) c.column = std::clamp(std::min(itemCount(target), COLUMNS) - 1, 0, COLUMNS - 1);
    else c.column = 0;
    c.row = std::clamp(c.row, 0, rows - 1);
    playSoundEffect(SOUND_CURSOR);
}

// Keeps the cursor on an item of the current page.
static void clampCursor() {
    CollectionScreen& c = gCollection;
    int32_t count = std::max(itemCount(c.current), 1);
    while (c.row * COLUMNS + c.column >= count && c.column > 0) --c.column;
    while (c.row * COLUMNS + c.column >= count && c.row > 0) --c.row;
    if (c.row < c.firstVisible) c.firstVisible = c.row;
    if (c.row >= c.firstVisible + VISIBLE_ROWS) c.firstVisible = c.row - VISIBLE_ROWS + 1;
}

int32_t updateCollectionScreen() {
    CollectionScreen& c = gCollection;
    uint16_t pressed = gInputState[0].pressed;
    uint16_t repeat = gInputState[0].repeat;
    if (pressed & BUTTON_CANCEL) {
        if (c.infoOpen) closeItemInfo();
        c.infoOpen = 0;
        playSoundEffect(SOUND_CANCEL);
        return 1;
    }
    if (c.pageTurn != 0) {
        c.pageTurn += c.pageTurn > 0 ? 1 : -1;
        if (c.pageTurn >= PAGE_TURN_END) c.current = wrapPage(c.current - 1);
        if (c.pageTurn <= -PAGE_TURN_END) c.current = wrapPage(c.current + 1);
        if (c.pageTurn >= PAGE_TURN_END || c.pageTurn <= -PAGE_TURN_END) {
            c.pageTurn = 0;
            clampCursor();
            placeCollectionCursor();
        }
        return 0;
    }
    if (c.infoOpen) {
        if (pressed & BUTTON_SUB) {
            closeItemInfo();
            c.infoOpen = 0;
            playSoundEffect(SOUND_INFO_POPUP);
            showPointer();
        }
        return 0;
    }
    int32_t item = cursorItem();
    if ((pressed & BUTTON_SUB) && item >= 0) {
        showItemInfo(makeItemKey(item, 0, 0));
        openItemInfo(gGameMode == GAME_MODE_TITLE ? INFO_MODE_TITLE : INFO_MODE_MENU);
        c.infoOpen = 1;
        playSoundEffect(SOUND_INFO_POPUP);
        hidePointer();
        return 0;
    }
    int32_t rows = categoryRows(c.current);
    int32_t firstRowLength = std::clamp(itemCount(c.current), 1, COLUMNS);
    bool moved = false;
    if (rows > 1 && (repeat & (BUTTON_UP | BUTTON_DOWN))) {
        int32_t row = c.row + ((repeat & BUTTON_UP) ? -1 : 1);
        if (row >= 0 && row < rows) {
            c.row = row;
            clampCursor();
            playSoundEffect(SOUND_CURSOR);
            moved = true;
        }
    } else if (repeat & 0x80) {
        startTurn(1);
    } else if (repeat & 0x10 && !(pressed & BUTTON_CONFIRM)) {
        startTurn(-1);
    } else if (repeat & BUTTON_LEFT) {
        if (c.column == 0) startTurn(1);
        else {
            --c.column;
            playSoundEffect(SOUND_CURSOR);
            moved = true;
        }
    } else if (repeat & BUTTON_RIGHT) {
        if (c.column >= firstRowLength - 1) startTurn(-1);
        else {
            ++c.column;
            clampCursor();
            playSoundEffect(SOUND_CURSOR);
            moved = true;
        }
    }
    if (moved) placeCollectionCursor();
    return 0;
}

static const char* categoryName(int32_t page) {
    int32_t row = gCollection.firstRow[page];
    return row >= 0 ? gItemDefinitions[row].name : "";
}

static void drawPage(int32_t page, float x, float y, bool current) {
    const CollectionScreen& c = gCollection;
    bool anySeen = c.items[page][0] >= 0;
    if (current) {
        drawTextCentered(x + 568.0f, 220.0f, "Completion", 0xFFFFFFFF, 0.8f);
        drawTextCentered(x + 568.0f, 240.0f, "Rate", 0xFFFFFFFF, 0.8f);
        char rate[16];
        snprintf(rate, sizeof rate, "%3d\x81\x93", collectionRate(c.seen, c.total));
        drawTextCentered(x + 568.0f, 264.0f, rate, 0xFFFFFFFF, 0.8f);
        drawTextCentered(320.0f, 34.0f, anySeen ? categoryName(page) : "\x81\x48\x81\x48\x81\x48", 0xFFFFFFFF, 1.0f);
    }
    int32_t first = current ? c.firstVisible : 0;
    for (int32_t r = 0; r < VISIBLE_ROWS; ++r)
        for (int32_t col = 0; col < COLUMNS; ++col) {
            int32_t i = (first + r) * COLUMNS + col;
            if (i >= COLLECTION_LIST_MAX) continue;
            int32_t id = c.items[page][c.order[page][i]];
            if (id == -1) continue;
            float cx = x + 88.0f + COLUMN_STEP * (float)col, cy = y + 80.0f + ROW_STEP * (float)r;
            bindSpriteTexture(gItemWindowTexture);
            addSpriteRect(cx, cy, 64.0f, 64.0f, SpriteSource{576.0f, 896.0f, 640.0f, 960.0f}, gItemWindowTexture, 0xFFFFFFFF);
            flushSprites();
            if (id < 0) continue;
            drawItemListEntry(cx + 16.0f, cy + 16.0f, makeItemKey(id, 0, 0), 255);
            int32_t row = findItemDef(id);
            if (row >= 0) drawTextCentered(cx + 32.0f, cy + 48.0f, gItemDefinitions[row].name, 0xFFFFFFFF, 0.6923077f);
        }
    if (!current || c.pageTurn != 0) return;
    int32_t item = cursorItem();
    int32_t row = item >= 0 ? findItemDef(item) : -1;
    if (row < 0) return;
    const ItemDefinition& d = gItemDefinitions[row];
    drawText(x + 80.0f, y + 368.0f, d.text, 0xFFFFFFFF, 0.8f);
    drawText(x + 80.0f, y + 396.0f, d.text2, 0xFFFFFFFF, 0.8f);
    char price[32], line[48];
    formatThousands(price, sizeof price, d.price);
    snprintf(line, sizeof line, "Price- %s", price);
    drawText(x + 80.0f, y + 424.0f, line, 0xFFFFFFFF, 0.8f);
}

int32_t collectionRate(int32_t seen, int32_t total) {
    if (total <= 0 || seen <= 0) return 0;
    int32_t rate = (int32_t)((double)seen / (double)total * 100.0);
    return std::max(rate, 1);
}

void drawCollectionScreen(float x, float y) {
    const CollectionScreen& c = gCollection;
    if (c.categoryCount == 0) return;
    float shift = 64.0f * (float)c.pageTurn;
    for (int32_t d = -1; d <= 1; ++d) {
        float px = x + shift + 640.0f * (float)d;
        if (px <= -640.0f || px >= 640.0f) continue;
        if (d != 0 && c.pageTurn == 0) continue;
        drawPage(wrapPage(c.current + d), px, y, d == 0);
    }
    char hint[32];
    snprintf(hint, sizeof hint, "%d / %d", c.current + 1, c.categoryCount);
    drawText(x + 472.0f, 16.0f, hint, 0xFFFFFFFF, 0.8f);
    if (c.firstVisible > 0) drawText(x + 32.0f, y + 54.0f, "\x81\xa3", 0xFFFFFFFF, 1.0f);
    if (c.firstVisible + VISIBLE_ROWS < categoryRows(c.current)) drawText(x + 32.0f, y + 320.0f, "\x81\xa5", 0xFFFFFFFF, 1.0f);
    if (c.infoOpen) drawItemInfoPanel();
}
